#pragma once
// Window services the engine takes from the platform: window handles and
// modal message boxes.

#include <cstdint>
#include <string_view>

// A window of the platform; only the backend knows what stands behind it.
struct PlatformWindow;
using WindowHandle = PlatformWindow*;

// Message box types: buttons in the low nibble, icon above.
enum : uint32_t {
  kMbOk = 0,
  kMbYesNoCancel = 3,
  kMbIconStop = 16,
  kMbIconExclamation = 48,
};

// Message box results.
enum : int {
  kIdOk = 1,
  kIdCancel = 2,
  kIdYes = 6,
  kIdNo = 7,
};

// Shows a modal message box over owner (none: over nothing) and returns the
// button chosen.
int MessageBox(WindowHandle owner, std::u16string_view text, std::u16string_view caption, uint32_t type);
