#include "cli/ConvertSettings.h"

#include "system/Platform.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace trackmill {

namespace fs = std::filesystem;

const char kConvertUsage[] =
    "Usage: trackmill-cli convert [options] PATH...\n"
    "\n"
    "Converts the Musepack files among PATH (folders are searched) to MP3, one after\n"
    "another, with mpcdec and lame, and carries their tags over.\n"
    "\n"
    "Options (default: the window's stored settings, else the designed values):\n"
    "  --decoder-options TEXT   options for mpcdec\n"
    "  --encoder-options TEXT   options for lame (designed: --alt-preset cbr 128)\n"
    "  --output-dir DIR         write the MP3 files into DIR (else beside the sources)\n"
    "  --no-id3v1               do not copy ID3v1 tags\n"
    "  --no-id3v2               do not copy ID3v2 tags\n"
    "  --no-ape                 do not convert APE tags\n"
    "  --ape-to id3v1|id3v2     the tag an APE tag becomes (designed: id3v2)\n"
    "  --help                   show this help\n"
    "\n"
    "Exit status: 0 all files converted, 1 a file failed, 2 usage error.\n";

namespace {

constexpr std::size_t kProfileValueLimit = 2047;
constexpr const char *kSection = "Default";

std::string Trim(const std::string &s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t b = 0, e = s.size();
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool EqualNoCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto la = static_cast<unsigned char>(a[i]), lb = static_cast<unsigned char>(b[i]);
        if (std::tolower(la) != std::tolower(lb)) return false;
    }
    return true;
}

// The window's enumeration read: a value name in any case, else unchanged.
void ReadBool(bool &target, const std::string &ini, const char *key)
{
    const auto v = ReadProfileString(ini, kSection, key);
    if (!v) return;
    if (EqualNoCase(*v, "True")) target = true;
    if (EqualNoCase(*v, "False")) target = false;
}

// Decimal, 0 when not a number.
int ToInt(const std::string &text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return 0;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        value = value * 10 + (text[i] - '0');
        if (value > 0x7FFFFFFF) return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

TJobSettings DesignedSettings()
{
    TJobSettings s;
    s.decoderOptions = platform::kDefaultDecoderOptions;
    s.encoderOptions = platform::kDefaultEncoderOptions;
    s.useOutputDir = false;
    s.outputDir = platform::DefaultOutputFolder();
    s.tags = {true, true, true, 1};
    s.shutdownAfterJob = false;  // never from a terminal
    return s;
}

std::optional<std::string> ReadProfileString(const std::string &iniPath, const std::string &section,
                                             const std::string &key)
{
    std::ifstream in(iniPath, std::ios::binary);
    if (!in) return std::nullopt;
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (!t.empty() && t.front() == '[') {
            const std::size_t close = t.find(']');
            inSection = close != std::string::npos && EqualNoCase(Trim(t.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection) continue;
        const std::size_t eq = t.find('=');
        if (eq == std::string::npos || !EqualNoCase(Trim(t.substr(0, eq)), key)) continue;
        std::string value = Trim(t.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (value.size() > kProfileValueLimit) value.resize(kProfileValueLimit);
        return value;
    }
    return std::nullopt;
}

void ApplyStoredSettings(TJobSettings &s, const std::string &ini)
{
    ReadBool(s.tags.convertApe, ini, "cbApetag_Checked");
    ReadBool(s.tags.copyID3v1, ini, "cbID3v1_Checked");
    ReadBool(s.tags.copyID3v2, ini, "cbID3v2_Checked");
    if (auto v = ReadProfileString(ini, kSection, "Edit1_Text")) s.decoderOptions = Trim(*v);
    if (auto v = ReadProfileString(ini, kSection, "Edit2_Text")) s.encoderOptions = Trim(*v);
    ReadBool(s.useOutputDir, ini, "cbOutputdir_Checked");
    if (auto v = ReadProfileString(ini, kSection, "DirectoryEdit1_Text")) s.outputDir = NormalizeFolderText(Trim(*v));
    if (auto v = ReadProfileString(ini, kSection, "ComboID3_Tag")) {
        const int tag = ToInt(Trim(*v));
        s.tags.apeTarget = (tag == 0 || tag == 1) ? tag : -1;
    }
}

std::optional<std::string> FindWindowIni(const std::string &cliProgramPath)
{
    std::error_code ec;
    const fs::path dir = fs::absolute(cliProgramPath, ec).parent_path();
    std::vector<fs::path> candidates{dir / "trackmill.ini", dir.parent_path() / "main" / "trackmill.ini"};
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    const char *home = std::getenv("HOME");
    if (xdg && *xdg)
        candidates.push_back(fs::path(xdg) / "trackmill" / "trackmill.ini");
    else if (home && *home)
        candidates.push_back(fs::path(home) / ".config" / "trackmill" / "trackmill.ini");
    for (const fs::path &p : candidates)
        if (fs::is_regular_file(p, ec)) return p.string();
    return std::nullopt;
}

std::string NormalizeFolderText(const std::string &folder)
{
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

bool ParseConvertOptions(const std::vector<std::string> &args, TConvertOptions &o, std::string *error)
{
    auto fail = [&](const std::string &message) {
        if (error) *error = message;
        return false;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            o.paths.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = a, value;
        bool hasValue = false;
        if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= args.size()) return false;
            value = args[++i];  // taken as it stands, even when it starts with "-"
            return true;
        };
        auto noValue = [&]() { return !hasValue; };
        if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--decoder-options") {
            if (!takeValue()) return fail("--decoder-options needs a value");
            o.settings.decoderOptions = value;
        } else if (name == "--encoder-options") {
            if (!takeValue()) return fail("--encoder-options needs a value");
            o.settings.encoderOptions = value;
        } else if (name == "--output-dir") {
            if (!takeValue() || value.empty()) return fail("--output-dir needs a folder");
            std::error_code ec;
            const fs::path abs = fs::absolute(value, ec);
            o.settings.useOutputDir = true;
            o.settings.outputDir = NormalizeFolderText(ec ? value : abs.string());
        } else if (name == "--no-id3v1" && noValue()) {
            o.settings.tags.copyID3v1 = false;
        } else if (name == "--no-id3v2" && noValue()) {
            o.settings.tags.copyID3v2 = false;
        } else if (name == "--no-ape" && noValue()) {
            o.settings.tags.convertApe = false;
        } else if (name == "--ape-to") {
            if (!takeValue()) return fail("--ape-to needs id3v1 or id3v2");
            if (EqualNoCase(value, "id3v1"))
                o.settings.tags.apeTarget = 0;
            else if (EqualNoCase(value, "id3v2"))
                o.settings.tags.apeTarget = 1;
            else
                return fail("--ape-to takes id3v1 or id3v2, not '" + value + "'");
        } else {
            return fail("unknown option '" + a + "'");
        }
    }
    if (!o.help && o.paths.empty()) return fail("no PATH given");
    return true;
}

}  // namespace trackmill
