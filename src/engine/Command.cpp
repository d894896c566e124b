#include "engine/Command.h"

#include <vector>

namespace trackmill {

namespace {

struct Segment {
    std::string text;
    bool path = false;  // a quoted path: never searched, never collapsed
};

// First-occurrence replacement over the literal segments only.
void ReplaceFirst(std::vector<Segment> &line, const std::string &placeholder, Segment insert)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i].path) continue;
        const std::size_t at = line[i].text.find(placeholder);
        if (at == std::string::npos) continue;
        Segment before{line[i].text.substr(0, at), false};
        Segment after{line[i].text.substr(at + placeholder.size()), false};
        line.erase(line.begin() + static_cast<std::ptrdiff_t>(i));
        line.insert(line.begin() + static_cast<std::ptrdiff_t>(i),
                    {std::move(before), std::move(insert), std::move(after)});
        return;
    }
}

}  // namespace

std::string BuildCommand(const std::string &commandTemplate, const std::string &decoderOptions,
                         const std::string &sourcePath, const std::string &encoderOptions,
                         const std::string &outputPath, const PathQuoter &quote)
{
    return FillTemplate(commandTemplate,
                        {{kPlaceholderDecoderOptions, decoderOptions, false},
                         {kPlaceholderInFile, sourcePath, true},
                         {kPlaceholderEncoderOptions, encoderOptions, false},
                         {kPlaceholderOutFile, outputPath, true}},
                        quote);
}

std::string FillTemplate(const std::string &commandTemplate, const std::vector<TTemplateInsert> &inserts,
                         const PathQuoter &quote)
{
    std::vector<Segment> line{{commandTemplate, false}};
    for (const TTemplateInsert &insert : inserts)
        ReplaceFirst(line, insert.placeholder, {insert.path ? quote(insert.text) : insert.text, insert.path});

    // One left-to-right pass over the text between the paths, as if the paths were not
    // there: a run of spaces split by an empty segment still counts as one run.
    std::string out;
    bool pendingSpace = false;  // the last literal character written was an unpaired space
    for (const Segment &s : line) {
        if (s.path) {
            out += s.text;
            pendingSpace = false;
            continue;
        }
        for (char c : s.text) {
            if (c == ' ' && pendingSpace) {
                pendingSpace = false;  // "  " -> " ": the second space is dropped
                continue;
            }
            pendingSpace = c == ' ';
            out += c;
        }
    }
    return out;
}

}  // namespace trackmill
