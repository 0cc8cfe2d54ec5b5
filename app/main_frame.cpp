#include "app/main_frame.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "app/about_dlg.h"
#include "app/focus_keeper.h"
#include "app/quadrilexd_doc.h"
#include "app/screen_filler.h"
#include "platform/afx.h"
#include "platform/resources.h"
#include "platform/view_window.h"
#include "view/quadrilexd_view.h"

CMainFrame::CMainFrame(CQuadrilexdDoc& doc) : QMainWindow(nullptr), m_doc(doc) {
  // A caption that can close the game (the manager's close, Alt+F4), but no
  // system menu and no minimize or maximize box.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Untitled - Quadrilex"));
  m_viewWindow = new CViewWindow(this);
  setCentralWidget(m_viewWindow);
  m_filler = new CScreenFiller(this, m_viewWindow);
  new CFocusKeeper(this);
  // The menu bar belongs in the game's window, under its caption. Without
  // this Qt would first ask the session bus for a desktop-wide menu (and
  // start a bus of its own when there is none) before the first frame.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
  BuildMenu();
  BuildAccelerators();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::SetView(CQuadrilexdView* view) {
  m_view = view;
  // Until the first paint has measured the client area, nothing prints.
  UpdatePrintCommands();
  m_viewWindow->SetAfterGamePaint([this] { UpdatePrintCommands(); });
}

void CMainFrame::ShowFilling() {
  // Placed on the available area before it is mapped, so that its first
  // frame is full with or without a window manager; the view is laid out
  // once the frame has settled there.
  m_filler->PlaceBeforeShow();
  show();
  m_viewWindow->setFocus();
  // The icon is read once the window is on the screen: its decoder is a
  // plugin Qt loads from disk, and the first frame does not need it.
  m_viewWindow->SetAfterFirstShown([this] { setWindowIcon(LoadIconResource(kAppIconId)); });
}

void CMainFrame::BuildMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  // The menu opens with a separator line, which Qt would otherwise fold away.
  file->setSeparatorsCollapsible(false);
  file->addSeparator();
  m_printAction = file->addAction(QStringLiteral("&Print...\tCtrl+P"));
  m_printAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
  m_printAction->setShortcutContext(Qt::WindowShortcut);
  connect(m_printAction, &QAction::triggered, this, [this] {
    if (m_view) m_view->OnFilePrint();
  });
  m_printPreviewAction = file->addAction(QStringLiteral("Print Pre&view"));
  connect(m_printPreviewAction, &QAction::triggered, this, [this] {
    if (m_view) m_view->OnFilePrintPreview();
  });
  connect(file, &QMenu::aboutToShow, this, [this] { UpdatePrintCommands(); });
  file->addSeparator();
  QAction* exitAction = file->addAction(QStringLiteral("E&xit"));
  connect(exitAction, &QAction::triggered, this, &QWidget::close);

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  QAction* about = help->addAction(QStringLiteral("&About Quadrilex..."));
  connect(about, &QAction::triggered, this, [this] { OnAppAbout(); });
}

QAction* CMainFrame::AddAccelerator(const QKeySequence& keys) {
  auto* action = new QAction(this);
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  addAction(action);
  return action;
}

void CMainFrame::BuildAccelerators() {
  connect(AddAccelerator(QKeySequence(QStringLiteral("Ctrl+N"))), &QAction::triggered, this, [this] { OnFileNew(); });
  connect(AddAccelerator(QKeySequence(QStringLiteral("Ctrl+O"))), &QAction::triggered, this, [this] { OnFileOpen(); });
  connect(AddAccelerator(QKeySequence(QStringLiteral("Ctrl+S"))), &QAction::triggered, this, [this] { OnFileSave(); });
  // Where no window manager takes the system's close key (none at all, or a
  // compositor that leaves it to the client), the game takes it itself.
  connect(AddAccelerator(QKeySequence(QStringLiteral("Alt+F4"))), &QAction::triggered, this, &QWidget::close);
  // The edit commands and pane switching have no handler in this game: the
  // keys are taken so that they do nothing at all.
  for (const char* keys : {"Ctrl+Z", "Alt+Backspace", "Ctrl+X", "Shift+Del", "Ctrl+C", "Ctrl+Ins", "Ctrl+V",
                           "Shift+Ins", "F6", "Shift+F6"}) {
    AddAccelerator(QKeySequence(QString::fromLatin1(keys)));
  }
}

void CMainFrame::UpdatePrintCommands() {
  if (!m_view) return;
  for (QAction* action : {m_printAction, m_printPreviewAction}) {
    CCmdUI ui;
    m_view->OnUpdateFilePrint(&ui);
    action->setEnabled(ui.Enabled());
  }
}

void CMainFrame::OnFileNew() {
  m_doc.OnNewDocument();
  m_viewWindow->RequestGamePaint();
}

void CMainFrame::OnFileOpen() {
  const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open"));
  QString error;
  if (!path.isEmpty() && !m_doc.OpenFrom(path, &error)) {
    QMessageBox::warning(this, QString::fromLatin1(AfxGetAppName()),
                         QStringLiteral("Cannot open the file %1.\n%2").arg(path, error));
  }
  m_viewWindow->RequestGamePaint();
}

void CMainFrame::OnFileSave() {
  QString path = m_doc.GetPathName();
  if (path.isEmpty()) {
    // QFileDialog asks before it lets an existing file be replaced.
    path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), QStringLiteral("Untitled"));
    if (path.isEmpty()) return;
  } else if (CQuadrilexdDoc::HoldsData(path)) {
    // The path came from Open (or the file has been filled since the last
    // save): the empty document would wipe it, so nothing is written unless
    // the player says so.
    const auto answer = QMessageBox::question(
        this, QString::fromLatin1(AfxGetAppName()),
        QStringLiteral("%1 already holds data.\nSaving writes an empty file in its place. Replace it?").arg(path),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
  }
  QString error;
  if (!m_doc.SaveTo(path, &error)) {
    QMessageBox::warning(this, QString::fromLatin1(AfxGetAppName()),
                         QStringLiteral("Cannot save the file %1.\n%2").arg(path, error));
    return;
  }
  m_doc.SetPathName(path);
}

void CMainFrame::OnAppAbout() {
  CAboutDlg about(this);
  about.exec();
}
