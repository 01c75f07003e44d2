#pragma once
// Small pieces of JSON text that every command's report is built from.

#include <cstdio>
#include <string>

#include "shapenames.h"

namespace chordmoss::json {

/// Returns the text as a JSON string, quotes, backslashes and control
/// characters escaped.
inline std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + '"';
}

/// Returns a JSON array of each item as `each` writes it.
template <typename T, typename F>
std::string Array(const T& items, F each)
{
    std::string out = "[";
    for (const auto& item : items)
        out += (out.size() > 1 ? ", " : "") + each(item);
    return out + ']';
}

/// Returns the frets as a JSON array, null for a string that does not sound.
inline std::string FretsArray(const Frets& frets)
{
    return Array(frets, [](int f) { return f < 0 ? std::string("null") : std::to_string(f); });
}

inline std::string Boolean(bool b) { return b ? "true" : "false"; }

} // namespace chordmoss::json
