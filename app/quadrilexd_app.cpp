#include "app/quadrilexd_app.h"

#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <cstdio>
#include <optional>

#include "app/game_style.h"
#include "app/main_frame.h"
#include "app/quadrilexd_doc.h"
#include "platform/afx.h"
#include "platform/sound_output.h"
#include "platform/view_window.h"
#include "view/quadrilexd_view.h"

namespace {

// The game writes no settings of its own, and the shell's few values fit in
// a few hundred bytes: a settings file far larger than that is not one of
// ours, and reading it whole could take all the memory there is.
constexpr long long kLargestSettingsFile = 1024 * 1024;

// Every file QSettings reads for the game's settings, in its order: in the
// user's configuration folder, then in each of the system's, the
// application's own file and the one its organisation shares.
QStringList SettingsFiles() {
  const QString organization = QCoreApplication::organizationName();
  const QString application = QCoreApplication::applicationName();
  QStringList files;
  for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
    files += folder + QLatin1Char('/') + organization + QLatin1Char('/') + application + QStringLiteral(".conf");
    files += folder + QLatin1Char('/') + organization + QStringLiteral(".conf");
  }
  return files;
}

// Why a settings file is not to be read, if it is not: QSettings opens and
// reads it whole, so a named pipe would hold the start for as long as no one
// writes to it, and a huge file would end it. The look itself opens nothing.
std::optional<QString> UnfitSettingsFile() {
  for (const QString& file : SettingsFiles()) {
    struct stat status {};
    if (::stat(QFile::encodeName(file).constData(), &status) != 0) continue;
    if (!S_ISREG(status.st_mode)) return QStringLiteral("the settings file %1 is not a plain file").arg(file);
    if (status.st_size > kLargestSettingsFile) {
      return QStringLiteral("the settings file %1 is larger than %2 bytes").arg(file).arg(kLargestSettingsFile);
    }
  }
  return std::nullopt;
}

}  // namespace

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
  if (const std::optional<QString> unfit = UnfitSettingsFile()) {
    std::fprintf(stderr, "quadrilex: %s; the settings are passed over, and the defaults hold\n",
                 unfit->toLocal8Bit().constData());
    m_nPreviewPages = 0;
    return;
  }
  QSettings settings;
  m_nPreviewPages = settings.value(QStringLiteral("Settings/PreviewPages"), 0).toInt();
}
