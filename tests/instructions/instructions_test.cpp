// The instruction texts, F1, and printing them to a PDF file through the
// print commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/print_layout.h"
#include "platform/printing.h"
#include "tests/support/test_host.h"
#include "view/quadrilexd_view.h"
#include "tests/support/modal_answer.h"

namespace {

std::vector<std::string> Paragraphs(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find("\n\n", start);
    out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return out;
    start = end + 2;
  }
}

std::string RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return std::string();
  return process.readAllStandardOutput().toStdString();
}

int PdfPages(const QString& path) {
  const std::string info = RunTool(QStringLiteral("pdfinfo"), {path});
  const std::size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// pdftotext with the lines joined by blanks, so that text broken at the page's
// right edge can be compared with the text as written.
std::string PdfText(const QString& path) {
  std::string text = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), path, QStringLiteral("-")});
  std::string joined;
  for (char c : text) {
    if (c == '\n' || c == '\f') c = ' ';
    if (c == ' ' && !joined.empty() && joined.back() == ' ') continue;
    joined += c;
  }
  return joined;
}

std::string Squeeze(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') c = ' ';
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

class InstructionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = std::make_unique<CTestHost>(1016, 660);
    view = std::make_unique<CQuadrilexdView>(*host);
    host->Attach(view.get());
    pdf = dir.filePath(QStringLiteral("instructions.pdf"));
    const QString out = pdf;
    SetPrinterSetup([out](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(out);
    });
  }
  void TearDown() override { SetPrinterSetup(nullptr); }

  QTemporaryDir dir;
  QString pdf;
  std::unique_ptr<CTestHost> host;
  std::unique_ptr<CQuadrilexdView> view;
};

TEST_F(InstructionsTest, OnScreenTextHasFiveParagraphsOf2305Characters) {
  const std::string& help = view->HelpText();
  EXPECT_EQ(help.size(), 2305u);
  const std::vector<std::string> paragraphs = Paragraphs(help);
  ASSERT_EQ(paragraphs.size(), 5u);
  EXPECT_EQ(paragraphs[0].rfind("Welcome to the Quadrilex game. This is the Pilvet Edition", 0), 0u);
  EXPECT_EQ(paragraphs[1].rfind("To rearrange the shapes in a block, click on the arrows.", 0), 0u);
  EXPECT_EQ(paragraphs[2].rfind("The Net Score of a game is the sum of the Match Points", 0), 0u);
  EXPECT_EQ(paragraphs[3].rfind("A set of games consists of five games", 0), 0u);
  EXPECT_EQ(paragraphs[4],
            "To exit at any time, press the Alt+F4 keys or click on the Exit item under the File menu located on "
            "the Menu Bar. You may print these instructions by pressing the Ctrl and P keys.");
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(paragraphs[i].substr(paragraphs[i].size() - 2), ". ") << "paragraph " << i + 1;
  }
  EXPECT_NE(paragraphs[2].find("your bonus would be 1,255,800 points."), std::string::npos);
  EXPECT_NE(paragraphs[2].find("2860, and 3640 for 0 to 11 matches"), std::string::npos);
}

TEST_F(InstructionsTest, PrintedTextSharesFourParagraphsThenTellsOfTheMaker) {
  const std::vector<std::string> help = Paragraphs(view->HelpText());
  const std::vector<std::string> printed = Paragraphs(view->PrintText());
  ASSERT_EQ(printed.size(), 7u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(printed[i], help[i]) << "paragraph " << i + 1;
  EXPECT_EQ(printed[4],
            "To exit at any time, press the Alt+F4 keys or click on the Exit item under the File menu located on "
            "the Menu Bar. You may view these instructions by pressing the F1 key. ");
  EXPECT_NE(printed[5].find("free games"), std::string::npos);
  // The maker's notice, postal address and e-mail address, a line each, nothing after.
  const std::string& maker = printed[6];
  ASSERT_EQ(std::count(maker.begin(), maker.end(), '\n'), 2);
  EXPECT_EQ(maker.rfind("Copyright", 0), 0u);
  EXPECT_NE(maker.substr(maker.rfind('\n')).find('@'), std::string::npos);
  EXPECT_NE(maker.back(), '\n');
}

TEST_F(InstructionsTest, F1ShowsTheInstructionsAndNoOtherKeyDoesAnything) {
  view->Paint();
  host->ClearRecords();
  for (UINT key : {0x71u, 0x41u, 0x0Du, 0x1Bu, 0x20u}) view->OnKeyDown(key, 1, 0);
  EXPECT_TRUE(host->MessageBoxes().empty());
  EXPECT_TRUE(host->Presents().empty());
  view->OnKeyDown(VK_F1, 1, 0);
  ASSERT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(host->MessageBoxes()[0].text, view->HelpText());
  EXPECT_EQ(host->MessageBoxes()[0].caption, "Quadrilex");
  EXPECT_EQ(host->MessageBoxes()[0].style, MB_OK | MB_ICONEXCLAMATION);
}

TEST_F(InstructionsTest, F1KeepsTheClockTicking) {
  view->Paint();
  host->WhileMessageBoxOpen([this](const CTestHost::MessageBoxCall&) {
    host->AdvanceTime(5);
    EXPECT_TRUE(host->FireTimer(1));
  });
  view->OnKeyDown(VK_F1, 1, 0);
  EXPECT_EQ(view->TimeLeftText(), "01:40");
}

TEST(PrintLayoutTest, WorkedExample) {
  const quadrilex::PrintLayout p = quadrilex::ComputePrintLayout(MakeRect(0, 0, 2400, 3150));
  EXPECT_EQ(p.textWidth, 2160);
  EXPECT_EQ(p.left, 120);
  EXPECT_EQ(p.textHeight, 2835);
  EXPECT_EQ(p.fontHeight, 59);
  EXPECT_EQ(p.top, 236);
}

// The title as pdftotext gives it back: blanks squeezed, none at the end.
std::string PrintedHeading(const std::string& title) {
  std::string heading = Squeeze(title);
  while (!heading.empty() && heading.back() == ' ') heading.pop_back();
  return heading;
}

// The last line of the printed text: the maker's e-mail address.
std::string LastLineOf(const std::string& text) { return text.substr(text.rfind('\n') + 1); }

TEST_F(InstructionsTest, PrintsOnePageHeadedByTheTitleOfTheLatestPaint) {
  view->Paint();
  const std::string title = view->Title();
  host->AdvanceTime(30);  // a later time than the title's
  view->OnFilePrintDirect();
  ASSERT_TRUE(QFileInfo::exists(pdf));
  EXPECT_EQ(PdfPages(pdf), 1);
  const std::string text = PdfText(pdf);
  const std::string firstParagraph = Squeeze(Paragraphs(view->HelpText())[0]);
  EXPECT_EQ(text.rfind(PrintedHeading(title), 0), 0u) << text.substr(0, 200);
  EXPECT_EQ(text.find(firstParagraph.substr(0, 120)), text.find("Welcome to the Quadrilex game"));
  EXPECT_LT(text.find(PrintedHeading(title)), text.find("Welcome to the Quadrilex game"));
}

// On every common paper, each way round, the heading with its version and the
// body down to its last line reach the paper. A page that was whole as laid
// out keeps the layout's font height; one that lost text takes a smaller font.
TEST_F(InstructionsTest, EveryCommonPaperEachWayRoundPrintsTheWholePage) {
  struct Paper {
    const char* name;
    QPageSize::PageSizeId size;
    QPageLayout::Orientation orientation;
    bool wholeAsLaidOut;
  };
  const Paper papers[] = {
      {"A4 portrait", QPageSize::A4, QPageLayout::Portrait, false},
      {"A4 landscape", QPageSize::A4, QPageLayout::Landscape, true},
      {"Letter portrait", QPageSize::Letter, QPageLayout::Portrait, false},
      {"Letter landscape", QPageSize::Letter, QPageLayout::Landscape, true},
      {"A5 portrait", QPageSize::A5, QPageLayout::Portrait, false},
      {"A5 landscape", QPageSize::A5, QPageLayout::Landscape, true},
  };
  view->Paint();
  const std::string heading = PrintedHeading(view->Title());
  const std::string lastLine = LastLineOf(view->PrintText());
  for (const Paper& paper : papers) {
    SCOPED_TRACE(paper.name);
    const auto setUp = [this, paper](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setPageSize(QPageSize(paper.size));
      printer.setPageOrientation(paper.orientation);
    };
    SetPrinterSetup(setUp);
    QFile::remove(pdf);
    view->OnFilePrintDirect();
    ASSERT_TRUE(QFileInfo::exists(pdf));
    EXPECT_EQ(PdfPages(pdf), 1);
    const std::string text = PdfText(pdf);
    EXPECT_EQ(text.rfind(heading, 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find(lastLine), std::string::npos) << text.substr(text.size() > 200 ? text.size() - 200 : 0);

    QPrinter printer(QPrinter::HighResolution);
    setUp(printer);
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int layoutHeight = quadrilex::ComputePrintLayout(MakeRect(0, 0, page.width(), page.height())).fontHeight;
    if (paper.wholeAsLaidOut) {
      EXPECT_EQ(view->PrintFontHeight(), layoutHeight);
    } else {
      EXPECT_LT(view->PrintFontHeight(), layoutHeight);
    }
  }
}

TEST_F(InstructionsTest, ANarrowTallPaperStillPrintsTheWholeTextOnOnePage) {
  SetPrinterSetup([this](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    // Narrow and tall: at the height's own font the lines are short and the
    // body needs far more of them than its block holds.
    printer.setPageSize(QPageSize(QSizeF(40, 200), QPageSize::Millimeter));
  });
  view->Paint();
  view->OnFilePrintDirect();
  ASSERT_TRUE(QFileInfo::exists(pdf));
  EXPECT_EQ(PdfPages(pdf), 1);
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("Welcome to the Quadrilex game"), std::string::npos);
  EXPECT_NE(text.find(LastLineOf(view->PrintText())), std::string::npos);
}

// A directory whose file system refuses to grow a file: a 12 KB tmpfs where
// this process may mount one (as root), else the process's file size limit,
// under which the kernel refuses any write past 4 KB (EFBIG, with SIGXFSZ
// ignored). Either way the writes fail in the kernel, as on a full disk.
class FailingWrites {
 public:
  explicit FailingWrites(const QString& directory) : m_directory(QFile::encodeName(directory).toStdString()) {
    m_mounted = mount("quadrilex-test", m_directory.c_str(), "tmpfs", 0, "size=12k,mode=0755") == 0;
  }
  FailingWrites(const FailingWrites&) = delete;
  FailingWrites& operator=(const FailingWrites&) = delete;
  ~FailingWrites() {
    End();
    if (m_mounted) umount2(m_directory.c_str(), MNT_DETACH);
  }
  bool OnTmpfs() const { return m_mounted; }
  // From here until End, writes that grow a file past what is left fail.
  void Begin() {
    if (m_mounted) return;
    getrlimit(RLIMIT_FSIZE, &m_kept);
    m_keptHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_kept;
    limit.rlim_cur = 4096;
    m_limited = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  void End() {
    if (!m_limited) return;
    setrlimit(RLIMIT_FSIZE, &m_kept);
    std::signal(SIGXFSZ, m_keptHandler);
    m_limited = false;
  }

 private:
  std::string m_directory;
  bool m_mounted = false;
  bool m_limited = false;
  rlimit m_kept{};
  void (*m_keptHandler)(int) = SIG_DFL;
};

TEST_F(InstructionsTest, APrintThatCannotBeWrittenSaysSoAndLeavesTheOldFileAsItWas) {
  const QString full = dir.filePath(QStringLiteral("full"));
  ASSERT_TRUE(QDir().mkpath(full));
  FailingWrites failing(full);
  RecordProperty("failing_writes", failing.OnTmpfs() ? "12 KB tmpfs" : "RLIMIT_FSIZE 4 KB");
  const QString old = full + QStringLiteral("/old.pdf");
  QByteArray oldBytes("%PDF-1.4\n");
  while (oldBytes.size() < 8000) oldBytes += "% an earlier print, to be kept byte for byte\n";
  oldBytes.truncate(8000);
  {
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(oldBytes), oldBytes.size());
  }
  SetPrinterSetup([old](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(old);
  });
  view->Paint();
  host->ClearRecords();
  failing.Begin();
  view->OnFilePrintDirect();
  failing.End();

  ASSERT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(host->MessageBoxes()[0].caption, "Quadrilex");
  EXPECT_EQ(host->MessageBoxes()[0].text.rfind("The instructions were not printed: ", 0), 0u)
      << host->MessageBoxes()[0].text;
  QFile file(old);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll() == oldBytes) << "the earlier file was changed";
  // Nothing half written is left beside it.
  EXPECT_EQ(QDir(full).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("old.pdf")});
}

TEST_F(InstructionsTest, PrintingOverAnExistingFileKeepsItsPermissions) {
  {
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("an earlier print");
  }
  ASSERT_EQ(chmod(QFile::encodeName(pdf).constData(), 0640), 0);
  view->Paint();
  host->ClearRecords();
  view->OnFilePrintDirect();
  EXPECT_TRUE(host->MessageBoxes().empty());
  EXPECT_EQ(PdfPages(pdf), 1);
  struct stat status {};
  ASSERT_EQ(stat(QFile::encodeName(pdf).constData(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(InstructionsTest, PrintingTwiceKeepsOnePrintFont) {
  view->Paint();
  view->OnFilePrintDirect();
  const int afterFirst = CFont::LiveCount();
  view->OnFilePrintDirect();
  EXPECT_EQ(CFont::LiveCount(), afterFirst);
  EXPECT_GT(view->PrintFontHeight(), 0);
}

TEST_F(InstructionsTest, NothingPrintsBeforeTheFirstPaint) {
  CCmdUI ui;
  view->OnUpdateFilePrint(&ui);
  EXPECT_FALSE(ui.Enabled());
  view->OnFilePrintDirect();
  EXPECT_FALSE(QFileInfo::exists(pdf));
  view->Paint();
  view->OnUpdateFilePrint(&ui);
  EXPECT_TRUE(ui.Enabled());
}

TEST_F(InstructionsTest, NarrowClientAreaDisablesPrintingWithoutAnyDialog) {
  host->SetClientSize(1015, 700);
  EXPECT_THROW(view->Paint(), TestProcessExit);  // too small: the game's own abort
  CCmdUI ui;
  view->OnUpdateFilePrint(&ui);
  EXPECT_FALSE(ui.Enabled());
  bool dialogSeen = false;
  ModalAnswer answer([&dialogSeen](QWidget* modal) {
    dialogSeen = true;
    modal->close();
  });
  view->OnFilePrint();
  view->OnFilePrintDirect();
  view->OnFilePrintPreview();
  QTest::qWait(50);
  EXPECT_FALSE(dialogSeen);
  EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(InstructionsTest, PrintShowsThePrintDialogAndCancellingPrintsNothing) {
  view->Paint();
  bool printDialog = false;
  ModalAnswer answer([&printDialog](QWidget* modal) {
    printDialog = qobject_cast<QPrintDialog*>(modal) != nullptr;
    qobject_cast<QDialog*>(modal)->reject();
  });
  view->OnFilePrint();
  EXPECT_TRUE(printDialog);
  EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(InstructionsTest, PreviewShowsOnePageWithNoNextPage) {
  view->Paint();
  int pages = -1;
  bool nextEnabled = true;
  ModalAnswer answer([&](QWidget* modal) {
    auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
    ASSERT_NE(preview, nullptr);
    auto* widget = preview->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(widget, nullptr);
    pages = widget->pageCount();
    for (QAction* action : preview->findChildren<QAction*>()) {
      if (action->text().contains(QStringLiteral("Next page"), Qt::CaseInsensitive)) nextEnabled = action->isEnabled();
    }
    preview->reject();
  });
  view->OnFilePrintPreview();
  EXPECT_EQ(pages, 1);
  EXPECT_FALSE(nextEnabled);
}

}  // namespace
