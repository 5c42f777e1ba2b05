#pragma once
// What both backends keep alike of a surface: its pen, brush, text and
// background colours and background mode. Pens and brushes are plain colours
// on either backend, so their calls and these setters are written once
// (platform/surface_state.cpp); the backends keep a SurfaceState in each
// surface and say where it is.

#include "platform/surface.h"

struct PlatformPen {
  Colour colour;
};

struct PlatformBrush {
  Colour colour;
  bool stock;  // never deleted
};

// A surface's state other than its font. It points into itself, so it lives
// in place inside its surface and is never copied.
struct SurfaceState {
  PlatformPen defaultPen{kBlack};
  PenHandle pen = &defaultPen;
  BrushHandle brush = GetStockBrush(kWhiteBrush);
  Colour textColour = kBlack;
  Colour backgroundColour = kWhite;
  int32_t backgroundMode = kOpaque;

  SurfaceState() = default;
  SurfaceState(const SurfaceState&) = delete;
  SurfaceState& operator=(const SurfaceState&) = delete;
};

// The state of a surface; each backend defines it.
SurfaceState& StateOf(SurfaceHandle surface);
