#include "engine/Command.h"

#include <string_view>
#include <vector>

namespace trackmill {

namespace {

struct Segment {
    std::string text;
    bool path = false;  // a quoted path: never searched, never collapsed
};

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
    // One pass over the template alone: what is inserted is never searched, so an option
    // line holding "%OUTFILE" stays text. Each placeholder is filled where it first
    // occurs; the longest one wins where one begins another ("%DECODERLOG").
    std::vector<Segment> line{{}};
    std::vector<bool> used(inserts.size(), false);
    for (std::size_t pos = 0; pos < commandTemplate.size();) {
        std::size_t best = inserts.size(), bestLength = 0;
        for (std::size_t i = 0; i < inserts.size(); ++i) {
            const std::string_view placeholder = inserts[i].placeholder;
            if (!used[i] && placeholder.size() > bestLength &&
                commandTemplate.compare(pos, placeholder.size(), placeholder) == 0) {
                best = i;
                bestLength = placeholder.size();
            }
        }
        if (best == inserts.size()) {
            line.back().text += commandTemplate[pos++];
            continue;
        }
        used[best] = true;
        const TTemplateInsert &insert = inserts[best];
        line.push_back({insert.path ? quote(insert.text) : insert.text, insert.path});
        line.push_back({});
        pos += bestLength;
    }

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
