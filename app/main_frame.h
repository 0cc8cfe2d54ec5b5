// The main window: a caption and a menu bar over the game's view, filling the
// screen's available area, with no system menu, no minimize or maximize box
// and no sizing border; it can only be closed. It holds the menu and every
// accelerator.
#pragma once

#include <QMainWindow>

class QAction;
class CScreenFiller;
class CViewWindow;
class CQuadrilexdDoc;
class CQuadrilexdView;

class CMainFrame : public QMainWindow {
 public:
  explicit CMainFrame(CQuadrilexdDoc& doc);
  ~CMainFrame() override;

  CViewWindow* ViewWindow() const { return m_viewWindow; }
  // The view the frame's commands reach; set once it has been made.
  void SetView(CQuadrilexdView* view);

  // Puts the frame on the screen, filling its available area from the first
  // frame, and keeps it there.
  void ShowFilling();

  QAction* PrintAction() const { return m_printAction; }
  QAction* PrintPreviewAction() const { return m_printPreviewAction; }

  // Enables Print, Print Preview and Ctrl+P as the view decides.
  void UpdatePrintCommands();

  // The framework's commands, as the menu and the accelerators reach them.
  void OnFileNew();
  void OnFileOpen();
  void OnFileSave();
  void OnAppAbout();

 private:
  void BuildMenu();
  void BuildAccelerators();
  QAction* AddAccelerator(const QKeySequence& keys);

  CQuadrilexdDoc& m_doc;
  CQuadrilexdView* m_view = nullptr;
  CViewWindow* m_viewWindow = nullptr;
  CScreenFiller* m_filler = nullptr;
  QAction* m_printAction = nullptr;
  QAction* m_printPreviewAction = nullptr;
};
