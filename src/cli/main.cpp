// trackmill-cli: the window's file information and transcode job without a window.
#include "cli/Commands.h"
#include "cli/Tr.h"
#include "cli/Usage.h"
#include "config/Language.h"

#include <QCoreApplication>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using trackmill::Cli;
using trackmill::Formatted;

const char *const kUsage = QT_TRANSLATE_NOOP("Cli",
    "Usage: trackmill-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  info [--json] FILE...     show the stream header and the tags of each file\n"
    "  convert [options] PATH... convert Musepack files (and folders) to MP3\n"
    "\n"
    "Options:\n"
    "  --help                    show this help\n"
    "  --version                 show the program version\n"
    "\n"
    "Run 'trackmill-cli COMMAND --help' for the options of a command.\n");

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // Qt gave the C library the user's number format; what we write into files (tag values)
    // and the engine's reasons take the point.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setApplicationName(QStringLiteral("trackmill-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TRACKMILL_VERSION));
    // Messages in the user's language; --json and the reasons stay English.
    trackmill::InstallTranslations();

    if (argc < 2) {
        std::fputs(Cli::Tr(kUsage).c_str(), stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(Cli::Tr(kUsage).c_str(), stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("trackmill-cli %s\n", TRACKMILL_VERSION);
        return 0;
    }
    if (command == "info") {
        // Raw bytes: a file name need not be valid UTF-8.
        return trackmill::RunInfo(std::vector<std::string>(argv + 2, argv + argc));
    }
    if (command == "convert") {
        return trackmill::RunConvert(std::vector<std::string>(argv + 2, argv + argc));
    }
    if (command.starts_with("-"))
        return trackmill::UsageError("trackmill-cli", Formatted(Cli::Tr("unknown option '%s'"), command.c_str()),
                                     trackmill::ClosestWord(command, {"--help", "--version"}), "trackmill-cli --help");
    return trackmill::UsageError("trackmill-cli", Formatted(Cli::Tr("unknown command '%s'"), command.c_str()),
                                 trackmill::ClosestWord(command, {"info", "convert", "help"}), "trackmill-cli --help");
}
