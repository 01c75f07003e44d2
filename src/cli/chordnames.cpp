#include "chordnames.h"

#include "notetables.h"

namespace chordmoss {

std::string NoteOf(int semitonesAboveA) { return Shown(kChromaticFromA[((semitonesAboveA % 12) + 12) % 12]); }

std::string Shown(std::string_view listItem)
{
    while (!listItem.empty() && listItem.back() == ' ')
        listItem.remove_suffix(1);
    return std::string(listItem);
}

} // namespace chordmoss
