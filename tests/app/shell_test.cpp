// The application shell on Qt's offscreen platform: start-up, the main window,
// the menu, the accelerators, the document commands and the About box.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "app/about_dlg.h"
#include "app/game_style.h"
#include "app/main_frame.h"
#include "app/quadrilexd_app.h"
#include "platform/afx.h"
#include "platform/printing.h"
#include "platform/surface.h"
#include "platform/view_window.h"
#include "view/quadrilexd_view.h"
#include "tests/support/modal_answer.h"

namespace {

// Runs the event loop until the condition holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
  return QTest::qWaitFor(condition, timeoutMs);
}

// Types a file name into a file dialog's name box, as a player would. (The
// dialog's selectFile() leaves the box alone once it has the focus, which it
// may or may not have by the time a test gets to it.)
void TypeFileName(QFileDialog* dialog, const QString& path) {
  auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(nameBox, nullptr);
  nameBox->setFocus();
  nameBox->setText(path);
}

// True when a Qt image-format plugin is mapped into this process.
bool ImagePluginLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}

std::vector<QString> ActionTexts(QMenu* menu) {
  std::vector<QString> texts;
  for (QAction* action : menu->actions()) texts.push_back(action->isSeparator() ? QStringLiteral("----") : action->text());
  return texts;
}

// A named pipe, made and later removed by the test. Should the game block on
// it (an open() with no one at the other end), the pipe's other end is
// opened after a deadline and the given bytes are written to it, so that the
// test fails and says so instead of hanging.
class PipeWithDeadline {
 public:
  explicit PipeWithDeadline(QString path, QByteArray bytesForABlockedReader = {})
      : m_path(std::move(path)), m_bytes(std::move(bytesForABlockedReader)) {
    m_made = ::mkfifo(QFile::encodeName(m_path).constData(), 0600) == 0;
  }
  PipeWithDeadline(const PipeWithDeadline&) = delete;
  PipeWithDeadline& operator=(const PipeWithDeadline&) = delete;
  ~PipeWithDeadline() {
    Disarm();
    QFile::remove(m_path);
  }

  bool Made() const { return m_made; }

  // From now on, the game has until the deadline to be done with the pipe.
  void Arm() {
    Disarm();
    m_done = false;
    m_guard = std::thread([this] {
      std::unique_lock<std::mutex> lock(m_mutex);
      if (m_doneChanged.wait_for(lock, kDeadline, [this] { return m_done; })) return;
      // Opened for reading and writing, the pipe never blocks, and releases
      // whoever waits at either end.
      const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_NONBLOCK);
      if (fd < 0) return;
      m_released = true;
      if (!m_bytes.isEmpty() && ::write(fd, m_bytes.constData(), static_cast<size_t>(m_bytes.size())) < 0) {
        m_bytes.clear();
      }
      // Held a little, so that the released reader finds the bytes before its end of file.
      m_doneChanged.wait_for(lock, std::chrono::seconds(1), [this] { return m_done; });
      ::close(fd);
    });
  }

  // The game has come back: the deadline no longer holds.
  void Disarm() {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      m_done = true;
    }
    m_doneChanged.notify_all();
    if (m_guard.joinable()) m_guard.join();
  }

  // True when the game was still held by the pipe at the deadline.
  bool HeldTheGame() const { return m_released; }

 private:
  static constexpr std::chrono::seconds kDeadline{10};
  const QString m_path;
  QByteArray m_bytes;
  bool m_made = false;
  std::mutex m_mutex;
  std::condition_variable m_doneChanged;
  bool m_done = true;
  std::atomic<bool> m_released{false};
  std::thread m_guard;
};

class ShellTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

  void SetUp() override {
    QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(AfxGetAppName())).clear();
  }

  // Starts the game and waits for its first paint to be over.
  void Start() {
    app = std::make_unique<CQuadrilexdApp>(StartOptions{7u});
    ASSERT_TRUE(app->InitInstance());
    ASSERT_TRUE(WaitUntil([this] { return app->View()->FirstPaintDone(); }));
    QTest::qWait(20);
  }

  void TearDown() override { app.reset(); }

  CMainFrame* Frame() { return app->MainFrame(); }
  CQuadrilexdView* View() { return app->View(); }
  CViewWindow* Window() { return Frame()->ViewWindow(); }

  // Marks a pixel of the surface, so that a repaint of the game can be seen.
  void MarkSurface() {
    QPainter painter(const_cast<QImage*>(&Window()->Surface().Image()));
    painter.fillRect(QRect(2, 300, 1, 1), Qt::cyan);
  }
  bool MarkStillThere() { return Window()->Surface().Image().pixelColor(2, 300) == QColor(Qt::cyan); }

  // What the game says when the player picks the named pipe at path in the
  // file dialog that the accelerator opens (Ctrl+O or Ctrl+S). The game must
  // come back from the pipe before the pipe's deadline.
  struct Refusal {
    QString caption;
    QString text;
  };
  Refusal PickAPipe(PipeWithDeadline& pipe, const QString& path, Qt::Key key) {
    Refusal refusal;
    ModalAnswer answer([&](QWidget* modal) {
      if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        TypeFileName(dialog, path);
        pipe.Arm();
        // Accepted as typed: Save's dialog would first ask whether to replace it.
        QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, QDialog::Accepted));
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        pipe.Disarm();
        refusal = {box->windowTitle(), box->text()};
        box->accept();
      }
    });
    answer.Repeat();
    QTest::keyClick(Window(), key, Qt::ControlModifier);
    pipe.Disarm();
    return refusal;
  }

  // True when the clock box changes within a few seconds: the view's timers still fire.
  bool ClockStillTicks() {
    const std::string shown = View()->TimeLeftText();
    return WaitUntil([&] { return View()->TimeLeftText() != shown; }, 3000);
  }

  std::unique_ptr<CQuadrilexdApp> app;
};

TEST_F(ShellTest, MainWindowFillsTheAvailableScreenFromTheStart) {
  Start();
  const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(Frame()->frameGeometry(), available);
  // Its size is fixed: nothing can resize it.
  EXPECT_EQ(Frame()->minimumSize(), Frame()->size());
  EXPECT_EQ(Frame()->maximumSize(), Frame()->size());
  // A caption that can close the game, but no minimize or maximize box. (Qt
  // adds a system menu to any window that can be closed; what the window
  // manager offers is said by the frame's own hints, tested end to end.)
  const Qt::WindowFlags flags = Frame()->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  // The view's client area is what the first paint laid out.
  EXPECT_EQ(View()->ClientRectAtLastPaint().right, Window()->width());
  EXPECT_EQ(View()->ClientRectAtLastPaint().bottom, Window()->height());
}

// A window manager that moves and shrinks the frame (a restore, a drag, a
// tile) is undone, and the size it gave never reaches the game: no new
// layout, no repaint of the game, no "Program Abort".
TEST_F(ShellTest, AFrameMovedAndShrunkGoesBackToFillingTheScreenAndTheGameNeverSeesIt) {
  Start();
  const RECT laidOut = View()->ClientRectAtLastPaint();
  const QRect full = Frame()->geometry();
  MarkSurface();
  Frame()->setMinimumSize(0, 0);
  Frame()->setGeometry(100, 80, 900, 600);
  ASSERT_TRUE(WaitUntil([&] { return Frame()->geometry() == full; })) << "the frame stays at 900 by 600";
  QTest::qWait(50);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(MarkStillThere()) << "the game was painted again";
  EXPECT_EQ(Window()->Surface().Width(), laidOut.right);
  EXPECT_EQ(Window()->Surface().Height(), laidOut.bottom);
}

// Where no window manager takes it, the system's close key ends the game.
TEST_F(ShellTest, AltF4ClosesTheMainWindow) {
  Start();
  QTest::keyClick(Window(), Qt::Key_F4, Qt::AltModifier);
  EXPECT_TRUE(WaitUntil([this] { return !Frame()->isVisible(); }));
}

TEST_F(ShellTest, FirstFrameNeedsNoImagePluginAndTheIconComesAfterIt) {
  if (ImagePluginLoaded()) GTEST_SKIP() << "an earlier test in this process has loaded the image plugins";
  app = std::make_unique<CQuadrilexdApp>(StartOptions{7u});
  ASSERT_TRUE(app->InitInstance());
  // Built and shown, with its menu bar in the window, and nothing read yet
  // that needs an image plugin.
  EXPECT_FALSE(Frame()->menuBar()->isNativeMenuBar());
  EXPECT_FALSE(ImagePluginLoaded());
  EXPECT_TRUE(Frame()->windowIcon().isNull());
  ASSERT_TRUE(WaitUntil([this] { return !Frame()->windowIcon().isNull(); }));
  const QList<QSize> sizes = Frame()->windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST(GameStyle, DrawsTheOverflowArrowsAndLeavesEveryOtherIconToTheBaseStyle) {
  const CGameStyle style;
  const QImage arrows = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16, 16).toImage();
  ASSERT_EQ(arrows.size(), QSize(16, 16));
  int marked = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) marked += qAlpha(arrows.pixel(x, y)) > 128 ? 1 : 0;
  }
  EXPECT_GT(marked, 10);
  EXPECT_EQ(qAlpha(arrows.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(arrows.pixel(15, 15)), 0);

  std::unique_ptr<QStyle> base(QStyleFactory::create(QApplication::style()->name()));
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(style.standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32).toImage(),
            base->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32).toImage());
}

TEST_F(ShellTest, TitleCarriesTheGameAndItsVersion) {
  Start();
  const QString title = Frame()->windowTitle();
  EXPECT_TRUE(title.startsWith(QStringLiteral("Quadrilex  "))) << title.toStdString();
  EXPECT_TRUE(title.endsWith(QStringLiteral(" -- Version J614 "))) << title.toStdString();
}

TEST_F(ShellTest, MenuHasItsItemsInOrder) {
  Start();
  const QList<QAction*> menus = Frame()->menuBar()->actions();
  ASSERT_EQ(menus.size(), 2);
  EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
  EXPECT_EQ(menus[1]->text(), QStringLiteral("&Help"));
  const std::vector<QString> file = ActionTexts(menus[0]->menu());
  const std::vector<QString> expectedFile = {QStringLiteral("----"), QStringLiteral("&Print...\tCtrl+P"),
                                             QStringLiteral("Print Pre&view"), QStringLiteral("----"),
                                             QStringLiteral("E&xit")};
  EXPECT_EQ(file, expectedFile);
  EXPECT_FALSE(menus[0]->menu()->separatorsCollapsible());
  EXPECT_EQ(ActionTexts(menus[1]->menu()), std::vector<QString>{QStringLiteral("&About Quadrilex...")});
}

TEST_F(ShellTest, ReadsPreviewPagesFromTheSettings) {
  QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(AfxGetAppName()))
      .setValue(QStringLiteral("Settings/PreviewPages"), 2);
  Start();
  EXPECT_EQ(app->PreviewPages(), 2);
}

TEST_F(ShellTest, NewRepaintsWithoutTouchingTheGame) {
  Start();
  const std::vector<int> before(View()->Arrangements(), View()->Arrangements() + 12);
  const CTime started = View()->StartTime();
  MarkSurface();
  QTest::keyClick(Window(), Qt::Key_N, Qt::ControlModifier);
  ASSERT_TRUE(WaitUntil([this] { return !MarkStillThere(); }));
  EXPECT_EQ(std::vector<int>(View()->Arrangements(), View()->Arrangements() + 12), before);
  EXPECT_EQ(View()->StartTime().GetTime(), started.GetTime());
  EXPECT_EQ(View()->Game(), 0);
  EXPECT_FALSE(View()->Resting());
}

TEST_F(ShellTest, OpenShowsADialogReadsNothingAndRepaints) {
  Start();
  const std::vector<int> before(View()->Arrangements(), View()->Arrangements() + 12);
  MarkSurface();
  bool dialogSeen = false;
  ModalAnswer answer([&dialogSeen](QWidget* modal) {
    dialogSeen = qobject_cast<QFileDialog*>(modal) != nullptr;
    qobject_cast<QDialog*>(modal)->reject();
  });
  QTest::keyClick(Window(), Qt::Key_O, Qt::ControlModifier);
  ASSERT_TRUE(WaitUntil([this] { return !MarkStillThere(); }));
  EXPECT_TRUE(dialogSeen);
  EXPECT_EQ(std::vector<int>(View()->Arrangements(), View()->Arrangements() + 12), before);
}

TEST_F(ShellTest, SaveWritesAnEmptyFile) {
  Start();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("saved.qlx"));
  ModalAnswer answer([path](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    TypeFileName(dialog, path);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  QTest::keyClick(Window(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(WaitUntil([path] { return QFileInfo::exists(path); }));
  EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST_F(ShellTest, SaveAfterOpenKeepsTheFileItsBytesUnlessThePlayerConfirms) {
  Start();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kept.txt"));
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("fifteen bytes!\n");
  }
  {
    ModalAnswer open([path](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      TypeFileName(dialog, path);
      QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::keyClick(Window(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&open] { return open.Count() == 1 && !QApplication::activeModalWidget(); }));
  }
  for (const auto button : {QMessageBox::No, QMessageBox::Yes}) {
    SCOPED_TRACE(button == QMessageBox::Yes ? "Yes" : "No");
    // The accelerators reach the frame once it is the active window again.
    Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    QString question;
    ModalAnswer save([&question, button](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      question = box->text();
      EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
      box->button(button)->click();
    });
    QTest::keyClick(Window(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&save] { return save.Count() == 1 && !QApplication::activeModalWidget(); }));
    EXPECT_TRUE(question.contains(path)) << question.toStdString();
    EXPECT_EQ(QFileInfo(path).size(), button == QMessageBox::Yes ? 0 : 15);
  }
}

TEST_F(ShellTest, SaveThatCannotWriteSaysSoAndChangesNothing) {
  Start();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("no-such-folder/saved.qlx"));
  const std::vector<int> before(View()->Arrangements(), View()->Arrangements() + 12);
  QString message;
  ModalAnswer answer([path, &message](QWidget* modal) {
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      TypeFileName(dialog, path);
      // Accept the name as typed, so that the write itself fails.
      QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, QDialog::Accepted));
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      message = box->text();
      box->reject();
    }
  });
  answer.Repeat();
  QTest::keyClick(Window(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(WaitUntil([&message] { return !message.isEmpty(); }));
  EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot save the file"))) << message.toStdString();
  EXPECT_FALSE(QFileInfo::exists(path));
  EXPECT_EQ(std::vector<int>(View()->Arrangements(), View()->Arrangements() + 12), before);
}

// A named pipe picked in Open's dialog is refused at once, with no wait for a
// writer: the game goes on, its clock with it.
TEST_F(ShellTest, OpenRefusesANamedPipeWithoutWaitingOnIt) {
  Start();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("pipe"));
  PipeWithDeadline pipe(path);
  ASSERT_TRUE(pipe.Made());
  const Refusal refusal = PickAPipe(pipe, path, Qt::Key_O);
  EXPECT_FALSE(pipe.HeldTheGame()) << "Open waited on the pipe until its deadline";
  EXPECT_EQ(refusal.caption.toStdString(), "Quadrilex");
  EXPECT_TRUE(refusal.text.startsWith(QStringLiteral("Cannot open the file"))) << refusal.text.toStdString();
  EXPECT_TRUE(refusal.text.contains(QStringLiteral("named pipe"))) << refusal.text.toStdString();
  EXPECT_TRUE(ClockStillTicks());
}

// Save onto a named pipe says why it refuses, writes nothing and waits for
// no reader.
TEST_F(ShellTest, SaveRefusesANamedPipeAndSaysWhy) {
  Start();
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("pipe"));
  PipeWithDeadline pipe(path);
  ASSERT_TRUE(pipe.Made());
  const Refusal refusal = PickAPipe(pipe, path, Qt::Key_S);
  EXPECT_FALSE(pipe.HeldTheGame()) << "Save waited on the pipe until its deadline";
  EXPECT_EQ(refusal.caption.toStdString(), "Quadrilex");
  EXPECT_TRUE(refusal.text.startsWith(QStringLiteral("Cannot save the file"))) << refusal.text.toStdString();
  EXPECT_TRUE(refusal.text.contains(QStringLiteral("named pipe"))) << refusal.text.toStdString();
  EXPECT_TRUE(QFileInfo(path).exists() && !QFileInfo(path).isFile());
  EXPECT_TRUE(ClockStillTicks());
}

// A settings file that is a named pipe, or one far larger than any the game
// writes, is passed over with a line on standard error: the game starts,
// with the defaults.
TEST_F(ShellTest, ASettingsFileThatIsAPipeOrHugeIsPassedOverAndTheDefaultsHold) {
  const QByteArray settingsText = "[Settings]\nPreviewPages=3\n";
  // Where QSettings keeps the file (asked while there is none).
  const QString path =
      QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(AfxGetAppName())).fileName();
  ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
  for (const bool asAPipe : {true, false}) {
    SCOPED_TRACE(asAPipe ? "a named pipe" : "a file of 2 MiB");
    QFile::remove(path);
    std::unique_ptr<PipeWithDeadline> pipe;
    if (asAPipe) {
      pipe = std::make_unique<PipeWithDeadline>(path, settingsText);
      ASSERT_TRUE(pipe->Made());
      pipe->Arm();
    } else {
      // The value at its head, then nothing but holes up to 2 MiB.
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(settingsText);
      ASSERT_TRUE(file.resize(2 * 1024 * 1024));
    }
    testing::internal::CaptureStderr();
    app = std::make_unique<CQuadrilexdApp>(StartOptions{7u});
    const bool started = app->InitInstance();
    const std::string said = testing::internal::GetCapturedStderr();
    if (pipe) pipe->Disarm();
    EXPECT_TRUE(started);
    EXPECT_FALSE(pipe && pipe->HeldTheGame()) << "the start waited on the pipe until its deadline";
    EXPECT_EQ(app->PreviewPages(), 0);
    EXPECT_NE(said.find("quadrilex: the settings file " + path.toStdString()), std::string::npos) << said;
    EXPECT_NE(said.find("the defaults hold"), std::string::npos) << said;
    app.reset();
    pipe.reset();
    QFile::remove(path);
  }
}

TEST_F(ShellTest, EditKeysAndPaneKeysDoNothing) {
  Start();
  const std::vector<int> before(View()->Arrangements(), View()->Arrangements() + 12);
  MarkSurface();
  const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
      {Qt::Key_Z, Qt::ControlModifier},    {Qt::Key_Backspace, Qt::AltModifier}, {Qt::Key_X, Qt::ControlModifier},
      {Qt::Key_Delete, Qt::ShiftModifier}, {Qt::Key_C, Qt::ControlModifier},     {Qt::Key_Insert, Qt::ControlModifier},
      {Qt::Key_V, Qt::ControlModifier},    {Qt::Key_Insert, Qt::ShiftModifier},  {Qt::Key_F6, Qt::NoModifier},
      {Qt::Key_F6, Qt::ShiftModifier}};
  // Each key is taken by the frame (left alone, it might reach a widget that
  // does something with it), and taking it does nothing.
  QList<QKeySequence> taken;
  for (const QAction* action : Frame()->actions()) taken += action->shortcuts();
  for (const auto& [key, modifiers] : keys) {
    EXPECT_TRUE(taken.contains(QKeySequence(modifiers | key))) << QKeySequence(modifiers | key).toString().toStdString();
  }
  for (const auto& [key, modifiers] : keys) QTest::keyClick(Window(), key, modifiers);
  QTest::qWait(50);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(MarkStillThere());
  EXPECT_EQ(std::vector<int>(View()->Arrangements(), View()->Arrangements() + 12), before);
}

TEST_F(ShellTest, AboutBoxShowsIconTextNoticeAndOk) {
  Start();
  QString caption, text, notice;
  bool iconShown = false, okIsDefault = false;
  ModalAnswer answer([&](QWidget* modal) {
    caption = modal->windowTitle();
    text = modal->findChild<QLabel*>(QStringLiteral("aboutText"))->text();
    notice = modal->findChild<QLabel*>(QStringLiteral("aboutNotice"))->text();
    iconShown = !modal->findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap().isNull();
    auto* ok = modal->findChild<QPushButton*>();
    okIsDefault = ok && ok->isDefault() && ok->text() == QStringLiteral("OK");
    ok->click();
  });
  Frame()->OnAppAbout();
  EXPECT_EQ(caption, QStringLiteral("About Quadrilexd"));
  EXPECT_EQ(text, QStringLiteral("Quadrilex Version J614 \nPress F1 for more Instructions"));
  EXPECT_TRUE(notice.startsWith(QStringLiteral("Copyright"))) << notice.toStdString();
  EXPECT_TRUE(iconShown);
  EXPECT_TRUE(okIsDefault);
}

// The date in the window title and in the printed heading, in the letters of
// the locale the game runs in. CTest runs this under faketime on a fixed day
// in German and French locales, naming the locale and the month's text it
// must show; the locale not being installed is a failure, not a skip.
TEST_F(ShellTest, DateInTitleAndPrintedHeadingIsInTheLocalesLetters) {
  const QString locale = qEnvironmentVariable("QUADRILEX_DATE_LOCALE");
  const QString month = qEnvironmentVariable("QUADRILEX_DATE_MONTH");
  if (locale.isEmpty()) GTEST_SKIP() << "run by CTest in a chosen locale on a fixed day";
  const char* inForce = std::setlocale(LC_TIME, nullptr);
  ASSERT_EQ(QString::fromLatin1(inForce ? inForce : ""), locale)
      << "the locale " << locale.toStdString() << " is not installed (scripts/install-deps.sh generates it)";
  Start();
  const QString title = Frame()->windowTitle();
  EXPECT_TRUE(title.contains(month)) << title.toStdString();

  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("heading.pdf"));
  SetPrinterSetup([pdf](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
  });
  View()->OnFilePrintDirect();
  SetPrinterSetup(nullptr);
  QProcess pdftotext;
  pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
  ASSERT_TRUE(pdftotext.waitForFinished(30000));
  const QString printed = QString::fromUtf8(pdftotext.readAllStandardOutput());
  const QString heading = printed.left(printed.indexOf(QLatin1Char('\n')));
  EXPECT_TRUE(heading.startsWith(QStringLiteral("Quadrilex"))) << heading.toStdString();
  EXPECT_TRUE(heading.contains(month)) << heading.toStdString();
}

// Each text of the About box whole inside its box, every line of it, in the
// font the box is drawn with (the ctest list runs this at scale 1 and 2).
TEST(AboutBox, EveryTextIsWholeInItsBox) {
  CAboutDlg dialog(nullptr);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  std::vector<std::pair<QString, QWidget*>> boxes;
  for (const char* name : {"aboutText", "aboutNotice"}) {
    auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
    ASSERT_NE(label, nullptr) << name;
    boxes.emplace_back(label->text(), label);
  }
  auto* ok = dialog.findChild<QPushButton*>();
  ASSERT_NE(ok, nullptr);
  boxes.emplace_back(ok->text(), ok);
  for (const auto& [text, box] : boxes) {
    const QFontMetrics metrics(box->font(), box);
    const QRect room = box->contentsRect();
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
      EXPECT_LE(metrics.horizontalAdvance(line), room.width())
          << line.toStdString() << " in a box " << room.width() << " wide";
    }
    EXPECT_LE(lines.size() * metrics.height(), room.height())
        << text.toStdString() << " in a box " << room.height() << " high";
    EXPECT_TRUE(dialog.rect().contains(box->geometry())) << text.toStdString();
  }
}

TEST_F(ShellTest, ExitClosesTheMainWindow) {
  Start();
  QAction* exitAction = Frame()->menuBar()->actions()[0]->menu()->actions().last();
  ASSERT_EQ(exitAction->text(), QStringLiteral("E&xit"));
  exitAction->trigger();
  EXPECT_TRUE(WaitUntil([this] { return !Frame()->isVisible(); }));
}

}  // namespace
