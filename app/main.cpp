// Quadrilex: bring every block to the master block's arrangement of four
// shapes before the clock runs out.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>

#include "app/quadrilexd_app.h"
#include "app/version_info.h"

namespace {

// Reads the command line. --help lists Qt's own options too, since the
// player may want them (-platform, -display, -style...). Exits with a message
// when the command line cannot be understood.
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
  parser.process(arguments);

  if (parser.isSet(versionOption)) {
    std::printf("%s %d.%d.%d.%d (Quadrilex Version J614)\n", version_info::kProductName,
                version_info::kFileVersion[0], version_info::kFileVersion[1], version_info::kFileVersion[2],
                version_info::kFileVersion[3]);
    std::exit(0);
  }

  StartOptions options;
  if (parser.isSet(seedOption)) {
    bool ok = false;
    const uint seed = parser.value(seedOption).toUInt(&ok);
    if (!ok) {
      std::fprintf(stderr, "quadrilex: --seed needs a whole number from 0 to 4294967295, not \"%s\"\n",
                   qPrintable(parser.value(seedOption)));
      std::exit(2);
    }
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

}  // namespace

int main(int argc, char* argv[]) {
  if (OnlyAsksForText(argc, argv)) qputenv("QT_QPA_PLATFORM", "minimal");
  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName(QString::fromLatin1(version_info::kDesktopId));
  const StartOptions options = ParseCommandLine(application);
  CQuadrilexdApp app(options);
  if (!app.InitInstance()) return 1;
  return QApplication::exec();
}
