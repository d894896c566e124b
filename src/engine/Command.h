// The per-file command: placeholders filled into the template, each path quoted by the
// platform's rules.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace trackmill {

// Quotes one path for the shell that runs the script (supplied by the platform layer).
using PathQuoter = std::function<std::string(const std::string &path)>;

inline constexpr const char *kPlaceholderDecoderOptions = "%OPTIONSDEC";
inline constexpr const char *kPlaceholderInFile = "%INFILE";
inline constexpr const char *kPlaceholderEncoderOptions = "%OPTIONSENC";
inline constexpr const char *kPlaceholderOutFile = "%OUTFILE";

// Replaces the first occurrence of each placeholder (decoder options, source, encoder
// options, output) in the template, in one pass: nothing inserted is searched for
// placeholders. Then collapses every "  " to " " in one pass. Inserted paths are quoted
// and opaque: their spaces are never collapsed, so every byte of a path reaches the
// programs unchanged.
std::string BuildCommand(const std::string &commandTemplate, const std::string &decoderOptions,
                         const std::string &sourcePath, const std::string &encoderOptions,
                         const std::string &outputPath, const PathQuoter &quote);

// The same for any list of placeholders; a path insert is quoted and opaque as above,
// any other is taken as it stands.
struct TTemplateInsert {
    const char *placeholder;
    std::string text;
    bool path = false;
};
std::string FillTemplate(const std::string &commandTemplate, const std::vector<TTemplateInsert> &inserts,
                         const PathQuoter &quote);

}  // namespace trackmill
