#pragma once
// The headless backend: a deterministic stand-in for the platform that tests
// link instead of Qt. Tests reach its state through Headless().

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/window.h"

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
};

// The backend's state, shared by every call of the run.
HeadlessPlatform& Headless();

// Clears recorded calls, scripted answers and resource overrides.
void ResetHeadless();
