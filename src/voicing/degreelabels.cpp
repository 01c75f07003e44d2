#include "degreelabels.h"

namespace chordmoss {

namespace {

bool has(std::string_view type, std::string_view part) { return type.find(part) != std::string_view::npos; }

std::string_view commonLabel(int degree, std::string_view type)
{
    switch (degree) {
    case 1: return "1-";
    case 3: return has(type, "9") ? "9-" : "2-";
    case 4: return "3b-";
    case 5: return "3-";
    case 6: return has(type, "11") ? "11-" : "4-";
    case 7: return "5b-";
    case 8: return "5-";
    case 9: return "6b-";
    case 10: return has(type, "13") ? "13-" : "6-";
    case 11: return "7b-";
    default: return {};
    }
}

} // namespace

std::string_view ListingLabel(int degree, std::string_view typeText)
{
    if (degree == 2)
        return has(typeText, "9") ? "b9-" : "b2-";
    if (degree == 12)
        return "7-";
    return commonLabel(degree, typeText);
}

std::string_view CaptionLabel(int degree, std::string_view typeText)
{
    // The flat sign follows the number here, and the major seventh has no hyphen.
    if (degree == 2)
        return has(typeText, "9") ? "9b-" : "2b-";
    if (degree == 12)
        return "7";
    return commonLabel(degree, typeText);
}

} // namespace chordmoss
