// Native windows, as much of them as the editor needs: windows that hand
// their messages to a procedure of ours, scroll bars, timers, painting
// through a Surface, the mouse, dialog controls and pop-up menus.
//
// Messages, their parameters and the notification codes are the system's
// own numbers on every platform, so the editor's message handling is one
// piece of code. On Windows these are real windows; elsewhere a window is a
// headless record (posix/HeadlessWindow.h) that keeps what the real window
// would show, and platform/testing/Headless.h drives it as a user would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Surface.h"

namespace platform {

using WindowHandle = void*;

// Messages.
constexpr unsigned messageDestroy = 0x0002;
constexpr unsigned messageSize = 0x0005;
constexpr unsigned messageSetFocus = 0x0007;
constexpr unsigned messagePaint = 0x000F;
constexpr unsigned messageEraseBackground = 0x0014;
constexpr unsigned messageNcDestroy = 0x0082;
constexpr unsigned messageKeyDown = 0x0100;
constexpr unsigned messageChar = 0x0102;
constexpr unsigned messageCommand = 0x0111;
constexpr unsigned messageTimer = 0x0113;
constexpr unsigned messageHorizontalScroll = 0x0114;
constexpr unsigned messageVerticalScroll = 0x0115;
constexpr unsigned messageMouseMove = 0x0200;
constexpr unsigned messageLeftButtonDown = 0x0201;
constexpr unsigned messageLeftButtonUp = 0x0202;
constexpr unsigned messageRightButtonDown = 0x0204;
constexpr unsigned messageRightButtonUp = 0x0205;
constexpr unsigned messageMiddleButtonDown = 0x0207;
constexpr unsigned messageMiddleButtonUp = 0x0208;
constexpr unsigned messageMouseWheel = 0x020A;
// The window lost the mouse capture (lParam: the window that took it, or
// none): to another window, a box, the user switching programs, or our own
// release.
constexpr unsigned messageCaptureChanged = 0x0215;

// Key and button flags in a mouse message's wParam: what is held as the
// message is sent.
constexpr uintptr_t mouseLeftButton = 0x0001;
constexpr uintptr_t mouseShift = 0x0004;
constexpr uintptr_t mouseControl = 0x0008;
constexpr uintptr_t mouseMiddleButton = 0x0010;
// A mouse message's lParam: x in the low 16 bits, y in the next, both signed.
inline intptr_t mousePosition(int x, int y) {
    return static_cast<intptr_t>(static_cast<uint16_t>(x) |
                                 static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16);
}
inline int mouseX(intptr_t lParam) {
    return static_cast<int16_t>(lParam & 0xFFFF);
}
inline int mouseY(intptr_t lParam) {
    return static_cast<int16_t>(lParam >> 16 & 0xFFFF);
}
// A wheel message's delta: the signed high word of wParam; one notch is 120.
inline int wheelDelta(uintptr_t wParam) {
    return static_cast<int16_t>(wParam >> 16 & 0xFFFF);
}

// Scroll-bar codes, the low word of a scroll message's wParam (the high word
// carries the position for the two thumb codes).
enum ScrollCode : unsigned {
    scrollLineUp = 0,
    scrollLineDown = 1,
    scrollPageUp = 2,
    scrollPageDown = 3,
    scrollThumbPosition = 4,
    scrollThumbTrack = 5,
    scrollTop = 6,
    scrollBottom = 7,
    scrollEnd = 8,
};

// Notification codes in the high word of a command message's wParam; the
// low word is the control's identifier and lParam its window.
constexpr unsigned notifyButtonClicked = 0;
constexpr unsigned notifyListSelectionChanged = 1;
constexpr unsigned notifyEditChanged = 0x0300;
inline uintptr_t commandParameter(unsigned id, unsigned notification) {
    return (id & 0xFFFF) | (static_cast<uintptr_t>(notification & 0xFFFF) << 16);
}

using WindowProcedure = intptr_t (*)(void* context, WindowHandle window, unsigned message,
                                     uintptr_t wParam, intptr_t lParam);

struct WindowOptions {
    const char* name = "";
    bool visible = true;
    bool horizontalScrollBar = false;
    bool verticalScrollBar = false;
    bool tabStop = false;
    PixelRect rect{0, 0, 100, 100};
    int controlId = 0;
};

// An exception that reaches the system from a procedure of ours (in
// practice an allocation that failed) is caught at the system's call, which
// cannot unwind it; the message is answered as handled and this handler, when
// set, hears of it. A paint that fails still ends its painting.
using ProcedureFailureHandler = void (*)(WindowHandle window, unsigned message);
void setProcedureFailureHandler(ProcedureFailureHandler handler);

// A window of ours: a child of parent, or without a parent a message-only
// window. Null when the system refuses one. Messages the procedure does not
// handle go to defaultHandling.
WindowHandle createWindow(WindowHandle parent, const WindowOptions& options,
                          WindowProcedure procedure, void* context);
// Destroys window and its children; the procedures see messageDestroy and,
// last of all, messageNcDestroy.
void destroyWindow(WindowHandle window);
intptr_t sendMessage(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);
// The system's own handling of a message.
intptr_t defaultHandling(WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam);

WindowHandle parentOf(WindowHandle window);
// The top-level window that contains window (itself when it has no parent).
WindowHandle topLevelOf(WindowHandle window);
// The client area: left and top are 0.
PixelRect clientRect(WindowHandle window);
void moveWindow(WindowHandle window, const PixelRect& rect);

// Marks the whole client area for painting; erase also erases it first.
void invalidate(WindowHandle window, bool erase = false);
// Marks window and all its descendants for painting.
void invalidateWithChildren(WindowHandle window);
// Paints at once when anything is marked.
void updateNow(WindowHandle window);

// Painting: call from the handler of messagePaint. draw gets a surface over
// what needs painting; on Windows it is double-buffered over the clip box.
void paint(WindowHandle window, const std::function<void(Surface&)>& draw);

// An 8 x 8 one-bit brush, made once and kept for as long as its owner (a
// system object on Windows): pattern pixel (px, py) is bit (7 - px) of
// rows[py], as in Surface::fillPattern.
class PatternBrush {
public:
    explicit PatternBrush(const uint8_t rows[8]);
    ~PatternBrush();
    PatternBrush(const PatternBrush&) = delete;
    PatternBrush& operator=(const PatternBrush&) = delete;
    const uint8_t* rows() const { return pattern; }
    // The system's brush, or null (none could be made, or no system).
    void* native() const { return brush; }

private:
    uint8_t pattern[8];
    [[maybe_unused]] void* bitmap = nullptr; // the brush's bitmap, on Windows only
    void* brush = nullptr;
};

// Fills each of count rectangles straight on the window, outside a paint,
// with brush repeated from (originX, originY): set bits setArgb, clear bits
// clearArgb (the marching frame). Plain drawing with no objects made.
void fillPatternOnWindow(WindowHandle window, const PatternBrush& brush, const PixelRect* rects,
                         size_t count, int32_t originX, int32_t originY, uint32_t setArgb,
                         uint32_t clearArgb);
// Whether the window and every window that contains it are shown.
bool isShowing(WindowHandle window);
// Draws on a drawing context the host hands over (a pattern box): the
// system's device context on Windows, a Surface of the host's elsewhere.
void drawOnDeviceContext(void* deviceContext, const std::function<void(Surface&)>& draw);

enum class ScrollBar { Horizontal, Vertical };
struct ScrollState {
    int32_t minimum = 0;
    int32_t maximum = 0;
    uint32_t page = 0;
    int32_t position = 0;
    int32_t trackPosition = 0;
};
// Sets range and page and redraws; the system keeps the position inside
// minimum .. maximum - page + 1.
void setScrollRange(WindowHandle window, ScrollBar bar, int32_t minimum, int32_t maximum,
                    uint32_t page);
// Sets the position and redraws; returns the position as the system clamped it.
int32_t setScrollPosition(WindowHandle window, ScrollBar bar, int32_t position);
ScrollState scrollState(WindowHandle window, ScrollBar bar);

// A timer sends messageTimer with wParam = id every periodMs.
void startTimer(WindowHandle window, unsigned id, unsigned periodMs);
void stopTimer(WindowHandle window, unsigned id);

// Every mouse message goes to window until the capture is released or
// taken; the window that loses it gets messageCaptureChanged.
void captureMouse(WindowHandle window);
void releaseMouse();
void takeFocus(WindowHandle window);
enum class CursorShape { Arrow, SizeWestEast, SizeAll, SizeNorthSouth };
void setCursor(CursorShape shape);
// The mouse cursor's position in screen coordinates.
void cursorPosition(int& x, int& y);

// Which of Shift and Ctrl are held now: Shift 1, Ctrl 2.
constexpr uint32_t modifierShift = 1;
constexpr uint32_t modifierCtrl = 2;
uint32_t heldModifiers();

// Dialog controls. A dialog is made from a template: a resource of the
// module on Windows, the same controls described in code elsewhere.
enum class ControlKind { Label, ClickLabel, Edit, Spin, DropList, Button, Toggle };
struct ControlLayout {
    int id; // -1 for labels nobody addresses
    ControlKind kind;
    const char* text;
    PixelRect dialogUnits; // left, top, width (right), height (bottom) in dialog units
    int buddyId = 0;       // spin buttons: their edit
};
WindowHandle createDialog(WindowHandle parent, int templateId,
                          const std::vector<ControlLayout>& controls, WindowProcedure procedure,
                          void* context);
WindowHandle dialogItem(WindowHandle dialog, int id);
// Setting an edit's text notifies its dialog with notifyEditChanged, as the
// system does.
void setItemText(WindowHandle dialog, int id, const std::string& text);
std::string itemText(WindowHandle dialog, int id);
void setChecked(WindowHandle dialog, int id, bool checked);
bool isChecked(WindowHandle dialog, int id);
void listClear(WindowHandle dialog, int id);
int listAdd(WindowHandle dialog, int id, const std::string& text, intptr_t data);
void listSelect(WindowHandle dialog, int id, int index);
int listSelection(WindowHandle dialog, int id); // -1 for none
intptr_t listItemData(WindowHandle dialog, int id, int index);
int listCount(WindowHandle dialog, int id);
// Spin buttons keep their value in their buddy edit's text.
void spinSetRange(WindowHandle dialog, int id, int32_t lowest, int32_t highest);
void spinSetPosition(WindowHandle dialog, int id, int32_t position);
// False when the buddy's text does not read as a number.
bool spinPosition(WindowHandle dialog, int id, int32_t& position);

// Pop-up menus: a tree of items; id 0 with no text is a separator.
struct MenuItem {
    unsigned id = 0;
    std::string text;
    bool enabled = true;
    std::vector<MenuItem> children;
};
// Opens the sub-menu `subMenu` of menu template templateId (items describes
// the same menu) at screen position x, y; a chosen item reaches owner as a
// command message.
void openPopupMenu(WindowHandle owner, int templateId, int subMenu,
                   const std::vector<MenuItem>& items, int x, int y);
// A pop-up of plain items at the cursor whose choice is returned (0 when
// nothing was chosen) instead of being sent as a command.
unsigned choosePopupItem(WindowHandle owner, const std::vector<MenuItem>& items);

} // namespace platform
