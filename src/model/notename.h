#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace chordmoss {

/// A note text such as "Bb " held in one machine word, so that the voicing
/// engine's many exact comparisons and copies cost a single instruction.
/// Holds up to 8 bytes; a longer text keeps its first 8 (no note name is
/// longer than 3).
class NoteName {
public:
    constexpr NoteName() = default;
    NoteName(std::string_view text)
    {
        std::memcpy(&m_bits, text.data(), text.size() < 8 ? text.size() : 8);
    }
    NoteName(const char* text) : NoteName(std::string_view(text)) {}
    NoteName(const std::string& text) : NoteName(std::string_view(text)) {}

    std::string_view view() const
    {
        const char* p = reinterpret_cast<const char*>(&m_bits);
        return {p, strnlen(p, 8)};
    }
    std::string str() const { return std::string(view()); }
    bool empty() const { return m_bits == 0; }

    friend bool operator==(const NoteName& a, const NoteName& b) { return a.m_bits == b.m_bits; }
    friend bool operator==(const NoteName& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const NoteName& a, const char* b) { return a.view() == std::string_view(b); }

private:
    std::uint64_t m_bits = 0;
};

} // namespace chordmoss
