#pragma once
// Where each string's controls stand on the main window, in twips from the
// client area's top-left corner. The window builds its controls from this
// table and the picture tool draws the strings through the dot rows.

#include <array>
#include <string_view>

namespace chordmoss {

struct StringControls {
    std::string_view noteLabel, dot, ellipse, line, less, more;
    int labelLeft, labelTop, labelWidth, labelHeight;
    int dotLeft, dotTop;          // Left is the design-time column only
    int ellipseLeft, ellipseTop;
    int lineX1, lineY1, lineX2, lineY2;
    int lessLeft, lessTop, moreLeft, moreTop;
};

inline constexpr int kDotSize = 105;
inline constexpr int kEllipseWidth = 855;
inline constexpr int kEllipseHeight = 615;
inline constexpr int kArrowSize = 255;
inline constexpr int kLineEndOffset = 40; // a leader line ends this far right of the dot's Left

/// Strings 1 (low E) to 6 (high E); note the crossed lines of strings 4 and 6.
inline constexpr std::array<StringControls, 6> kStringControls = {{
    {"Label2", "Shape1", "Shape7", "Line1", "Label15", "Label16",
     7680, 3405, 855, 615, 10560, 4840, 7560, 3240, 8040, 3840, 10600, 4900, 7680, 3720, 8040, 3720},
    {"Label3", "Shape2", "Shape8", "Line2", "Label17", "Label18",
     8880, 3405, 855, 615, 10920, 4940, 8760, 3240, 9260, 3840, 10960, 4980, 8880, 3720, 9240, 3720},
    {"Label4", "Shape3", "Shape9", "Line3", "Label19", "Label20",
     10080, 3405, 855, 615, 11400, 5040, 9960, 3240, 10440, 3840, 11440, 5080, 10080, 3720, 10440, 3720},
    {"Label5", "Shape4", "Shape10", "Line6", "Label21", "Label22",
     7680, 6195, 855, 615, 10560, 5130, 7560, 6000, 7920, 6000, 10600, 5170, 7680, 6480, 8040, 6480},
    {"Label6", "Shape5", "Shape11", "Line5", "Label23", "Label24",
     8760, 6195, 975, 615, 10920, 5220, 8640, 6000, 9120, 6000, 10960, 5280, 8760, 6480, 9120, 6480},
    {"Label7", "Shape6", "Shape12", "Line4", "Label25", "Label26",
     9960, 6195, 855, 735, 11400, 5325, 9840, 6000, 10320, 6000, 11440, 5360, 9960, 6480, 10320, 6480},
}};

/// Returns the controls of string s (1..6).
inline constexpr const StringControls& stringControls(int s) { return kStringControls[s - 1]; }

/// The picture's place in the window.
inline constexpr int kImageLeft = 0;
inline constexpr int kImageTop = 2280;
inline constexpr int kImageWidthPx = 921;
inline constexpr int kImageHeightPx = 377;
inline constexpr int kTwipsPerPixel = 15;

} // namespace chordmoss
