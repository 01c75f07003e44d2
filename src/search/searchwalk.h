#pragma once
// The chord search: a walk over every root and chord type, in list order,
// that lets the window compute and show each candidate and tests the entered
// notes against the listing the display then holds.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace chordmoss {

/// What the walk needs of the window: selecting a root or a type runs its
/// selection handler (a full computation), and the listing then on display.
class SearchHost {
public:
    virtual ~SearchHost() = default;
    virtual void selectRoot(int rootIndex) = 0;
    virtual void selectType(int typeIndex) = 0;
    virtual std::string_view notesText() const = 0;
};

using SearchBoxes = std::array<std::string, 5>;
/// Slots 1..3: root index, type index, first box to test.
using SearchCursorTable = std::array<std::int16_t, 4>;

inline constexpr int kRootCount = 12;
inline constexpr int kTypeCount = 63;

/// Returns how many boxes hold an entry.
int RequiredCount(const SearchBoxes& boxes);

/// Walks from the cursor. On a match the cursor holds the chord's root, type
/// and completing box + 1, and the chord stays on display; returns false when
/// no candidate matched (the caller says "Not Found").
bool SearchWalk(SearchCursorTable& cursor, const SearchBoxes& boxes, SearchHost& host);

} // namespace chordmoss
