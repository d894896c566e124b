// The Windows side of the platform's names: command lines as CommandLineToArgvW reads
// them, and the programs beside ours or on PATH, never from the working folder.
#include "system/Platform.h"

#include "formats/TextCodec.h"
#include "os/Files.h"
#include "os/Path.h"
#include "os/windows/Wide.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace trackmill::platform {

std::string DefaultOutputFolder() { return "C:\\"; }

std::string ShellQuote(const std::string &text)
{
    // Backslashes are plain unless a quote follows them: then each one is doubled, and
    // so are those before the closing quote.
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(backslashes, '\\');
            out += c;
        }
        backslashes = 0;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
            continue;
        }
        inWord = true;
        if (c == '\\') {
            std::size_t n = 0;
            while (i < line.size() && line[i] == '\\') ++n, ++i;
            if (i < line.size() && line[i] == '"') {
                word.append(n / 2, '\\');
                if (n % 2 == 1) {
                    word += '"';
                    ++i;
                }
            } else {
                word.append(n, '\\');
            }
            continue;
        }
        if (c == '"') {
            // Inside quotes, "" is one quote character and the quotes go on.
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                word += '"';
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        word += c;
        ++i;
    }
    if (quoted) return std::nullopt;
    if (inWord) words.push_back(std::move(word));
    return words;
}

namespace {

bool IsAbsolute(std::string_view path)
{
    return (path.size() >= 3 && path[1] == ':' && os::IsSeparator(path[2])) ||
           (path.size() >= 2 && os::IsSeparator(path[0]) && os::IsSeparator(path[1]));
}

bool IsProgramFile(const std::string &path) { return os::Stat(path).kind == os::TKind::File; }

bool HasFolder(std::string_view name) { return name.find_first_of("/\\:") != std::string_view::npos; }

}  // namespace

std::string FindOnPath(const std::string &name)
{
    if (name.empty() || HasFolder(name)) return {};
    std::string_view rest;
    const std::string path = os::Environment(L"PATH");
    rest = path;
    while (!rest.empty()) {
        const std::size_t semicolon = rest.find(';');
        std::string dir(rest.substr(0, semicolon));
        if (dir.size() >= 2 && dir.front() == '"' && dir.back() == '"') dir = dir.substr(1, dir.size() - 2);
        if (IsAbsolute(dir)) {
            const std::string candidate = os::Join(os::Portable(dir), name);
            if (IsProgramFile(candidate)) return candidate;
        }
        if (semicolon == std::string_view::npos) break;
        rest.remove_prefix(semicolon + 1);
    }
    return {};
}

std::string FindProgram(const std::string &name, const std::string &besideFolder)
{
    if (name.empty() || HasFolder(name)) return {};
    if (IsAbsolute(besideFolder)) {
        const std::string candidate = os::Join(besideFolder, name);
        if (IsProgramFile(candidate)) return candidate;
    }
    return FindOnPath(name);
}

std::string FindCommand(const std::string &name, const std::string &workingDir)
{
    if (!HasFolder(name)) return FindOnPath(name);
    if (IsAbsolute(name)) return IsProgramFile(name) ? os::Portable(name) : std::string();
    std::string folder = workingDir;
    if (folder.empty()) {
        wchar_t buffer[32768];
        const unsigned long n = ::GetCurrentDirectoryW(32768, buffer);
        folder = os::Portable(os::Narrow(buffer, n));
    }
    const std::string candidate = os::Join(folder, name);
    return IsProgramFile(candidate) ? candidate : std::string();
}

}  // namespace trackmill::platform

namespace trackmill::platform {

std::string ProgramText(const std::string &printed)
{
    if (printed.empty() || ValidUtf8Prefix(printed) == printed.size()) return printed;
    const int length = static_cast<int>(std::min<std::size_t>(printed.size(), INT_MAX));
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, printed.data(), length, nullptr, 0);
    if (wide <= 0) return SanitizeUtf8(printed);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, printed.data(), length, text.data(), wide);
    return os::Narrow(text);
}

}  // namespace trackmill::platform
