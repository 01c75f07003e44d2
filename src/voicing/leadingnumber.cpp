#include "leadingnumber.h"

#include <cstdlib>
#include <string>

namespace chordmoss {

double LeadingNumber(std::string_view text)
{
    // Blanks anywhere inside the number are ignored, so "1 2" reads as 12.
    std::string digits;
    digits.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            digits.push_back(c);
    }
    std::size_t i = 0;
    auto digitRun = [&] {
        const std::size_t start = i;
        while (i < digits.size() && digits[i] >= '0' && digits[i] <= '9')
            ++i;
        return i > start;
    };
    if (i < digits.size() && (digits[i] == '+' || digits[i] == '-'))
        ++i;
    bool any = digitRun();
    if (i < digits.size() && digits[i] == '.') {
        ++i;
        any = digitRun() || any;
    }
    if (!any)
        return 0.0;
    std::size_t end = i;
    if (i < digits.size() && (digits[i] == 'e' || digits[i] == 'E' || digits[i] == 'd' || digits[i] == 'D')) {
        ++i;
        if (i < digits.size() && (digits[i] == '+' || digits[i] == '-'))
            ++i;
        if (digitRun()) {
            digits[end] = 'e';
            end = i;
        }
    }
    digits.resize(end);
    return std::strtod(digits.c_str(), nullptr);
}

} // namespace chordmoss
