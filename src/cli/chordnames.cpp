#include "chordnames.h"

#include <algorithm>

#include "chordformulas.h"
#include "notetables.h"

namespace chordmoss {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

std::string folded(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    std::string out;
    for (char c : text)
        out.push_back(lower(c));
    return out;
}

int editDistance(const std::string& a, const std::string& b)
{
    std::vector<int> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = int(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

/// The names at the smallest distance (a prefix match counts as close), at most five.
std::vector<std::string> closest(std::string_view text, const std::vector<std::string>& names)
{
    const std::string typed = folded(text);
    std::vector<std::pair<int, std::size_t>> scored;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string name = folded(names[i]);
        int d = editDistance(typed, name);
        if (!typed.empty() && name.starts_with(typed))
            d = std::min(d, 1);
        scored.emplace_back(d, i);
    }
    std::stable_sort(scored.begin(), scored.end());
    std::vector<std::string> out;
    for (const auto& [d, i] : scored) {
        if (out.size() == 5 || d > scored.front().first)
            break;
        out.push_back(names[i]);
    }
    return out;
}

} // namespace

int ParseRoot(std::string_view text)
{
    const std::string t = folded(text);
    static constexpr int kLetterFromA[7] = {0, 2, 3, 5, 7, 8, 10}; // a b c d e f g
    if (t.empty() || t.size() > 2 || t[0] < 'a' || t[0] > 'g')
        return -1;
    int n = kLetterFromA[t[0] - 'a'];
    if (t.size() == 2) {
        if (t[1] == '#')
            n += 1;
        else if (t[1] == 'b')
            n += 11;
        else
            return -1;
    }
    return n % 12;
}

int ParseType(std::string_view text)
{
    const std::string t = folded(text);
    for (std::size_t i = 0; i < ChordFormulas.size(); ++i) {
        if (folded(ChordFormulas[i].key) == t)
            return int(i);
    }
    return -1;
}

std::string NoteOf(int semitonesAboveA) { return Shown(kChromaticFromA[((semitonesAboveA % 12) + 12) % 12]); }

std::string Shown(std::string_view listItem)
{
    while (!listItem.empty() && listItem.back() == ' ')
        listItem.remove_suffix(1);
    return std::string(listItem);
}

std::vector<std::string> ClosestRoots(std::string_view text)
{
    std::vector<std::string> names;
    for (std::string_view n : kChromaticFromA)
        names.push_back(Shown(n));
    return closest(text, names);
}

std::vector<std::string> ClosestTypes(std::string_view text)
{
    std::vector<std::string> names;
    for (const ChordFormula& f : ChordFormulas)
        names.push_back(Shown(f.key));
    return closest(text, names);
}

} // namespace chordmoss
