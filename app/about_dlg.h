// The About box: the game's icon, its name and version, a hint about F1, the
// maker's notice, and OK.
#pragma once

#include <QDialog>

class CAboutDlg : public QDialog {
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};
