#pragma once
// The headless backend: a deterministic stand-in for the platform that tests
// link instead of Qt. Tests reach its state through Headless().
//
// Its fonts and text have fixed metrics, so the engine's geometry can be
// tested to the pixel. A font of description height h has the size
// H = |h|, or kHeadlessDefaultHeight when h is 0, whatever its face or weight:
//   - text height H; ascent H * 4 / 5;
//   - every character is H / 2 wide, except the space, H / 4 wide (at least 1);
//   - the widest character is H wide; the average is H / 2.
// Drawn text leaves pixels: in the opaque mode each character's cell (its
// width by H) is first filled with the background colour; then every
// character but the space inks its cell less a one-pixel border in the text
// colour. Every text drawn is also logged with its position and colours.

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/surface.h"
#include "platform/window.h"

constexpr int32_t kHeadlessDefaultHeight = 16;

// One text the engine drew: the characters in the order drawn, the top left
// of the first character's cell, and the state it was drawn with.
struct DrawnText {
  std::u16string text;
  int32_t x;
  int32_t y;
  int32_t width;   // of the whole run
  int32_t height;  // the font's text height
  Colour textColour;
  Colour backgroundColour;
  int32_t backgroundMode;
  FontDescription font;
};

// One message box that the engine asked for.
struct RecordedMessageBox {
  WindowHandle owner;
  std::u16string text;
  std::u16string caption;
  uint32_t type;
};

// What the headless backend holds: resources that override the program's own,
// the message boxes shown, and the answers to give them.
struct HeadlessPlatform {
  std::span<const ResourceEntry> resources;  // searched before the program's tables; sorted
  std::vector<RecordedMessageBox> messageBoxes;
  std::deque<int> messageBoxAnswers;  // taken from the front; empty: OK, or Cancel for Yes/No/Cancel
  std::vector<FontFamily> fontFamilies = {
      {u"David CLM", kHebrewCharset}, {u"DejaVu Sans", kHebrewCharset}, {u"Liberation Mono", kDefaultCharset}};
  int32_t fontsMade = 0;    // fonts created
  int32_t fontsLive = 0;    // fonts created and not yet deleted
  bool refuseFonts = false;  // CreateFont yields nothing while set
};

// The backend's state, shared by every call of the run.
HeadlessPlatform& Headless();

// Clears recorded calls, scripted answers and resource overrides.
void ResetHeadless();

// The texts drawn on a surface since it was made or its log was cleared.
const std::vector<DrawnText>& DrawnTexts(SurfaceHandle surface);
void ClearDrawnTexts(SurfaceHandle surface);
