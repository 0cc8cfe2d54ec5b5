// The look of the game's window: the platform's own style, but for the
// arrows of the menu bar's overflow button, which it draws itself.
#pragma once

#include <QProxyStyle>

class CGameStyle : public QProxyStyle {
 public:
  // Wraps the style the application was started with (-style included).
  CGameStyle();

  QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
};
