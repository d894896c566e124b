#include "system/JobPlatform.h"

#include "system/Platform.h"
#include "os/Path.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace trackmill::platform {

namespace {

// The command as shown names the programs found (mpcdec.exe where the designed name is
// Mppdec.exe): the first word is the decoder's, the one after "| " the encoder's.
std::string NamingTheFound(std::string shown, const std::string &decoder, const std::string &encoder)
{
    auto rename = [&shown](std::size_t at, const std::string &path) {
        const std::size_t end = shown.find(' ', at);
        if (!path.empty() && end != std::string::npos) shown.replace(at, end - at, os::FileName(path));
    };
    if (const std::size_t pipe = shown.find("| "); pipe != std::string::npos) rename(pipe + 2, encoder);
    rename(0, decoder);
    return shown;
}

}  // namespace

TJobPlatform JobPlatform(const std::string &executableFolder, int pauseBetweenFilesMs)
{
    TJobPlatform p;
    p.commandTemplate = NamingTheFound(kCommandTemplate, FindDecoder(executableFolder),
                                       FindProgram(kEncoderProgram, executableFolder));
    p.scriptTemplate = kScriptTemplate;
    p.quotePath = [](const std::string &path) { return ShellQuote(path); };
#ifdef _WIN32
    p.shell = os::Join(executableFolder, kShell);
    p.checkOptions = WindowsWordsProblem;
#else
    p.shell = kShell;
    p.checkOptions = ShellWordsProblem;
#endif
    p.encoder = {kEncoderProgram, kEncoderMissingMessage};
    p.opusEncoder = {kOpusEncoderProgram, kOpusEncoderMissingMessage};
    p.opusCommandTemplate = NamingTheFound(kOpusCommandTemplate, FindDecoder(executableFolder),
                                           FindProgram(kOpusEncoderProgram, executableFolder));
    p.decoder = {kDecoderProgram, kDecoderMissingMessage};
    p.findProgram = [executableFolder](const std::string &name) {
        return name == kDecoderProgram ? FindDecoder(executableFolder) : FindProgram(name, executableFolder);
    };
    p.programText = ProgramText;
    p.pauseBetweenFilesMs = pauseBetweenFilesMs;
    p.judgeStatuses = JudgeShellStatuses;
    p.judgeCheck = JudgeOptionsCheck;
    return p;
}

std::string WindowsWordsProblem(const std::string &line)
{
    // Nothing reads the line but the program itself; a line break would start another
    // line of the pipe helper's, and a quote left open would swallow the paths after it.
    if (line.find_first_of("\r\n") != std::string::npos) return "a line break";
    std::size_t backslashes = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && backslashes % 2 == 0) {
            // Windows versions read "" inside quotes differently: as a quote character, or
            // as the end of the quotes, which would join the paths that follow into one word.
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') return "\"\" inside quotes";
            quoted = !quoted;
        }
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    if (quoted) return "a quote that is not closed";
    return {};
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

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string Lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

// A line in which a program says something went wrong, as opposed to its banner, its
// settings or its figures.
bool IsComplaint(const std::string &line)
{
    const std::string text = Lower(line);
    for (const char *word : {"error", "fail", "cannot", "can't", "unable", "invalid", "illegal", "unrecognized",
                             "unknown", "unsupported", "missing", "excess", "must ", "not "})
        if (text.find(word) != std::string::npos) return true;
    return false;
}

// Whether the line starts with the program's own name ("lame: ", "/usr/bin/lame: "), as
// programs name themselves by the path they were run by.
bool NamesItself(const std::string &line, const std::string &program)
{
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos) return false;
    const std::string name = line.substr(0, colon);
    const std::size_t slash = name.find_last_of('/');
    return (slash == std::string::npos ? name : name.substr(slash + 1)) == program;
}

// The line as the program's words, without its name.
std::string Quoted(const std::string &program, std::string line)
{
    if (NamesItself(line, program)) line.erase(0, line.find(": ") + 2);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    line.erase(0, first);
    // A reason is one line a person reads; a runaway line is cut at a character's start.
    constexpr std::size_t kLongest = 240;
    if (line.size() > kLongest) {
        std::size_t cut = kLongest;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        line = line.substr(0, cut) + "...";
    }
    return line;
}

std::string LastComplaint(const std::vector<std::string> &lines, const std::string &program)
{
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (IsComplaint(*line))
            if (std::string said = Quoted(program, *line); !said.empty()) return program + ": " + said;
    return {};
}

// The encoder's lines: what both printed, less the decoder's own (each once).
std::vector<std::string> EncoderLines(const std::string &tail, const std::string &decoderErrors)
{
    std::vector<std::string> lines = Lines(tail);
    for (const std::string &line : Lines(decoderErrors))
        if (const auto found = std::find(lines.begin(), lines.end(), line); found != lines.end()) lines.erase(found);
    return lines;
}

TCommandsEnd Failed(std::string why, bool decoderFailed = false, std::string said = {})
{
    TCommandsEnd end;
    end.failure = std::move(why);
    end.decoderFailed = decoderFailed;
    end.said = std::move(said);
    return end;
}

}  // namespace

TCommandsEnd JudgeShellStatuses(const TCommandsOutput &commands)
{
    const std::optional<int> &decoderStatus = commands.decoderStatus;
    const int encoderStatus = commands.encoderStatus;
    // A decoder ended by the encoder going away (SIGPIPE: 141) is the encoder's fault.
    constexpr int kBrokenPipe = 128 + 13;
    constexpr int kShellError = 2;
    // The decoder's status is missing only when its shell could not run it (or was killed);
    // a shell that could not start the encoder ends with 2 while the decoder lost its reader.
    if (!decoderStatus || (encoderStatus == kShellError && *decoderStatus == kBrokenPipe)) {
        // Out of processes is worth another try; a script the shell rejects fails the same
        // way every time, so it fails now, with what the shell said.
        std::string complaint = ShellComplaint(commands.tail, ".sh: ");
        if (!complaint.empty() && complaint.find(": Cannot fork") == std::string::npos) {
            // "/run/.../1.sh: 1: Syntax error: ..." says what matters after the line number.
            complaint.erase(0, complaint.find(".sh: ") + 5);
            if (const std::size_t number = complaint.find_first_not_of("0123456789");
                number != std::string::npos && number > 0 && complaint.compare(number, 2, ": ") == 0)
                complaint.erase(0, number + 2);
            return Failed("the shell could not run the command: " + complaint);
        }
        // The pipe helper that stands in for the shell on Windows says why it ran nothing.
        if (std::string helper = ShellComplaint(commands.tail, "trackmill-pipe: "); !helper.empty()) {
            std::string said = helper.substr(helper.find(": ") + 2);
            if (said.rfind("cannot open the source", 0) == 0) return Failed(said);
            return Failed("the pipe helper could not run the command: " + said);
        }
        TCommandsEnd retry = Failed("the system could not start the programs");
        retry.tryAgain = true;
        return retry;
    }
    if (*decoderStatus != 0 && *decoderStatus != kBrokenPipe)
        return Failed("the decoder stopped with exit status " + std::to_string(*decoderStatus), true,
                      LastComplaint(Lines(ProgramText(commands.decoderErrors)), kDecoderProgram));
    if (encoderStatus != 0) {
        const std::string encoder = commands.encoderProgram.empty() ? kEncoderProgram : commands.encoderProgram;
        const std::vector<std::string> lines = EncoderLines(commands.tail, commands.decoderErrors);
        // An encoder that quits before writing anything, naming an option or an argument,
        // was given options it does not take: the first such line says which.
        if (!commands.encoded)
            for (const std::string &line : lines) {
                const std::string text = Lower(line);
                const bool aboutOptions = text.find("option") != std::string::npos ||
                                          text.find("argument") != std::string::npos ||
                                          NamesItself(line, encoder);
                if (aboutOptions && IsComplaint(line))
                    if (std::string said = Quoted(encoder, line); !said.empty())
                        return Failed(encoder + " did not accept the encoder options: " + said);
            }
        return Failed("the encoder stopped with exit status " + std::to_string(encoderStatus), false,
                      LastComplaint(lines, encoder));
    }
    if (*decoderStatus == kBrokenPipe) return Failed("the decoder stopped with exit status 141");
    return {};
}

TCommandsEnd JudgeOptionsCheck(const TCommandsOutput &commands)
{
    TCommandsEnd end = JudgeShellStatuses(commands);
    if (end.tryAgain) return end;
    // mpcdec names an option it does not know and decodes on as if it had not been given;
    // on the check's silence that complaint is what the person who typed it needs to read.
    // A decoder that printed its usage instead was not called the way it is used.
    for (const std::string &line : Lines(ProgramText(commands.decoderErrors))) {
        const std::string text = Lower(line);
        if ((text.find("option") != std::string::npos && IsComplaint(line)) || text.rfind("usage:", 0) == 0)
            if (std::string said = Quoted(kDecoderProgram, line); !said.empty())
                return Failed(std::string(kDecoderProgram) + " did not accept the decoder options: " + said);
    }
    return end;
}

}  // namespace trackmill::platform
