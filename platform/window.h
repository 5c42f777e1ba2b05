#pragma once
// Window services the engine takes from the platform: windows and their
// notices, the message loop, modal dialogs and their controls, the menu bar
// or command bar, scroll bars and message boxes. The registry, clipboard and
// shell have headers of their own; drawing is platform/surface.h.
//
// Sections: handles and notices; windows; the message loop; dialogs and
// controls; menus and bars; scroll bars; message boxes.
//
// The interface is whole here; each backend defines the calls the program
// makes so far, and a call neither backend defines yet is not made anywhere.
// A handler gets the notices the handheld sends, with its numbers, so the
// reader's handlers read exactly as they would there.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/surface.h"

// A window of the platform (a top-level window, a dialog or a control); only
// the backend knows what stands behind it.
struct PlatformWindow;
using WindowHandle = PlatformWindow*;

// --- Notices ------------------------------------------------------------------------

// The notices a handler receives, with what their two parameters carry.
enum : uint32_t {
  kNoticeCreate = 0x0001,          // the window exists; lParam: the start parameter
  kNoticeDestroy = 0x0002,         // the window is going
  kNoticeSize = 0x0005,            // wParam: how; lParam: width | height << 16 of the client area
  kNoticeActivate = 0x0006,        // wParam low 16 bits: 0 inactive, 1 active, 2 active by a click
  kNoticePaint = 0x000F,           // part of the window needs drawing; see BeginPaint
  kNoticeClose = 0x0010,           // the user asked to close the window
  kNoticeQuit = 0x0012,            // ends the message loop; wParam: the exit code
  kNoticeSettingChange = 0x001A,   // the shell's settings changed
  kNoticeHelp = 0x0053,            // the help key
  kNoticeKeyDown = 0x0100,         // wParam: the key code (kKey...)
  kNoticeInitDialog = 0x0110,      // a dialog's controls exist; lParam: the start parameter
  kNoticeCommand = 0x0111,         // wParam low 16 bits: command or control id, high: control notice
  kNoticeVerticalScroll = 0x0115,  // wParam low 16 bits: kScroll..., high: thumb position; lParam: the bar
  kNoticeStylusDown = 0x0201,      // lParam: x | y << 16 in client pixels
  kNoticeCloseReader = 1023,       // the private request to close the reader
};

// Key codes of kNoticeKeyDown.
enum : uint32_t {
  kKeyReturn = 0x0D,
  kKeyEscape = 0x1B,
  kKeyPageUp = 0x21,
  kKeyPageDown = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
  kKeyF1 = 0x70,
  kKeyF3 = 0x72,
};

// The requests of kNoticeVerticalScroll.
enum : uint32_t {
  kScrollLineUp = 0,
  kScrollLineDown = 1,
  kScrollPageUp = 2,
  kScrollPageDown = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollTop = 6,
  kScrollBottom = 7,
  kScrollEnd = 8,
};

// Handles the notices of a window; what it returns goes back to the sender.
using NoticeProcedure = intptr_t (*)(WindowHandle window, uint32_t notice, uintptr_t wParam, intptr_t lParam);

// --- Windows ---------------------------------------------------------------------------

// Window styles the program asks for.
enum : uint32_t {
  kStyleVisible = 0x10000000,
  kStyleChild = 0x40000000,
  kStyleVerticalScroll = 0x00200000,
};

// How ShowWindow shows a window.
enum : int32_t {
  kShowHide = 0,
  kShowNormal = 1,
};

// Registers a class of window whose notices go to procedure; false when the
// name is taken.
bool RegisterWindowClass(std::u16string_view className, NoticeProcedure procedure);

// Creates a window of a registered class; kNoticeCreate reaches its
// procedure before this returns. Nothing when it cannot be made.
WindowHandle CreateWindow(std::u16string_view className, std::u16string_view title, uint32_t style, const Rect& rect,
                          WindowHandle parent, intptr_t startParameter);

// The window of that class and title, in this run or in another start of the
// program; nothing when there is none.
WindowHandle FindWindow(std::u16string_view className, std::u16string_view title);

void MoveWindow(WindowHandle window, const Rect& rect, bool repaint);
void ShowWindow(WindowHandle window, int32_t how);
void UpdateWindow(WindowHandle window);  // paints what is marked, now
void DestroyWindow(WindowHandle window);  // kNoticeDestroy, then the window is gone
void SetFocus(WindowHandle window);
WindowHandle GetFocus();
void SetForegroundWindow(WindowHandle window);
Rect GetClientRect(WindowHandle window);  // from (0, 0)
Rect GetWindowRect(WindowHandle window);  // on the screen, frame included

// Marks a part of the window (all of it for none) for a kNoticePaint.
void InvalidateRect(WindowHandle window, const Rect* rect, bool erase);

// The window's drawing surface, kept for the window's life: what is drawn on
// it shows at once. Release it when done with it for the moment.
SurfaceHandle GetWindowSurface(WindowHandle window);
void ReleaseWindowSurface(WindowHandle window, SurfaceHandle surface);

// During kNoticePaint: the surface and the part to paint; EndPaint when done.
SurfaceHandle BeginPaint(WindowHandle window, Rect* dirty);
void EndPaint(WindowHandle window);

std::u16string GetWindowText(WindowHandle window);
void SetWindowText(WindowHandle window, std::u16string_view text);

// --- The message loop ---------------------------------------------------------------------

// Delivers a notice now and returns the procedure's answer.
intptr_t SendNotice(WindowHandle window, uint32_t notice, uintptr_t wParam, intptr_t lParam);

// Queues a notice for the loop; false when the window is gone.
bool PostNotice(WindowHandle window, uint32_t notice, uintptr_t wParam, intptr_t lParam);

// What the platform does with a notice the handler leaves alone.
intptr_t DefaultProcedure(WindowHandle window, uint32_t notice, uintptr_t wParam, intptr_t lParam);

// Runs the loop until a quit request and returns its exit code.
int RunMessageLoop();

// Asks the loop to end with the exit code.
void PostQuit(int exitCode);

// --- Dialogs and controls -----------------------------------------------------------------

// Runs the dialog of template id over owner, modal, inside the caller: its
// procedure gets kNoticeInitDialog with the start parameter, then the notices
// of its controls, until EndDialog. Returns EndDialog's result, or -1 when
// the template is missing.
intptr_t DialogBox(uint16_t templateId, WindowHandle owner, NoticeProcedure procedure, intptr_t startParameter);
void EndDialog(WindowHandle dialog, intptr_t result);

// A control of a dialog by id; nothing when there is none.
WindowHandle GetDialogItem(WindowHandle dialog, uint16_t id);

// The dialog's base units: the average character width and the height of
// its font, which place controls by dialog units.
struct DialogBaseUnits {
  int32_t width;
  int32_t height;
};
DialogBaseUnits GetDialogBaseUnits();

// The shell's full-screen set-up of a dialog: it takes the main window's area.
void FullScreenDialog(WindowHandle dialog, uint32_t flags);

// List boxes. Indexes count from 0; -1 is none.
int32_t ListBoxAddString(WindowHandle list, std::u16string_view text);
void ListBoxReset(WindowHandle list);
int32_t ListBoxGetSelection(WindowHandle list);
void ListBoxSetSelection(WindowHandle list, int32_t index);
std::u16string ListBoxGetText(WindowHandle list, int32_t index);
int32_t ListBoxSelectPrefix(WindowHandle list, std::u16string_view prefix);  // the index selected, or -1

// Radio buttons and check boxes.
bool IsButtonChecked(WindowHandle button);
void CheckButton(WindowHandle button, bool checked);

// Edits.
void EditReplaceSelection(WindowHandle edit, std::u16string_view text);
void EditGetSelection(WindowHandle edit, int32_t* start, int32_t* end);
void EditSetSelection(WindowHandle edit, int32_t start, int32_t end);
void EditLimitText(WindowHandle edit, int32_t characters);

// The font a control draws in; the caller keeps the font alive meanwhile.
void SetControlFont(WindowHandle control, FontHandle font);
FontHandle GetControlFont(WindowHandle control);

// The bitmap a static control shows.
void SetStaticBitmap(WindowHandle control, BitmapHandle bitmap);

// --- Menus and bars --------------------------------------------------------------------------

// A tool button of the bar: the command it sends, the image it shows (an
// index into the bar's button bitmap) and its tooltip.
struct ToolButton {
  uint16_t command;
  uint16_t image;
  std::u16string_view tooltip;
};

struct PlatformBar;
using BarHandle = PlatformBar*;

// The window's bar with the menu of resource menuId (its two popups) and the
// tool buttons with images from bitmap resource bitmapId: at the bottom of
// the window (the menu bar) or at the top (the command bar). Choices reach
// the window as kNoticeCommand. Nothing when the menu cannot be had.
BarHandle CreateBar(WindowHandle window, uint16_t menuId, bool atBottom, uint16_t bitmapId,
                    std::span<const ToolButton> buttons);
void DestroyBar(BarHandle bar);
int32_t BarHeight(BarHandle bar);

// Check marks of menu items by command id.
void CheckMenuItem(BarHandle bar, uint16_t command, bool checked);
bool IsMenuItemChecked(BarHandle bar, uint16_t command);
// Radio-checks command and clears the others of first..last.
void CheckMenuRadioItem(BarHandle bar, uint16_t first, uint16_t last, uint16_t command);

// --- Scroll bars ---------------------------------------------------------------------------------

// A vertical scroll bar as a child control; its requests reach the parent as
// kNoticeVerticalScroll with the bar in lParam.
WindowHandle CreateScrollBar(WindowHandle parent, const Rect& rect);

// Sets range, page and position in one call.
void SetScrollInfo(WindowHandle bar, int32_t minimum, int32_t maximum, int32_t page, int32_t position, bool redraw);

// --- Message boxes ---------------------------------------------------------------------------------

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
