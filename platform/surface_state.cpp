// The drawing calls that only read or set a surface's state, and pens and
// brushes, alike on both backends.
#include "platform/surface_state.h"

#include <new>
#include <utility>

namespace {

PlatformBrush gWhiteBrush{kWhite, true};
PlatformBrush gBlackBrush{kBlack, true};

}  // namespace

Colour SetTextColour(SurfaceHandle surface, Colour colour) {
  return std::exchange(StateOf(surface).textColour, colour & 0xFFFFFF);
}

Colour GetTextColour(SurfaceHandle surface) { return StateOf(surface).textColour; }

Colour SetBackgroundColour(SurfaceHandle surface, Colour colour) {
  return std::exchange(StateOf(surface).backgroundColour, colour & 0xFFFFFF);
}

Colour GetBackgroundColour(SurfaceHandle surface) { return StateOf(surface).backgroundColour; }

int32_t SetBackgroundMode(SurfaceHandle surface, int32_t mode) {
  if (mode != kTransparent && mode != kOpaque) return 0;  // the mode stays
  return std::exchange(StateOf(surface).backgroundMode, mode);
}

int32_t GetBackgroundMode(SurfaceHandle surface) { return StateOf(surface).backgroundMode; }

BrushHandle GetStockBrush(int32_t kind) {
  switch (kind) {
    case kWhiteBrush: return &gWhiteBrush;
    case kBlackBrush: return &gBlackBrush;
    default: return nullptr;
  }
}

PenHandle CreateSolidPen(Colour colour) { return new (std::nothrow) PlatformPen{colour & 0xFFFFFF}; }

BrushHandle CreateSolidBrush(Colour colour) { return new (std::nothrow) PlatformBrush{colour & 0xFFFFFF, false}; }

void DeletePen(PenHandle pen) { delete pen; }

void DeleteBrush(BrushHandle brush) {
  if (brush && !brush->stock) delete brush;
}

PenHandle SelectPen(SurfaceHandle surface, PenHandle pen) {
  if (!surface || !pen) return nullptr;
  return std::exchange(StateOf(surface).pen, pen);
}

BrushHandle SelectBrush(SurfaceHandle surface, BrushHandle brush) {
  if (!surface || !brush) return nullptr;
  return std::exchange(StateOf(surface).brush, brush);
}
