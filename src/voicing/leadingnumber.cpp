#include "leadingnumber.h"

#include <charconv>
#include <limits>
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
    // Read with the C conventions whatever the user's locale: a desktop set
    // to German or Turkish must not turn "3.5" into 3.
    const bool negative = digits[0] == '-';
    const std::size_t first = (digits[0] == '+' || negative) ? 1 : 0;
    double value = 0.0;
    if (std::from_chars(digits.data() + first, digits.data() + end, value).ec == std::errc::result_out_of_range) {
        // Out of range: too large reads as infinity, too small as zero.
        const std::size_t e = digits.find('e');
        const bool tiny = e < end ? digits[e + 1] == '-' : digits.find_first_of("123456789") > digits.find('.');
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

} // namespace chordmoss
