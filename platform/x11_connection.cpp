#include "platform/x11_connection.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

xcb_connection_t* X11Connection() {
  // Qt's offscreen platform answers for X11 too, with no connection.
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->connection() : nullptr;
}
