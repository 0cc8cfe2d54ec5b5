#include "platform/keyboard_focus.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/x11_connection.h"

namespace {

// Reads one property's presence.
bool HasProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0), nullptr);
  const bool present = reply && reply->type != XCB_ATOM_NONE;
  std::free(reply);
  return present;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

// The window's ancestor just below the root (the window itself if it is one);
// none when the window is gone.
xcb_window_t TopLevelOf(xcb_connection_t* connection, xcb_window_t window, xcb_window_t* root) {
  for (;;) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
    if (!tree) return XCB_WINDOW_NONE;
    *root = tree->root;
    const xcb_window_t parent = tree->parent;
    std::free(tree);
    if (parent == *root || parent == XCB_WINDOW_NONE) return window;
    window = parent;
  }
}

// True when the top-level window stands for a program's window the player can
// choose: shown, not a popup, and taken in by the window manager (WM_STATE on
// it or on the program's window inside the manager's frame); with no manager
// running, any shown window counts.
bool IsProgramWindow(xcb_connection_t* connection, xcb_window_t topLevel, xcb_window_t root) {
  xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, topLevel), nullptr);
  const bool shown = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && !attributes->override_redirect;
  std::free(attributes);
  if (!shown) return false;
  if (!HasProperty(connection, root, Atom(connection, "_NET_SUPPORTING_WM_CHECK"))) return true;
  const xcb_atom_t wmState = Atom(connection, "WM_STATE");
  if (HasProperty(connection, topLevel, wmState)) return true;
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, topLevel), nullptr);
  bool managed = false;
  if (tree) {
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree) && !managed; ++i) {
      managed = HasProperty(connection, children[i], wmState);
    }
    std::free(tree);
  }
  return managed;
}

}  // namespace

KeyboardHolder CurrentKeyboardHolder() {
  xcb_connection_t* connection = X11Connection();
  if (!connection) return KeyboardHolder::kThisProgram;
  xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
  if (!focus) return KeyboardHolder::kThisProgram;
  const xcb_window_t window = focus->focus;
  std::free(focus);
  if (window == XCB_WINDOW_NONE || window == XCB_INPUT_FOCUS_POINTER_ROOT) return KeyboardHolder::kNobody;
  // Every window this program makes has an id from its own range.
  const xcb_setup_t* setup = xcb_get_setup(connection);
  if ((window & ~setup->resource_id_mask) == setup->resource_id_base) return KeyboardHolder::kThisProgram;
  xcb_window_t root = XCB_WINDOW_NONE;
  const xcb_window_t topLevel = TopLevelOf(connection, window, &root);
  if (topLevel == XCB_WINDOW_NONE || window == root) return KeyboardHolder::kNobody;
  return IsProgramWindow(connection, topLevel, root) ? KeyboardHolder::kAnotherProgram : KeyboardHolder::kNobody;
}
