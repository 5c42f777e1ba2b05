#pragma once
// The shell: opening addresses, the full-screen state, the input panel, the
// system version and the program's own path.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/window.h"

// Opens a document or web address with the verb "Open"; false when nothing
// would open it.
bool ShellOpen(std::u16string_view address);

// What SetFullScreen hides or shows.
enum : uint32_t {
  kFullScreenHideTaskBar = 0x01,
  kFullScreenShowTaskBar = 0x02,
  kFullScreenHideInputButton = 0x04,
  kFullScreenShowInputButton = 0x08,
  kFullScreenHideStartIcon = 0x10,
  kFullScreenShowStartIcon = 0x20,
};
void SetFullScreen(WindowHandle window, uint32_t flags);

// Raises or lowers the input panel.
void SetInputPanel(bool up);

// Lets the shell adjust a window after kNoticeSettingChange.
void HandleSettingChange(WindowHandle window, uintptr_t wParam, intptr_t lParam);

// The operating system's version as major * 100 + minor (desktop: 400).
int32_t SystemVersion();

// The path of the program file.
std::u16string ProgramPath();
