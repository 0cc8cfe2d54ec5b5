// Quadrilex: bring every block to the master block's arrangement of four
// shapes before the clock runs out.
#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <optional>
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
void SayUsageError(const QByteArray& message) {
  std::fprintf(stderr, "quadrilex: %s (see --help)\n", message.constData());
}
constexpr int kUsageErrorStatus = 2;

// The game's options. --help lists Qt's own options too, since the player may
// want them (-platform, -display, -style...).
class CommandLine {
 public:
  CommandLine() {
    m_parser.setApplicationDescription(QStringLiteral("Quadrilex, a timed tile puzzle: bring every block to the master "
                                                      "block's arrangement before the clock runs out."));
    m_parser.addOption(m_seedOption);
    m_parser.addOption(m_versionOption);
    m_parser.addHelpOption();
  }

  // What is wrong with the command line, in one line; empty when it can be
  // carried out. Errors are ours to report (Qt's own parser would end with
  // status 1). Help and the version are given whatever else was asked for.
  QByteArray Fault(const QStringList& typed) {
    m_arguments = typed;
    for (QString& argument : m_arguments) {
      if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) argument = QStringLiteral("--help-all");
    }
    if (!m_parser.parse(m_arguments)) {
      const QStringList unknown = m_parser.unknownOptionNames();
      if (!unknown.isEmpty()) return "unknown option " + Quoted(unknown.first());
      return m_parser.errorText().toLocal8Bit();
    }
    const QStringList positional = m_parser.positionalArguments();
    if (!positional.isEmpty()) return "unexpected argument " + Quoted(positional.first());
    if (m_parser.isSet(QStringLiteral("help-all")) || m_parser.isSet(m_versionOption)) return {};
    if (m_parser.isSet(m_seedOption) && !Seed().has_value()) {
      return "--seed needs a whole number from 0 to 4294967295, not " + Quoted(m_parser.value(m_seedOption));
    }
    return {};
  }

  // Carries out a command line that Fault() found sound: help and the version
  // end the program here; otherwise the options for the game.
  StartOptions Carry() {
    m_parser.process(m_arguments);
    if (m_parser.isSet(m_versionOption)) {
      std::printf("%s %s (Quadrilex Version %s)\n", version_info::kProductName, version_info::kVersion, kVersionLabel);
      std::exit(0);
    }
    StartOptions options;
    options.seed = Seed();
    return options;
  }

 private:
  std::optional<unsigned> Seed() const {
    if (!m_parser.isSet(m_seedOption)) return std::nullopt;
    bool ok = false;
    const uint seed = m_parser.value(m_seedOption).toUInt(&ok);
    if (!ok) return std::nullopt;
    return seed;
  }

  QCommandLineParser m_parser;
  const QCommandLineOption m_seedOption{QStringLiteral("seed"),
                                        QStringLiteral("Deal the boards from seed N, so that a game can be replayed."),
                                        QStringLiteral("N")};
  const QCommandLineOption m_versionOption{QStringLiteral("version"), QStringLiteral("Show the version and exit.")};
  QStringList m_arguments;
};

// True when the command line only asks for help or the version, which must
// work from a terminal with no display.
bool OnlyAsksForText(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray argument(argv[i]);
    if (argument == "--help" || argument == "-h" || argument == "--help-all" || argument == "--version") return true;
  }
  return false;
}

// The options Qt and its platforms take for themselves (as --help lists
// them), each with whether a value follows it.
struct QtOption {
  const char* name;
  bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},   {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},    {"qwindowtitle", true},  {"qmljsdebugger", true},
    {"reverse", false},   {"session", true},            {"testability", false},  {"style", true},
    {"stylesheet", true}, {"widgetcount", false},
    // X11's, as its platform takes them.
    {"display", true},    {"name", true},               {"sync", false},         {"geometry", true},
    {"title", true},      {"icon", true},
};

// The command line as typed, less Qt's own options: what the game's parser
// would see had Qt taken its options out, as it does once it has a display.
QStringList WithoutQtOptions(const QStringList& typed) {
  QStringList left;
  for (qsizetype i = 0; i < typed.size(); ++i) {
    const QString& argument = typed[i];
    if (i == 0 || !argument.startsWith(QLatin1Char('-'))) {
      left += argument;
      continue;
    }
    QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
    const bool valueAttached = name.contains(QLatin1Char('='));
    name = name.section(QLatin1Char('='), 0, 0);
    const QtOption* qtOption = nullptr;
    for (const QtOption& option : kQtOptions) {
      if (name == QLatin1String(option.name)) qtOption = &option;
    }
    if (qtOption == nullptr) {
      left += argument;
      continue;
    }
    if (qtOption->takesValue && !valueAttached) ++i;
  }
  return left;
}

// Qt's messages while the application object connects to the display. When
// no platform can be started Qt ends the process with an abort (and a core
// dump); that case becomes one line and status 1 instead, unless the command
// line itself is wrong, which is said first and whatever the display. Whatever
// the platform (X11, Wayland, one named with -platform), its failure arrives
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
// The command line as typed: by the time the display fails, Qt has taken
// some of its own options out of argv.
QStringList g_typedArguments;

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    // Qt is half built here: the process ends at once, without running its
    // exit handlers.
    CommandLine commandLine;
    const QByteArray fault = commandLine.Fault(WithoutQtOptions(g_typedArguments));
    if (!fault.isEmpty()) {
      SayUsageError(fault);
      std::_Exit(kUsageErrorStatus);
    }
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

// True when there is a screen to show the game on. With every output of the
// display turned off, Qt stands in a screen of no size, on which a window is
// never shown.
bool HasAScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr && !screen->geometry().isEmpty();
}

// A kiosk may start the game before its monitor is on: the game waits, with
// no window, until a screen comes, so that its window is made for that screen
// and shown on it.
void WaitForAScreen() {
  if (HasAScreen()) return;
  std::fprintf(stderr, "quadrilex: no screen is on; waiting for one\n");
  QEventLoop wait;
  const auto checkAgain = [&wait] {
    if (HasAScreen()) wait.quit();
  };
  QObject::connect(qApp, &QGuiApplication::screenAdded, &wait, checkAgain);
  QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, &wait, checkAgain);
  if (QScreen* standIn = QGuiApplication::primaryScreen()) {
    QObject::connect(standIn, &QScreen::geometryChanged, &wait, checkAgain);
  }
  wait.exec();
}

}  // namespace

int main(int argc, char* argv[]) {
  for (int i = 0; i < argc; ++i) g_typedArguments += QString::fromLocal8Bit(argv[i]);
  if (OnlyAsksForText(argc, argv)) qputenv("QT_QPA_PLATFORM", "minimal");
  g_previousHandler = qInstallMessageHandler(HoldStartupMessage);
  QApplication application(argc, argv);
  ReleaseStartupMessages();
  QGuiApplication::setDesktopFileName(QString::fromLatin1(version_info::kDesktopId));
  CommandLine commandLine;
  const QByteArray fault = commandLine.Fault(QApplication::arguments());
  if (!fault.isEmpty()) {
    SayUsageError(fault);
    return kUsageErrorStatus;
  }
  const StartOptions options = commandLine.Carry();
  WaitForAScreen();
  CQuadrilexdApp app(options);
  if (!app.InitInstance()) return 1;
  return QApplication::exec();
}
