#include "system/JobPlatform.h"

#include "system/Platform.h"

#include <string_view>

namespace trackmill::platform {

TJobPlatform JobPlatform(const std::string &executableFolder, int pauseBetweenFilesMs)
{
    TJobPlatform p;
    p.commandTemplate = kCommandTemplate;
    p.scriptTemplate = kScriptTemplate;
    p.quotePath = [](const std::string &path) { return ShellQuote(path); };
    p.shell = kShell;
    p.encoder = {kEncoderProgram, kEncoderMissingMessage};
    p.decoder = {kDecoderProgram, kDecoderMissingMessage};
    p.findProgram = [executableFolder](const std::string &name) { return FindProgram(name, executableFolder); };
    p.pauseBetweenFilesMs = pauseBetweenFilesMs;
    p.judgeStatuses = JudgeShellStatuses;
    p.checkOptions = ShellWordsProblem;
    return p;
}

std::string ShellWordsProblem(const std::string &line)
{
    enum { Plain, Single, Double } quote = Plain;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\n' || c == '\r') return "a line break";
        if (quote == Single) {
            if (c == '\'') quote = Plain;
            continue;
        }
        if (c == '\\') {
            if (i + 1 < line.size() && (line[i + 1] == '\n' || line[i + 1] == '\r')) return "a line break";
            ++i;  // the next character is taken as it stands
            continue;
        }
        if (c == '`') return "a back quote";
        if (c == '$' && i + 1 < line.size() && line[i + 1] == '(') return "\"$(\"";
        if (quote == Double) {
            if (c == '"') quote = Plain;
            continue;
        }
        if (c == '\'') quote = Single;
        else if (c == '"') quote = Double;
        else if (std::string_view("#;|&<>").find(c) != std::string_view::npos)
            return std::string("\"") + c + "\" outside quotes";
    }
    if (quote != Plain) return "a quote that is not closed";
    return {};
}

namespace {

// The last line the shell printed about the script itself ("...sh: 1: Syntax error: ..."),
// or empty.
std::string ShellComplaint(const std::string &output, const std::string &scriptPrefix)
{
    std::string last;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(start, end - start);
        if (line.find(scriptPrefix) != std::string::npos) last = line;
        start = end + 1;
    }
    return last;
}

}  // namespace

TCommandsEnd JudgeShellStatuses(std::optional<int> decoderStatus, int encoderStatus, const std::string &outputTail)
{
    // A decoder ended by the encoder going away (SIGPIPE: 141) is the encoder's fault.
    constexpr int kBrokenPipe = 128 + 13;
    constexpr int kShellError = 2;
    // The decoder's status is missing only when its shell could not run it (or was killed);
    // a shell that could not start the encoder ends with 2 while the decoder lost its reader.
    if (!decoderStatus || (encoderStatus == kShellError && *decoderStatus == kBrokenPipe)) {
        // Out of processes is worth another try; a script the shell rejects fails the same
        // way every time, so it fails now, with what the shell said.
        std::string complaint = ShellComplaint(outputTail, ".sh: ");
        if (!complaint.empty() && complaint.find(": Cannot fork") == std::string::npos) {
            // "/run/.../1.sh: 1: Syntax error: ..." says what matters after the line number.
            complaint.erase(0, complaint.find(".sh: ") + 5);
            if (const std::size_t number = complaint.find_first_not_of("0123456789");
                number != std::string::npos && number > 0 && complaint.compare(number, 2, ": ") == 0)
                complaint.erase(0, number + 2);
            return {false, "the shell could not run the command: " + complaint};
        }
        return {true, "the system could not start the programs"};
    }
    if (*decoderStatus != 0 && *decoderStatus != kBrokenPipe)
        return {false, "the decoder stopped with exit status " + std::to_string(*decoderStatus)};
    if (encoderStatus != 0) return {false, "the encoder stopped with exit status " + std::to_string(encoderStatus)};
    if (*decoderStatus == kBrokenPipe) return {false, "the decoder stopped with exit status 141"};
    return {};
}

}  // namespace trackmill::platform
