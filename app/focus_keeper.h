// Keeps the keyboard with the game. Under most window managers a window that
// is shown, or a box that opens or closes, gets the keyboard from the manager;
// with no manager at all (a kiosk, a bare X session), or after a manager's
// minimize that the game has undone, nothing gives it back, and Alt+F4, F1 and
// the menu keys would do nothing until the player clicks. Each time the game's
// window or one of its boxes is shown, and each time the game loses the
// keyboard, the keeper looks a moment later: where the keyboard is with no
// program's window, it gives it to the box that is open, or else to the main
// window. A window of another program that has the keyboard keeps it.
#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

class CFocusKeeper : public QObject {
 public:
  explicit CFocusKeeper(QWidget* frame);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void TakeKeyboardIfNobodyHasIt();

  QWidget* m_frame;
  QTimer m_look;
};
