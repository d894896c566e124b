#include "cli/Usage.h"

#include "cli/Tr.h"

#include "formats/TextUtil.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace trackmill {

namespace {

std::size_t EditDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string ClosestWord(std::string_view typed, const std::vector<std::string_view> &known)
{
    // Short words are a letter or two from everything: no guess would mean much.
    const std::size_t letters = typed.size() - std::min(typed.find_first_not_of('-'), typed.size());
    if (letters < 3) return {};
    std::string_view best;
    std::size_t bestDistance = 3, ties = 0, prefixes = 0;
    std::string_view prefixOf;
    for (const std::string_view word : known) {
        const std::size_t d = EditDistance(typed, word);
        if (d < bestDistance) {
            best = word;
            bestDistance = d;
            ties = 1;
        } else if (d == bestDistance && !best.empty()) {
            ++ties;
        }
        if (word.starts_with(typed)) {
            prefixOf = word;
            ++prefixes;
        }
    }
    if (ties == 1) return std::string(best);
    if (ties == 0 && prefixes == 1) return std::string(prefixOf);
    return {};
}

int UsageError(const std::string &who, const std::string &message, const std::string &guess, const std::string &help)
{
    std::fprintf(stderr, "%s: %s\n", who.c_str(), EscapeControls(message).c_str());
    if (!guess.empty()) std::fputs(Formatted(Cli::Tr("Did you mean %s?\n"), guess.c_str()).c_str(), stderr);
    std::fputs(Formatted(Cli::Tr("See %s.\n"), help.c_str()).c_str(), stderr);
    return 2;
}

}  // namespace trackmill
