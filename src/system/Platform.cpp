#include "system/Platform.h"

#include "os/Files.h"
#include "os/Path.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace trackmill::platform {

std::string DefaultLibraryFolder()
{
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (!music.isEmpty()) {
        const std::string folder = music.toStdString();
        if (os::Stat(folder).kind == os::TKind::Folder) return folder.back() == '/' ? folder : folder + '/';
    }
    return DefaultOutputFolder();
}

namespace {

constexpr const char *kFixedDecoderUsage =
    "mpcdec - Musepack decoder\n"
    "usage: mpcdec [-i] [-h] <infile.mpc> [<outfile.wav>]\n"
    "  -i  print file information\n"
    "  -c  check the file for stream errors\n"
    "  -r  write raw samples instead of WAVE\n"
    "  -e  reverse the byte order of raw samples\n"
    "  -h  print this help\n"
    "  -   as a file name: standard input or standard output";

}  // namespace

std::string FindDecoder(const std::string &besideFolder)
{
    std::string found = FindProgram(kDecoderProgram, besideFolder);
    if (found.empty() && *kDecoderProgramAlternative) found = FindProgram(kDecoderProgramAlternative, besideFolder);
    return found;
}

std::string DecoderName(const std::string &besideFolder)
{
    std::string name = os::FileName(FindDecoder(besideFolder));
    if (name.empty()) name = kDecoderProgram;
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

std::string DecoderUsage(const std::string &besideFolder)
{
    const std::string program = FindDecoder(besideFolder);
    if (program.empty()) return kFixedDecoderUsage;
    QProcess mpcdec;
    mpcdec.setProcessChannelMode(QProcess::MergedChannels);
    mpcdec.start(QString::fromStdString(program), {});
    if (!mpcdec.waitForStarted(2000)) return kFixedDecoderUsage;
    mpcdec.closeWriteChannel();
    if (!mpcdec.waitForFinished(2000)) {
        mpcdec.kill();
        mpcdec.waitForFinished(1000);
        return {};
    }
    const std::string usage = QString::fromStdString(ProgramText(mpcdec.readAll().toStdString())).trimmed().toStdString();
    return usage.empty() ? kFixedDecoderUsage : usage;
}

}  // namespace trackmill::platform
