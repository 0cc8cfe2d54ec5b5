#include "tests/e2e/driver/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace e2e {

namespace {

// Windows come and go while the tree is walked; a request about one that has
// just been destroyed must not end the test program.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

int MaskShift(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

}  // namespace

struct XSession::Handle {
  Display* display = nullptr;
  Window root = 0;
  int screen = 0;
  Atom netWmName = 0;
  Atom netWmPid = 0;
  Atom utf8String = 0;

  ~Handle() {
    if (display) XCloseDisplay(display);
  }
};

std::unique_ptr<XSession> XSession::Open(const char* display) {
  Display* d = XOpenDisplay(display);
  if (!d) return nullptr;
  XSetErrorHandler(IgnoreXError);
  std::unique_ptr<XSession> session(new XSession());
  session->handle_ = std::make_unique<Handle>();
  Handle& h = *session->handle_;
  h.display = d;
  h.screen = DefaultScreen(d);
  h.root = RootWindow(d, h.screen);
  h.netWmName = XInternAtom(d, "_NET_WM_NAME", False);
  h.netWmPid = XInternAtom(d, "_NET_WM_PID", False);
  h.utf8String = XInternAtom(d, "UTF8_STRING", False);
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  session->hasXTest_ = XTestQueryExtension(d, &eventBase, &errorBase, &major, &minor) == True;
  return session;
}

XSession::~XSession() = default;

Rect XSession::screen() const {
  Display* d = handle_->display;
  Window root = 0;
  int x = 0, y = 0;
  unsigned width = 0, height = 0, border = 0, depth = 0;
  if (!XGetGeometry(d, handle_->root, &root, &x, &y, &width, &height, &border, &depth))
    return Rect{0, 0, DisplayWidth(d, handle_->screen), DisplayHeight(d, handle_->screen)};
  return Rect{0, 0, static_cast<int>(width), static_cast<int>(height)};
}

Image XSession::capture(const Rect& area) {
  const Rect clip = Intersect(area, screen());
  Image out(clip);
  if (clip.empty()) return out;
  Display* d = handle_->display;
  XImage* img = XGetImage(d, handle_->root, clip.x, clip.y, static_cast<unsigned>(clip.w), static_cast<unsigned>(clip.h),
                          AllPlanes, ZPixmap);
  if (!img) return Image();
  const int rs = MaskShift(img->red_mask);
  const int gs = MaskShift(img->green_mask);
  const int bs = MaskShift(img->blue_mask);
  const bool direct = img->bits_per_pixel == 32 && img->byte_order == LSBFirst && img->red_mask == 0xFF0000 &&
                      img->green_mask == 0xFF00 && img->blue_mask == 0xFF;
  std::uint8_t* dst = out.rgb().data();
  for (int y = 0; y < clip.h; ++y) {
    if (direct) {
      const auto* row = reinterpret_cast<const std::uint8_t*>(img->data + static_cast<std::ptrdiff_t>(y) * img->bytes_per_line);
      for (int x = 0; x < clip.w; ++x, dst += 3) {
        dst[0] = row[4 * x + 2];
        dst[1] = row[4 * x + 1];
        dst[2] = row[4 * x];
      }
    } else {
      for (int x = 0; x < clip.w; ++x, dst += 3) {
        const unsigned long p = XGetPixel(img, x, y);
        dst[0] = static_cast<std::uint8_t>((p & img->red_mask) >> rs);
        dst[1] = static_cast<std::uint8_t>((p & img->green_mask) >> gs);
        dst[2] = static_cast<std::uint8_t>((p & img->blue_mask) >> bs);
      }
    }
  }
  XDestroyImage(img);
  return out;
}

bool XSession::fill(unsigned long window, bool parentViewable, WindowInfo& info) {
  Display* d = handle_->display;
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(d, window, &attrs)) return false;
  info.id = window;
  info.viewable = parentViewable && attrs.map_state == IsViewable;
  info.overrideRedirect = attrs.override_redirect == True;
  int rootX = 0, rootY = 0;
  Window child = 0;
  XTranslateCoordinates(d, window, handle_->root, 0, 0, &rootX, &rootY, &child);
  info.area = Rect{rootX, rootY, attrs.width, attrs.height};

  info.title.clear();
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, window, handle_->netWmName, 0, 4096, False, handle_->utf8String, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    if (type == handle_->utf8String && format == 8) info.title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
    data = nullptr;
  }
  if (info.title.empty()) {
    char* name = nullptr;
    if (XFetchName(d, window, &name) && name) {
      info.title = name;
      XFree(name);
    }
  }

  info.pid = -1;
  if (XGetWindowProperty(d, window, handle_->netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      data) {
    if (type == XA_CARDINAL && format == 32 && count == 1) info.pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    XFree(data);
  }

  Window transient = 0;
  info.transientFor = XGetTransientForHint(d, window, &transient) ? transient : 0;
  return true;
}

void XSession::collect(unsigned long window, bool parentViewable, std::vector<WindowInfo>& out) {
  Window rootReturn = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(handle_->display, window, &rootReturn, &parent, &children, &count)) return;
  for (unsigned int i = 0; i < count; ++i) {
    WindowInfo info;
    if (!fill(children[i], parentViewable, info)) continue;
    out.push_back(info);
    collect(children[i], info.viewable, out);
  }
  if (children) XFree(children);
}

std::vector<WindowInfo> XSession::windows() {
  std::vector<WindowInfo> out;
  XGrabServer(handle_->display);  // a still tree while it is walked
  collect(handle_->root, true, out);
  XUngrabServer(handle_->display);
  XSync(handle_->display, False);
  return out;
}

std::optional<WindowInfo> XSession::findWindow(const std::function<bool(const WindowInfo&)>& match) {
  for (const WindowInfo& w : windows())
    if (match(w)) return w;
  return std::nullopt;
}

std::optional<WindowInfo> XSession::describe(WindowId id) {
  // A window whose ancestor is unmapped is not viewable; XGetWindowAttributes
  // already folds that into map_state.
  WindowInfo info;
  if (!fill(id, true, info)) return std::nullopt;
  return info;
}

WindowId XSession::inputFocus() {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(handle_->display, &focus, &revert);
  return focus == PointerRoot ? 0 : focus;
}

bool XSession::isWithin(WindowId window, WindowId ancestor) {
  for (Window w = window; w != 0;) {
    if (w == ancestor) return true;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(handle_->display, w, &rootReturn, &parent, &children, &count)) return false;
    if (children) XFree(children);
    if (w == rootReturn) return false;
    w = parent;
  }
  return false;
}

void XSession::movePointer(int x, int y) {
  XTestFakeMotionEvent(handle_->display, -1, x, y, CurrentTime);
  sync();
}

void XSession::click(int x, int y, int button) {
  std::this_thread::sleep_until(lastClick_ + std::chrono::milliseconds(kClickGapMs));
  Display* d = handle_->display;
  if (pressDelayMs_ > 0) XTestFakeMotionEvent(d, -1, x - 1, y, CurrentTime);
  XTestFakeMotionEvent(d, -1, x, y, static_cast<unsigned long>(pressDelayMs_));
  XTestFakeButtonEvent(d, static_cast<unsigned>(button), True, static_cast<unsigned long>(pressDelayMs_));
  XTestFakeButtonEvent(d, static_cast<unsigned>(button), False, static_cast<unsigned long>(pressDelayMs_));
  sync();
  lastClick_ = std::chrono::steady_clock::now();
}

void XSession::fakeKey(unsigned long keysym, bool press) {
  const KeyCode code = XKeysymToKeycode(handle_->display, static_cast<KeySym>(keysym));
  if (code == 0) return;
  // Keys pressed all in the same instant are not what a keyboard sends: the
  // server holds each event this many milliseconds after the one before.
  constexpr unsigned long kKeyGapMs = 30;
  XTestFakeKeyEvent(handle_->display, code, press ? True : False, kKeyGapMs);
}

void XSession::tapKey(unsigned long keysym, const std::vector<unsigned long>& modifiers) {
  for (unsigned long m : modifiers) fakeKey(m, true);
  fakeKey(keysym, true);
  fakeKey(keysym, false);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) fakeKey(*it, false);
  sync();
}

void XSession::drag(Point from, Point to, int button) {
  std::this_thread::sleep_until(lastClick_ + std::chrono::milliseconds(kClickGapMs));
  Display* d = handle_->display;
  XTestFakeMotionEvent(d, -1, from.x, from.y, CurrentTime);
  XTestFakeButtonEvent(d, static_cast<unsigned>(button), True, CurrentTime);
  sync();
  // A hand's pace: managers start a move only once the pointer has travelled
  // a few pixels with the button down, and follow it as it goes.
  constexpr int kSteps = 20;
  for (int i = 1; i <= kSteps; ++i) {
    XTestFakeMotionEvent(d, -1, from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps, 15);
  }
  XTestFakeButtonEvent(d, static_cast<unsigned>(button), False, 50);
  sync();
  lastClick_ = std::chrono::steady_clock::now();
}

void XSession::doubleClick(int x, int y) {
  Display* d = handle_->display;
  std::this_thread::sleep_until(lastClick_ + std::chrono::milliseconds(kClickGapMs));
  XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
  for (int i = 0; i < 2; ++i) {
    XTestFakeButtonEvent(d, 1, True, i == 0 ? CurrentTime : 60);
    XTestFakeButtonEvent(d, 1, False, 30);
  }
  sync();
  lastClick_ = std::chrono::steady_clock::now();
}

void XSession::sync() { XSync(handle_->display, False); }

namespace {

void SendToRoot(Display* d, Window root, Window window, const char* type, const long (&data)[5]) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(d, type, False);
  event.xclient.format = 32;
  for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = data[i];
  XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

void XSession::requestState(WindowId window, bool add, const char* first, const char* second) {
  Display* d = handle_->display;
  const long atom1 = static_cast<long>(XInternAtom(d, first, False));
  const long atom2 = second ? static_cast<long>(XInternAtom(d, second, False)) : 0;
  // 2: the request comes from a pager, which every manager obeys.
  SendToRoot(d, handle_->root, window, "_NET_WM_STATE", {add ? 1 : 0, atom1, atom2, 2, 0});
  sync();
}

void XSession::requestMoveResize(WindowId window, const Rect& area) {
  // Static gravity (10), x, y, width and height given (bits 8 to 11), from a pager (bit 13).
  const long flags = 10 | (0xF << 8) | (2 << 12);
  SendToRoot(handle_->display, handle_->root, window, "_NET_MOVERESIZE_WINDOW", {flags, area.x, area.y, area.w, area.h});
  sync();
}

void XSession::requestIconic(WindowId window) {
  // ICCCM's WM_CHANGE_STATE to IconicState (3).
  SendToRoot(handle_->display, handle_->root, window, "WM_CHANGE_STATE", {3, 0, 0, 0, 0});
  sync();
}

void XSession::moveResize(WindowId window, const Rect& area) {
  XMoveResizeWindow(handle_->display, window, area.x, area.y, static_cast<unsigned>(area.w),
                    static_cast<unsigned>(area.h));
  sync();
}

Rect XSession::frameOf(WindowId window) {
  Display* d = handle_->display;
  Window frame = window;
  for (;;) {
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(d, frame, &rootReturn, &parent, &children, &count)) return Rect{};
    if (children) XFree(children);
    if (parent == rootReturn || parent == 0) break;
    frame = parent;
  }
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(d, frame, &attrs)) return Rect{};
  return Rect{attrs.x, attrs.y, attrs.width + 2 * attrs.border_width, attrs.height + 2 * attrs.border_width};
}

std::vector<std::string> XSession::atomNames(WindowId window, const char* property) {
  Display* d = handle_->display;
  std::vector<std::string> names;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, window, XInternAtom(d, property, False), 0, 64, False, XA_ATOM, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) {
      if (char* name = XGetAtomName(d, atoms[i])) {
        names.emplace_back(name);
        XFree(name);
      }
    }
    XFree(data);
  }
  return names;
}

std::vector<std::string> XSession::allowedActions(WindowId window) {
  return atomNames(window, "_NET_WM_ALLOWED_ACTIONS");
}

std::vector<std::string> XSession::states(WindowId window) { return atomNames(window, "_NET_WM_STATE"); }

std::string XSession::properties(WindowId window) {
  Display* d = handle_->display;
  int count = 0;
  Atom* names = XListProperties(d, window, &count);
  std::vector<std::string> entries;
  for (int i = 0; i < count; ++i) {
    std::string entry;
    if (char* name = XGetAtomName(d, names[i])) {
      entry = name;
      XFree(name);
    }
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, window, names[i], 0, 1 << 16, False, AnyPropertyType, &type, &format, &items, &after,
                           &data) == Success &&
        data) {
      // Xlib hands 32-bit items over as longs.
      const std::size_t itemSize = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
      entry += "=" + std::to_string(type) + "/" + std::to_string(format) + ":";
      entry.append(reinterpret_cast<const char*>(data), items * itemSize);
      XFree(data);
    }
    entries.push_back(entry);
  }
  if (names) XFree(names);
  std::sort(entries.begin(), entries.end());
  std::string all;
  for (const std::string& e : entries) all += e + "\n";
  return all;
}

void XSession::watchWrites(WindowId window) {
  Display* d = handle_->display;
  if (watched_ != 0) XSelectInput(d, watched_, NoEventMask);
  XSync(d, True);  // what came before is not counted
  watched_ = window;
  writes_ = 0;
  XSelectInput(d, window, PropertyChangeMask | StructureNotifyMask);
  XSync(d, False);
}

int XSession::writesSeen() {
  Display* d = handle_->display;
  XSync(d, False);
  XEvent event;
  while (watched_ != 0 && XCheckWindowEvent(d, watched_, PropertyChangeMask | StructureNotifyMask, &event)) {
    if (event.type == PropertyNotify || event.type == ConfigureNotify) ++writes_;
  }
  return writes_;
}

void XSession::setResources(const std::string& text) {
  Display* d = handle_->display;
  if (text.empty()) {
    XDeleteProperty(d, handle_->root, XA_RESOURCE_MANAGER);
  } else {
    XChangeProperty(d, handle_->root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  }
  sync();
}

bool XSession::hasWindowManager() {
  Display* d = handle_->display;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(d, handle_->root, XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                                        XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                     data && count == 1;
  if (data) XFree(data);
  return found;
}

WindowId XSession::showWindowWithKeyboard() {
  Display* d = handle_->display;
  const Window window = XCreateSimpleWindow(d, handle_->root, 0, 0, 200, 100, 0, 0, 0);
  XStoreName(d, window, "another program");
  XMapWindow(d, window);
  XSync(d, False);
  for (int tries = 0; tries < 200; ++tries) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(d, window, &attributes) && attributes.map_state == IsViewable) {
      XSetInputFocus(d, window, RevertToParent, CurrentTime);
      XSync(d, False);
      return window;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

}  // namespace e2e
