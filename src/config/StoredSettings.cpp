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

bool SameChoiceName(std::string_view a, std::string_view b) { return SameNoCase(a, b); }

std::string_view WindowText(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
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
    s.convertApe = flag(kConvertApe.key);
    s.copyId3v1 = flag(kCopyId3v1.key);
    s.copyId3v2 = flag(kCopyId3v2.key);
    s.shutdown = flag(kShutdown.key);
    s.useOutputDir = flag(kUseOutputDir.key);
    s.decoderOptions = Read(ini, kDecoderOptions.key);
    s.encoderOptions = Read(ini, kEncoderOptions.key);
    s.outputDir = Read(ini, kOutputDir.key);
    if (const auto v = Read(ini, kApeTarget.key)) {
        const int tag = ParseStoredInteger(*v);
        s.apeTarget = EntryValue(kApeTarget, tag) ? tag : -1;
    }
    if (const auto v = Read(ini, kJobs.key)) s.jobs = ParseJobs(*v);
    if (const auto v = Read(ini, kExistingFiles.key)) s.existing = FromStoredName(kExistingFiles, Trimmed(*v));
    if (const auto v = Read(ini, kOutputLayout.key)) s.layout = FromStoredName(kOutputLayout, Trimmed(*v));
    if (!s.layout)
        if (const auto keep = flag(kKeepFolders.key)) s.layout = *keep ? TOutputLayout::Source : TOutputLayout::Flat;
    if (const auto v = Read(ini, kLibraryFolder.key)) s.libraryFolder = NormalLibraryFolder(*v);
    if (const auto v = Read(ini, kNamePattern.key); v && !Trimmed(*v).empty()) s.namePattern = v;
    s.copyFolderArt = flag(kCopyFolderArt.key);
    s.embedFolderArt = flag(kEmbedFolderArt.key);
    s.showConsole = flag(kShowConsole.key);
    if (const auto v = Read(ini, kConsolePos.key)) s.consolePos = ParseStoredRect(*v);
    if (const auto v = Read(ini, kOutputFormat.key)) s.format = FromStoredName(kOutputFormat, Trimmed(*v));
    s.opusOptions = Read(ini, kOpusOptions.key);
    return s;
}

void WriteStoredSettings(TIniFile &ini, const TSettingValues &v)
{
    const auto write = [&ini](const char *key, std::string_view value) { ini.WriteString(kSection, key, value); };
    const auto text = [&write](const char *key, const std::string &value) { write(key, ProtectQuotes(WindowText(value))); };
    write(kConvertApe.key, StoredBool(v.convertApe));
    write(kCopyId3v1.key, StoredBool(v.copyId3v1));
    write(kCopyId3v2.key, StoredBool(v.copyId3v2));
    text(kDecoderOptions.key, v.decoderOptions);
    text(kEncoderOptions.key, v.encoderOptions);
    write(kShutdown.key, StoredBool(v.shutdown));
    write(kUseOutputDir.key, StoredBool(v.useOutputDir));
    text(kOutputDir.key, v.outputDir);
    write(kApeTarget.key, std::to_string(v.apeTarget));

    // The added texts have always been stored as they are.
    write(kJobs.key, std::to_string(v.jobs));
    write(kExistingFiles.key, StoredName(kExistingFiles, v.existing));
    write(kKeepFolders.key, StoredBool(v.layout != TOutputLayout::Flat));
    write(kLibraryFolder.key, v.libraryFolder);
    write(kOutputLayout.key, StoredName(kOutputLayout, v.layout));
    write(kNamePattern.key, v.namePattern);
    write(kCopyFolderArt.key, StoredBool(v.copyFolderArt));
    write(kEmbedFolderArt.key, StoredBool(v.embedFolderArt));
    write(kShowConsole.key, StoredBool(v.showConsole));
    const auto &r = v.consolePos;
    write(kConsolePos.key, r ? std::to_string((*r)[0]) + "," + std::to_string((*r)[1]) + "," +
                                   std::to_string((*r)[2]) + "," + std::to_string((*r)[3])
                             : std::string());
    write(kOutputFormat.key, StoredName(kOutputFormat, v.format));
    text(kOpusOptions.key, v.opusOptions);
}

}  // namespace trackmill::config
