// Every setting the window stores, named once for both front ends: its key in section
// "Default", its values as the file stores them and as trackmill-cli's options spell them,
// and its default. The window's placement writes the first eight keys of the section; the
// nine control values below follow them (these seventeen were designed and never move or
// change), then the keys added since, in the order given here. Switches are stored as
// "True" or "False".
#pragma once

#include "engine/OutputPlan.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace trackmill::config {

inline constexpr const char *kSection = "Default";

// More at once than this helps no machine and could exhaust the system's processes.
inline constexpr int kMaxJobs = 64;
// The number of processor cores (at least 1, at most kMaxJobs).
int DefaultJobs();

// A default the platform layer fixes (system/Platform.h): the programs' options, the folders.
struct TPlatformDefault {};

template <class T>
struct TSetting {
    const char *key;
    T defaultValue;
};

// One value of a setting with a fixed set of them: as the file stores it (nullptr where the
// file stores a number) and as trackmill-cli's option takes it (nullptr where it has none).
template <class T>
struct TChoice {
    T value;
    const char *stored;
    const char *option;
};

// A window's combo box lists a setting's values in the order given here: an entry's index
// is its value's place in `choices`.
template <class T, std::size_t N>
struct TChoiceSetting {
    const char *key;
    T defaultValue;
    std::array<TChoice<T>, N> choices;
};

// --- The designed control values, in their stored order ---
inline constexpr TSetting<bool> kConvertApe{"cbApetag_Checked", true};
inline constexpr TSetting<bool> kCopyId3v1{"cbID3v1_Checked", true};
inline constexpr TSetting<bool> kCopyId3v2{"cbID3v2_Checked", true};
inline constexpr TSetting<TPlatformDefault> kDecoderOptions{"Edit1_Text", {}};
inline constexpr TSetting<TPlatformDefault> kEncoderOptions{"Edit2_Text", {}};
inline constexpr TSetting<bool> kShutdown{"cbShutdown_Checked", false};
inline constexpr TSetting<bool> kUseOutputDir{"cbOutputdir_Checked", false};
inline constexpr TSetting<TPlatformDefault> kOutputDir{"DirectoryEdit1_Text", {}};
// Stored as the entry's index of ComboID3 ("ID3V1.1", "ID3V2.3"); a number that names no
// entry is no choice (-1). ID3v2.3 by default: ID3v1 would cut an APE tag's fields to 30
// Latin-1 characters.
inline constexpr TChoiceSetting<int, 2> kApeTarget{"ComboID3_Tag", 1, {{{0, nullptr, "id3v1"}, {1, nullptr, "id3v2"}}}};

// --- Added after the designed keys ---
// A whole number from 1 to kMaxJobs.
inline constexpr TSetting<int (*)()> kJobs{"Jobs", DefaultJobs};
inline constexpr TChoiceSetting<TExistingPolicy, 4> kExistingFiles{
    "ExistingFiles",
    TExistingPolicy::Skip,
    {{{TExistingPolicy::Skip, "Skip", "skip"},
      {TExistingPolicy::Overwrite, "Overwrite", "overwrite"},
      {TExistingPolicy::KeepBoth, "KeepBoth", "keep-both"},
      {TExistingPolicy::UpdateTags, "UpdateTags", "update-tags"}}}};
// What older versions read instead of OutputLayout: True for any layout but Flat.
inline constexpr TSetting<bool> kKeepFolders{"KeepFolders", true};
// Empty: no library folder.
inline constexpr TSetting<TPlatformDefault> kLibraryFolder{"LibraryFolder", {}};
inline constexpr TChoiceSetting<TOutputLayout, 3> kOutputLayout{"OutputLayout",
                                                                TOutputLayout::Source,
                                                                {{{TOutputLayout::Source, "Source", "source"},
                                                                  {TOutputLayout::Tags, "Tags", "tags"},
                                                                  {TOutputLayout::Flat, "Flat", "flat"}}}};
// An empty pattern is the default one.
inline constexpr TSetting<const char *> kNamePattern{"NamePattern", kDefaultNamePattern};
inline constexpr TSetting<bool> kCopyFolderArt{"CopyFolderArt", true};
inline constexpr TSetting<bool> kEmbedFolderArt{"EmbedFolderArt", true};
inline constexpr TSetting<bool> kShowConsole{"ShowConsole", true};
// Where the user put the console window, "left,top,width,height"; empty: beside the window.
inline constexpr TSetting<std::nullopt_t> kConsolePos{"ConsolePos", std::nullopt};
inline constexpr TChoiceSetting<TOutputFormat, 2> kOutputFormat{
    "OutputFormat", TOutputFormat::Mp3, {{{TOutputFormat::Mp3, "MP3", "mp3"}, {TOutputFormat::Opus, "Opus", "opus"}}}};
// The Opus encoder's option line; the MP3 encoder's stays the designed one.
inline constexpr TSetting<TPlatformDefault> kOpusOptions{"OpusOptions", {}};

// ASCII letters compared without regard to case.
bool SameChoiceName(std::string_view a, std::string_view b);

// A value's spelling (as stored, or as the option takes it), and the value a spelling names
// in any letter case; a value outside the choices is spelled as the first one.
template <class T, std::size_t N>
const char *Spelling(const TChoiceSetting<T, N> &setting, T value, const char *TChoice<T>::*spelling)
{
    for (const TChoice<T> &c : setting.choices)
        if (c.value == value) return c.*spelling;
    return setting.choices.front().*spelling;
}
template <class T, std::size_t N>
std::optional<T> Spelled(const TChoiceSetting<T, N> &setting, std::string_view text, const char *TChoice<T>::*spelling)
{
    for (const TChoice<T> &c : setting.choices)
        if (c.*spelling && SameChoiceName(text, c.*spelling)) return c.value;
    return std::nullopt;
}

template <class T, std::size_t N>
const char *StoredName(const TChoiceSetting<T, N> &s, T value) { return Spelling(s, value, &TChoice<T>::stored); }
template <class T, std::size_t N>
std::optional<T> FromStoredName(const TChoiceSetting<T, N> &s, std::string_view text)
{
    return Spelled(s, text, &TChoice<T>::stored);
}
template <class T, std::size_t N>
const char *OptionName(const TChoiceSetting<T, N> &s, T value) { return Spelling(s, value, &TChoice<T>::option); }
template <class T, std::size_t N>
std::optional<T> FromOptionName(const TChoiceSetting<T, N> &s, std::string_view text)
{
    return Spelled(s, text, &TChoice<T>::option);
}

// The combo box entry of a value, and the value of an entry.
template <class T, std::size_t N>
int EntryIndex(const TChoiceSetting<T, N> &setting, T value)
{
    for (std::size_t i = 0; i < N; ++i)
        if (setting.choices[i].value == value) return int(i);
    return -1;
}
template <class T, std::size_t N>
std::optional<T> EntryValue(const TChoiceSetting<T, N> &setting, int index)
{
    if (index < 0 || std::size_t(index) >= N) return std::nullopt;
    return setting.choices[std::size_t(index)].value;
}

}  // namespace trackmill::config
