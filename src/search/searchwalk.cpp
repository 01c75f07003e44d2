#include "searchwalk.h"

namespace chordmoss {

int RequiredCount(const SearchBoxes& boxes)
{
    int n = 0;
    for (const std::string& b : boxes)
        n += b.empty() ? 0 : 1;
    return n;
}

bool SearchWalk(SearchCursorTable& cursor, const SearchBoxes& boxes, SearchHost& host)
{
    const int required = RequiredCount(boxes);
    for (int r = cursor[1]; r < kRootCount; ++r) {
        host.selectRoot(r);
        for (int t = cursor[2]; t < kTypeCount; ++t) {
            host.selectType(t);
            const std::string_view notes = host.notesText();
            int tally = 0;
            std::string seen;
            for (int k = cursor[3]; k <= 4; ++k) {
                const std::string& entry = boxes[k];
                if (entry.empty() || notes.find(entry) == std::string_view::npos
                    || seen.find(entry) != std::string::npos)
                    continue;
                seen += entry;
                if (++tally == required) {
                    cursor[1] = static_cast<std::int16_t>(r);
                    cursor[2] = static_cast<std::int16_t>(t);
                    cursor[3] = static_cast<std::int16_t>(k + 1);
                    return true;
                }
            }
            cursor[3] = 0;
        }
        cursor[2] = 0;
    }
    return false;
}

} // namespace chordmoss
