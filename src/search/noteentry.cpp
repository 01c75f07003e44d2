#include "noteentry.h"

#include "trimblanks.h"

namespace chordmoss {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

} // namespace

bool StartsWithNoteLetter(std::string_view text)
{
    if (text.empty())
        return false;
    const char c = upper(text.front());
    return c >= 'A' && c <= 'G';
}

std::string NormaliseEntry(std::string_view text)
{
    text = TrimBlanks(text);
    std::string out;
    out.reserve(text.size() + 1);
    for (char c : text)
        out.push_back(upper(c));
    if (out.empty())
        return out;
    if (out.size() > 1)
        out[1] = lower(out[1]);
    out.push_back(' ');
    return out;
}

} // namespace chordmoss
