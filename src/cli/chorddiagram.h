#pragma once
// A chord box as guitarists read it: strings upright with the low E string on
// the left (on the right for a left-handed player), the nut or the starting
// fret, one dot per fretted string and a marker above every open or muted
// string, each sounding string labelled (with a finger number when the hand
// is known, a barre drawn as one bar across its strings). Built once as a list of shapes that
// the SVG writer and the PNG painter both draw, so the two never differ.

#include <array>
#include <string>
#include <vector>

#include "shapenames.h"

namespace chordmoss {

/// One element of the drawing, in drawing units (a box is kWidth wide).
struct DiagramShape {
    enum Kind { Line, Circle, Text };
    DiagramShape(Kind k, std::string r) : kind(k), role(std::move(r)) {}
    Kind kind;
    std::string role; // "dot", "open", "muted", "nut", "fret", "string", "title", "label", "start-fret", "barre"
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a line's ends; a circle's or a text's centre in x1, y1
    double radius = 0;
    double strokeWidth = 0; // 0: no outline
    std::string stroke, fill;
    std::string text;
    double fontSize = 0;
    bool bold = false;
    int anchor = 0; // text: -1 starts at x1, 0 centred on it, 1 ends at it
    int string = 0; // 1..6 for the shapes that belong to one string
    int box = 0;    // 1.. in a grid of boxes: which box the shape belongs to
};

class ChordDiagram {
public:
    static constexpr double kWidth = 200;

    /// labels: what to write on each sounding string's marker (empty when
    /// muted). With a hand, each of its barres is drawn as one bar, labelled
    /// with its finger, over the dots it holds.
    ChordDiagram(const std::string& title, const Frets& frets, const std::array<std::string, 6>& labels,
                 bool leftHanded, const HandShape* hand = nullptr);

    /// Returns the boxes side by side, `columns` to a row, under an optional
    /// title: one drawing for a page of chords.
    static ChordDiagram Grid(const std::vector<ChordDiagram>& boxes, int columns, const std::string& title = {});

    /// Returns the drawing placed on a page `aspect` times as high as wide,
    /// centred across it and at its top, with margins of `margin` of its width.
    static ChordDiagram OnPage(const ChordDiagram& content, double aspect, double margin);

    double width() const { return m_width; }
    double height() const { return m_height; }
    const std::vector<DiagramShape>& shapes() const { return m_shapes; }

    /// Returns the drawing as a standalone SVG document, `width` × `height` pixels.
    std::string svg(int width, int height) const;
    /// The same at a size with its unit ("210mm").
    std::string svg(const std::string& width, const std::string& height) const;

    /// Returns the pixel height that keeps the drawing's proportions at `width` pixels.
    int heightFor(int width) const;

private:
    ChordDiagram() = default;

    std::vector<DiagramShape> m_shapes;
    double m_width = kWidth;
    double m_height = 0;
};

/// Returns the first fret row of a box for these frets (1 when the nut is shown).
int FirstBoxFret(const Frets& frets);
/// Returns how many fret rows a box needs for these frets (at least 4).
int BoxFretRows(const Frets& frets);

} // namespace chordmoss
