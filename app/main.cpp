// Quadrilex: bring every block to the master block's arrangement of four
// shapes before the clock runs out.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "app/quadrilexd_app.h"

namespace {

// Reads the command line; exits with a message when it cannot be understood.
StartOptions ParseCommandLine(const QApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Quadrilex, a timed tile puzzle."));
  parser.addHelpOption();
  const QCommandLineOption seedOption(QStringLiteral("seed"),
                                      QStringLiteral("Deal the boards from seed N, so that a game can be replayed."),
                                      QStringLiteral("N"));
  parser.addOption(seedOption);
  parser.process(app);

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

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const StartOptions options = ParseCommandLine(application);
  CQuadrilexdApp app(options);
  if (!app.InitInstance()) return 1;
  return QApplication::exec();
}
