#include "app/quadrilexd_app.h"

#include <QApplication>
#include <QSettings>

#include "app/game_style.h"
#include "app/main_frame.h"
#include "app/quadrilexd_doc.h"
#include "platform/afx.h"
#include "platform/sound_output.h"
#include "platform/view_window.h"
#include "view/quadrilexd_view.h"

CQuadrilexdApp::CQuadrilexdApp(StartOptions options) : m_options(options) {}

CQuadrilexdApp::~CQuadrilexdApp() {
  // The view goes before the window that hosts it.
  if (m_frame) m_frame->ViewWindow()->AttachView(nullptr);
  m_view.reset();
  m_frame.reset();
}

bool CQuadrilexdApp::InitInstance() {
  QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganization));
  QCoreApplication::setApplicationName(QString::fromLatin1(AfxGetAppName()));
  LoadStdProfileSettings();

  // The sound device, opened for the opening sound once the window is up and
  // again after it has been lost. Without one the game goes on in silence and
  // says so once, the first time a sound cannot be played.
  m_sound = CreateSoundOutput();

  if (dynamic_cast<CGameStyle*>(QApplication::style()) == nullptr) QApplication::setStyle(new CGameStyle);
  m_doc = std::make_unique<CQuadrilexdDoc>();
  m_frame = std::make_unique<CMainFrame>(*m_doc);
  CViewWindow* window = m_frame->ViewWindow();
  window->SetSeed(m_options.seed);
  window->SetSoundOutput(m_sound.get());
  window->SetBackground(CQuadrilexdView::kGroundColour);
  m_view = std::make_unique<CQuadrilexdView>(*window);
  window->AttachView(m_view.get());
  m_frame->SetView(m_view.get());
  if (!m_doc->OnNewDocument()) return false;
  window->RequestGamePaint();

  m_frame->ShowFilling();
  return true;
}

void CQuadrilexdApp::LoadStdProfileSettings() {
  // The game keeps no settings of its own; the only value read is the number
  // of pages the print preview shows, read at start-up as the shell of any
  // document program reads it. The view's print set-up then asks for one
  // page at a time, so nothing else uses the value.
  QSettings settings;
  m_nPreviewPages = settings.value(QStringLiteral("Settings/PreviewPages"), 0).toInt();
}
