#include "config/StoredSettings.h"

#include "os/Conventions.h"

#include <QDir>

#include <charconv>
#include <thread>

namespace trackmill::config {

namespace {

bool SameNoCase(std::string_view a, std::string_view b) { return SameProfileName(a, b); }
std::string_view Trimmed(std::string_view s) { return Trim(s); }

std::optional<std::string> Read(const TIniFile &ini, const char *key)
{
    // A sentinel no stored value can hold (values never contain line breaks).
    static const std::string missing = "\n";
    std::string value = ini.ReadString(kSection, key, missing);
    if (value == missing) return std::nullopt;
    return value;
}

}  // namespace

const char *StoredExistingName(TExistingPolicy value)
{
    switch (value) {
    case TExistingPolicy::Skip: return "Skip";
    case TExistingPolicy::Overwrite: return "Overwrite";
    case TExistingPolicy::KeepBoth: return "KeepBoth";
    }
    return "Skip";
}

std::optional<TExistingPolicy> ParseStoredExisting(std::string_view text)
{
    text = Trimmed(text);
    for (TExistingPolicy v : {TExistingPolicy::Skip, TExistingPolicy::Overwrite, TExistingPolicy::KeepBoth})
        if (SameNoCase(text, StoredExistingName(v))) return v;
    return std::nullopt;
}

const char *StoredLayoutName(TOutputLayout value)
{
    switch (value) {
    case TOutputLayout::Source: return "Source";
    case TOutputLayout::Tags: return "Tags";
    case TOutputLayout::Flat: return "Flat";
    }
    return "Source";
}

std::optional<TOutputLayout> ParseStoredLayout(std::string_view text)
{
    text = Trimmed(text);
    for (TOutputLayout v : {TOutputLayout::Source, TOutputLayout::Tags, TOutputLayout::Flat})
        if (SameNoCase(text, StoredLayoutName(v))) return v;
    return std::nullopt;
}

int DefaultJobs()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores > unsigned(kMaxJobs) ? kMaxJobs : int(cores);
}

std::optional<int> ParseJobs(std::string_view text)
{
    text = Trimmed(text);
    if (text.empty() || text.size() > 18) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value > kMaxJobs ? kMaxJobs : int(value);
}

const char *StoredBool(bool value) { return value ? "True" : "False"; }

std::optional<bool> ParseStoredBool(std::string_view text)
{
    if (SameNoCase(text, "True")) return true;
    if (SameNoCase(text, "False")) return false;
    return std::nullopt;
}

std::optional<std::array<int, 4>> ParseStoredRect(std::string_view text)
{
    std::array<int, 4> r{};
    for (std::size_t i = 0; i < r.size(); ++i) {
        const std::size_t comma = text.find(',');
        if ((comma == std::string_view::npos) != (i + 1 == r.size())) return std::nullopt;
        const std::string_view part = text.substr(0, comma);
        const int value = ParseStoredInteger(part);
        // The number rule reads anything unreadable as 0: only a real "0" is one.
        if (value == 0 && Trimmed(part) != "0") return std::nullopt;
        r[i] = value;
        if (comma != std::string_view::npos) text.remove_prefix(comma + 1);
    }
    // Far beyond any screen, or edges past what a rectangle can hold: no place.
    constexpr int kFar = 1 << 20;
    for (int v : r)
        if (v < -kFar || v > kFar) return std::nullopt;
    if (r[2] <= 0 || r[3] <= 0) return std::nullopt;
    return r;
}

int ParseStoredInteger(std::string_view text)
{
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

std::string NormalLibraryFolder(const std::string &folder)
{
    if (folder.empty()) return folder;
    std::string typed = folder;
    if (typed == "~" || typed.starts_with("~/") || typed.starts_with("~\\"))
        typed = QDir::homePath().toStdString() + typed.substr(1);
    return os::AbsolutePath(typed);
}

TStoredSettings ReadStoredSettings(const TIniFile &ini)
{
    TStoredSettings s;
    auto flag = [&](const char *key) -> std::optional<bool> {
        const auto v = Read(ini, key);
        return v ? ParseStoredBool(*v) : std::nullopt;
    };
    s.convertApe = flag(kKeyConvertApe);
    s.copyId3v1 = flag(kKeyCopyId3v1);
    s.copyId3v2 = flag(kKeyCopyId3v2);
    s.shutdown = flag(kKeyShutdown);
    s.useOutputDir = flag(kKeyUseOutputDir);
    s.decoderOptions = Read(ini, kKeyDecoderOptions);
    s.encoderOptions = Read(ini, kKeyEncoderOptions);
    s.outputDir = Read(ini, kKeyOutputDir);
    if (const auto v = Read(ini, kKeyApeTarget)) {
        const int tag = ParseStoredInteger(*v);
        s.apeTarget = tag == 0 || tag == 1 ? tag : -1;
    }
    if (const auto v = Read(ini, kKeyJobs)) s.jobs = ParseJobs(*v);
    if (const auto v = Read(ini, kKeyExistingFiles)) s.existing = ParseStoredExisting(*v);
    if (const auto v = Read(ini, kKeyOutputLayout)) s.layout = ParseStoredLayout(*v);
    if (!s.layout)
        if (const auto keep = flag(kKeyKeepFolders)) s.layout = *keep ? TOutputLayout::Source : TOutputLayout::Flat;
    if (const auto v = Read(ini, kKeyLibraryFolder)) s.libraryFolder = NormalLibraryFolder(*v);
    if (const auto v = Read(ini, kKeyNamePattern); v && !Trimmed(*v).empty()) s.namePattern = v;
    s.copyFolderArt = flag(kKeyCopyFolderArt);
    s.embedFolderArt = flag(kKeyEmbedFolderArt);
    s.showConsole = flag(kKeyShowConsole);
    if (const auto v = Read(ini, kKeyConsolePos)) s.consolePos = ParseStoredRect(*v);
    return s;
}

void WriteAddedSettings(TIniFile &ini, const TAddedSettings &s)
{
    ini.WriteInteger(kSection, kKeyJobs, s.jobs);
    ini.WriteString(kSection, kKeyExistingFiles, StoredExistingName(s.existing));
    ini.WriteString(kSection, kKeyKeepFolders, StoredBool(s.layout != TOutputLayout::Flat));
    ini.WriteString(kSection, kKeyLibraryFolder, s.libraryFolder);
    ini.WriteString(kSection, kKeyOutputLayout, StoredLayoutName(s.layout));
    ini.WriteString(kSection, kKeyNamePattern, s.namePattern);
    ini.WriteString(kSection, kKeyCopyFolderArt, StoredBool(s.copyFolderArt));
    ini.WriteString(kSection, kKeyEmbedFolderArt, StoredBool(s.embedFolderArt));
    ini.WriteString(kSection, kKeyShowConsole, StoredBool(s.showConsole));
    const auto &r = s.consolePos;
    ini.WriteString(kSection, kKeyConsolePos,
                    r ? std::to_string((*r)[0]) + "," + std::to_string((*r)[1]) + "," + std::to_string((*r)[2]) + "," +
                            std::to_string((*r)[3])
                      : std::string());
}

}  // namespace trackmill::config
