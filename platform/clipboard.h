#pragma once
// The clipboard: opened for a window, emptied, read and set by format, closed.
// On the desktop format 13 is the system clipboard's plain text and the
// registered "Rich Text Format" its rich text.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "platform/window.h"

enum : uint32_t {
  kClipboardUnicodeText = 13,  // zero-terminated UTF-16
};

// Opens the clipboard for the window; false when it cannot be had.
bool OpenClipboard(WindowHandle owner);
void EmptyClipboard();

// The bytes held in a format; nothing when the clipboard has none in it.
std::optional<std::vector<uint8_t>> GetClipboardData(uint32_t format);

// Puts bytes on the clipboard in a format; the clipboard owns them from then.
bool SetClipboardData(uint32_t format, std::span<const uint8_t> data);
void CloseClipboard();

// The format number of a named format, the same for every call with the name;
// 0 when it cannot be had.
uint32_t RegisterClipboardFormat(std::u16string_view name);
