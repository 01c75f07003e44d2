#include "quotedtext.h"

#include <cstdio>

namespace chordmoss {

namespace {

constexpr std::size_t kLongestQuoted = 60;

/// Returns the length of the UTF-8 sequence at the start of `text`, or 0 when
/// it is no well-formed sequence (overlong forms and surrogates included).
std::size_t sequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    const std::size_t n = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (n == 0 || text.size() < n)
        return 0;
    for (std::size_t i = 1; i < n; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
    }
    const unsigned second = byte(1);
    const bool tooShortOrSurrogate = (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F)
                                     || (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F);
    return tooShortOrSurrogate ? 0 : n;
}

std::string hexEscape(unsigned char c)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02x", c);
    return buf;
}

} // namespace

std::string QuotedArgument(std::string_view text)
{
    std::string out = "'";
    std::size_t characters = 0;
    while (!text.empty()) {
        if (characters++ == kLongestQuoted)
            return out + "\u2026'";
        const std::size_t n = sequenceLength(text);
        const unsigned char c = static_cast<unsigned char>(text[0]);
        const bool c1Control = n == 2 && c == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
        if (n == 0 || c1Control) {
            out += hexEscape(c);
            text.remove_prefix(1);
            continue;
        }
        if (c == 0x1B)
            out += "\\e";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c == 0x7F)
            out += hexEscape(c);
        else
            out += text.substr(0, n);
        text.remove_prefix(n);
    }
    return out + '\'';
}

std::string ValidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t n = sequenceLength(text);
        out += n ? text.substr(0, n) : std::string_view("\uFFFD");
        text.remove_prefix(n ? n : 1);
    }
    return out;
}

} // namespace chordmoss
