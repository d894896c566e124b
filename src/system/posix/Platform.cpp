// The POSIX side of the platform's names: /bin/sh quoting and words, PATH lookup.
#include "system/Platform.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace trackmill::platform {

namespace fs = std::filesystem;

std::string DefaultOutputFolder()
{
    const char *home = std::getenv("HOME");
    std::string folder = (home && *home) ? home : "/";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string ShellQuote(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            ++i;
            continue;
        }
        inWord = true;
        if (c == '\'') {
            std::size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            word.append(line.substr(i + 1, close - i - 1));
            i = close + 1;
        } else if (c == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                char d = line[i];
                if (d == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (d == '\\' && i + 1 < n &&
                    (line[i + 1] == '\\' || line[i + 1] == '"' || line[i + 1] == '$' ||
                     line[i + 1] == '`' || line[i + 1] == '\n')) {
                    if (line[i + 1] != '\n') word += line[i + 1];
                    i += 2;
                    continue;
                }
                word += d;
                ++i;
            }
            if (!closed) return std::nullopt;
        } else if (c == '\\') {
            if (i + 1 >= n) return std::nullopt;
            if (line[i + 1] != '\n') word += line[i + 1];
            i += 2;
        } else {
            word += c;
            ++i;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

namespace {

bool IsExecutableFile(const fs::path &file)
{
    std::error_code ec;
    return fs::is_regular_file(file, ec) && ::access(file.c_str(), X_OK) == 0;
}

fs::path WorkingFolder(const std::string &workingDir)
{
    std::error_code ec;
    if (workingDir.empty()) return fs::current_path(ec);
    return fs::absolute(fs::path(workingDir), ec);
}

}  // namespace

std::string FindOnPath(const std::string &name)
{
    if (name.empty() || name.find('/') != std::string::npos) return {};
    const char *path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        if (!dir.empty() && dir.front() == '/') {
            const fs::path candidate = fs::path(std::string(dir)) / name;
            if (IsExecutableFile(candidate)) return candidate.string();
        }
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return {};
}

std::string FindProgram(const std::string &name, const std::string &besideFolder)
{
    if (name.empty() || name.find('/') != std::string::npos) return {};
    if (!besideFolder.empty() && besideFolder.front() == '/') {
        const fs::path candidate = fs::path(besideFolder) / name;
        if (IsExecutableFile(candidate)) return candidate.string();
    }
    return FindOnPath(name);
}

std::string FindCommand(const std::string &name, const std::string &workingDir)
{
    if (name.find('/') == std::string::npos) return FindOnPath(name);
    const fs::path candidate = fs::path(name).is_absolute() ? fs::path(name) : WorkingFolder(workingDir) / name;
    return IsExecutableFile(candidate) ? candidate.string() : std::string();
}

}  // namespace trackmill::platform

namespace trackmill::platform {

std::string ProgramText(const std::string &printed) { return printed; }

}  // namespace trackmill::platform
