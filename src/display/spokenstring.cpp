#include "spokenstring.h"

#include <array>
#include <string_view>

namespace chordmoss {

namespace {

constexpr std::array<std::string_view, 6> kOpenNames = {"low E", "A", "D", "G", "B", "high E"};

/// "Bb" is read "B flat".
std::string spokenNote(std::string_view note)
{
    std::string out(note.substr(0, 1));
    if (note.size() > 1 && note[1] == 'b')
        out += " flat";
    return out;
}

/// The interval of a caption's label ("1", "3b", "9b", "7", "13"): "root",
/// "flat third", "flat ninth", "major seventh", "thirteenth".
std::string spokenInterval(std::string_view label)
{
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kOrdinals = {{
        {"1", "root"}, {"2", "second"}, {"3", "third"}, {"4", "fourth"}, {"5", "fifth"},
        {"6", "sixth"}, {"9", "ninth"}, {"11", "eleventh"}, {"13", "thirteenth"}, {"7", "seventh"}}};
    if (label == "7")
        return "major seventh"; // the captions write the flat seventh "7b"
    std::string flat;
    if (label.back() == 'b') { // captions put the flat after the number
        flat = "flat ";
        label.remove_suffix(1);
    }
    for (auto [digits, word] : kOrdinals) {
        if (label == digits)
            return flat + std::string(word);
    }
    return flat + std::string(label);
}

} // namespace

std::string SpokenString(const Module1& m, const FretboardState& board, int s)
{
    std::string out = "string " + std::to_string(7 - s) + ", " + std::string(kOpenNames[s - 1]) + ": ";
    const StringGroup& g = board.string(s);
    if (!g.labelVisible || !g.dotVisible)
        return out + "muted";
    const int fret = DotFret(m, board, s);
    out += fret == 0 ? "open" : "fret " + std::to_string(fret);
    // The caption is blanks, an optional interval label ("3-", "7b-", "7")
    // and the note name.
    std::string_view caption = g.caption;
    const auto first = caption.find_first_not_of(' '), last = caption.find_last_not_of(' ');
    if (first == std::string_view::npos)
        return out;
    caption = caption.substr(first, last - first + 1);
    auto noteAt = caption.size() - 1;
    if (caption.back() == 'b' && noteAt > 0 && caption[noteAt - 1] >= 'A' && caption[noteAt - 1] <= 'G')
        --noteAt;
    out += ", " + spokenNote(caption.substr(noteAt));
    std::string_view label = caption.substr(0, noteAt);
    if (!label.empty() && label.back() == '-')
        label.remove_suffix(1);
    if (!label.empty())
        out += ", " + spokenInterval(label);
    return out;
}

std::string SpokenFingering(const Module1& m, const FretboardState& board)
{
    std::string out;
    for (int s = 1; s <= 6; ++s)
        out += (s > 1 ? "; " : "") + SpokenString(m, board, s);
    return out;
}

} // namespace chordmoss
