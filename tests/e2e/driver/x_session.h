// A player at an X display: looks at the screen, finds windows by their
// titles, moves the pointer, clicks and types through the XTEST extension.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/image.h"

namespace e2e {

using WindowId = unsigned long;

struct WindowInfo {
  WindowId id = 0;
  std::string title;        // _NET_WM_NAME, else WM_NAME; empty when it has none
  long pid = -1;            // _NET_WM_PID, -1 when not set
  Rect area;                // the window's own area on the root (inside the frame the manager adds)
  bool viewable = false;    // mapped, and every ancestor mapped
  bool overrideRedirect = false;  // popups and menus, which the manager leaves alone
  WindowId transientFor = 0;
};

class XSession {
 public:
  // Opens `display` (nullptr: $DISPLAY); nullptr when it cannot be opened.
  static std::unique_ptr<XSession> Open(const char* display = nullptr);
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool hasXTest() const { return hasXTest_; }
  // The root window's size as the server has it now (Xlib's own record of it
  // lags behind a change of the screen's size).
  Rect screen() const;

  // What the screen shows in `area` (root coordinates, clipped to the screen).
  Image capture(const Rect& area);
  Image captureScreen() { return capture(screen()); }

  // Every window in the tree below the root, parents before children.
  std::vector<WindowInfo> windows();
  std::optional<WindowInfo> findWindow(const std::function<bool(const WindowInfo&)>& match);
  // The window's current state; nullopt once it is gone.
  std::optional<WindowInfo> describe(WindowId id);

  // The window that has the keyboard focus (0 when none).
  WindowId inputFocus();
  // True when `window` is `ancestor` or lies below it in the tree.
  bool isWithin(WindowId window, WindowId ancestor);

  void movePointer(int x, int y);
  // A click at (x, y). Clicks follow each other at the pace of a quick player,
  // at least kClickGapMs apart: a burst of clicks all in the same millisecond is
  // nothing a mouse sends, and the game is not tested for it.
  void click(int x, int y, int button = 1);
  static constexpr int kClickGapMs = 50;
  // How long the server holds each step of a click: the pointer comes from
  // one pixel aside, then the press follows. A compositor running in a window
  // of the display may take a press before it has placed its own pointer.
  void setPressDelay(int milliseconds) { pressDelayMs_ = milliseconds; }
  // Presses the modifiers (XK_ key symbols) in order, taps `key`, releases them in reverse order.
  void tapKey(unsigned long keysym, const std::vector<unsigned long>& modifiers = {});
  // Presses the button at `from`, moves the pointer to `to` in steps, releases it there.
  void drag(Point from, Point to, int button = 1);
  // Two clicks at (x, y) within a double-click's time.
  void doubleClick(int x, int y);
  // Waits until the server has handled every request sent so far.
  void sync();

  // What a pager or a taskbar asks of the window manager: the window's
  // _NET_WM_STATE changed (add or remove the two states), and a
  // _NET_MOVERESIZE_WINDOW to `area` (the window's own area, frame aside).
  void requestState(WindowId window, bool add, const char* first, const char* second = nullptr);
  void requestMoveResize(WindowId window, const Rect& area);
  // Asks the manager to minimize (iconify) the window, as its minimize button does.
  void requestIconic(WindowId window);
  // Moves and resizes the window itself, as only another client does where
  // no manager runs.
  void moveResize(WindowId window, const Rect& area);
  // The area of the window's frame: its ancestor just below the root.
  Rect frameOf(WindowId window);
  // The actions the manager says it allows on the window (_NET_WM_ALLOWED_ACTIONS).
  std::vector<std::string> allowedActions(WindowId window);
  // The states the window is in (_NET_WM_STATE): _NET_WM_STATE_SHADED and the like.
  std::vector<std::string> states(WindowId window);
  // Every property of the window, names and values, in one text: two readings
  // are equal when nobody has written a property in between (or has written
  // it back as it was).
  std::string properties(WindowId window);
  // Starts counting what is written to the window: each property written
  // (even written as it was) and each change of its geometry or stacking the
  // server carries out or a manager answers. `writesSeen` gives the count
  // since.
  void watchWrites(WindowId window);
  int writesSeen();
  // The X resources of the screen (the RESOURCE_MANAGER text that xrdb
  // writes, as a desktop's settings do: "Xft.dpi:\t192\n"); empty removes them.
  void setResources(const std::string& text);
  // True when a window manager owns the screen (_NET_SUPPORTING_WM_CHECK).
  bool hasWindowManager();
  // Shows a small window of this session's own, as another program would,
  // and gives it the keyboard focus; 0 when it could not be shown.
  WindowId showWindowWithKeyboard();

 private:
  XSession() = default;
  void collect(unsigned long window, bool parentViewable, std::vector<WindowInfo>& out);
  bool fill(unsigned long window, bool parentViewable, WindowInfo& info);
  void fakeKey(unsigned long keysym, bool press);
  std::vector<std::string> atomNames(WindowId window, const char* property);

  struct Handle;
  std::unique_ptr<Handle> handle_;
  bool hasXTest_ = false;
  int pressDelayMs_ = 0;
  std::chrono::steady_clock::time_point lastClick_;
  WindowId watched_ = 0;
  int writes_ = 0;
};

}  // namespace e2e
