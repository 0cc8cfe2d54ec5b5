// Quadrilex: bring every block to the master block's arrangement of four
// shapes before the clock runs out.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/quadrilexd_app.h"
#include "app/version_info.h"
#include "view/title.h"

namespace {

// A bad value is quoted only this far: the line must stay readable whatever
// was typed (or pasted) after --seed.
constexpr qsizetype kQuotedLength = 40;

QByteArray Quoted(const QString& value) {
  QString shown = value.left(kQuotedLength);
  if (value.size() > kQuotedLength) shown += QStringLiteral("...");
  return "\"" + shown.toLocal8Bit() + "\"";
}

// A command line that cannot be understood: one line, and the status that
// tells a script it was called wrongly.
[[noreturn]] void UsageError(const QByteArray& message) {
  std::fprintf(stderr, "quadrilex: %s (see --help)\n", message.constData());
  std::exit(2);
}

// Reads the command line. --help lists Qt's own options too, since the
// player may want them (-platform, -display, -style...).
StartOptions ParseCommandLine(const QApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Quadrilex, a timed tile puzzle: bring every block to the master "
                                                  "block's arrangement before the clock runs out."));
  const QCommandLineOption seedOption(QStringLiteral("seed"),
                                      QStringLiteral("Deal the boards from seed N, so that a game can be replayed."),
                                      QStringLiteral("N"));
  const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Show the version and exit."));
  parser.addOption(seedOption);
  parser.addOption(versionOption);
  parser.addHelpOption();

  QStringList arguments = app.arguments();
  for (QString& argument : arguments) {
    if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) argument = QStringLiteral("--help-all");
  }
  // Errors are ours to report (Qt's own parser would end with status 1); what
  // is left, help and the version, Qt's parser carries out.
  if (!parser.parse(arguments)) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) UsageError("unknown option " + Quoted(unknown.first()));
    UsageError(parser.errorText().toLocal8Bit());
  }
  if (!parser.positionalArguments().isEmpty()) UsageError("unexpected argument " + Quoted(parser.positionalArguments().first()));
  parser.process(arguments);

  if (parser.isSet(versionOption)) {
    std::printf("%s %s (Quadrilex Version %s)\n", version_info::kProductName, version_info::kVersion, kVersionLabel);
    std::exit(0);
  }

  StartOptions options;
  if (parser.isSet(seedOption)) {
    bool ok = false;
    const QString value = parser.value(seedOption);
    const uint seed = value.toUInt(&ok);
    if (!ok) UsageError("--seed needs a whole number from 0 to 4294967295, not " + Quoted(value));
    options.seed = seed;
  }
  return options;
}

// True when the command line only asks for help or the version, which must
// work from a terminal with no display.
bool OnlyAsksForText(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray argument(argv[i]);
    if (argument == "--help" || argument == "-h" || argument == "--help-all" || argument == "--version") return true;
  }
  return false;
}

// Qt's messages while the application object connects to the display. When
// no platform can be started Qt ends the process with an abort (and a core
// dump); that case becomes one line and status 1 instead. Whatever the
// platform (X11, Wayland, one named with -platform), its failure arrives
// here, so no display has to be probed beforehand.
struct HeldMessage {
  QtMsgType type;
  // The context's strings are literals of Qt's, which outlive the hold.
  const char* file;
  int line;
  const char* function;
  const char* category;
  QString text;
};
QtMessageHandler g_previousHandler = nullptr;
std::vector<HeldMessage> g_heldMessages;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "quadrilex: cannot open a display (DISPLAY or WAYLAND_DISPLAY)\n");
    std::_Exit(1);
  }
  g_heldMessages.push_back({type, context.file, context.line, context.function, context.category, message});
}

// Passes on what was held once the display is open: those were warnings of
// a start that went on.
void ReleaseStartupMessages() {
  qInstallMessageHandler(g_previousHandler);
  for (const HeldMessage& held : g_heldMessages) {
    const QMessageLogContext context(held.file, held.line, held.function, held.category);
    qt_message_output(held.type, context, held.text);
  }
  g_heldMessages.clear();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (OnlyAsksForText(argc, argv)) qputenv("QT_QPA_PLATFORM", "minimal");
  g_previousHandler = qInstallMessageHandler(HoldStartupMessage);
  QApplication application(argc, argv);
  ReleaseStartupMessages();
  QGuiApplication::setDesktopFileName(QString::fromLatin1(version_info::kDesktopId));
  const StartOptions options = ParseCommandLine(application);
  CQuadrilexdApp app(options);
  if (!app.InitInstance()) return 1;
  return QApplication::exec();
}
