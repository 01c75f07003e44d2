#include "chorddiagram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace chordmoss {

namespace {

constexpr double kFirstString = 45, kStringGap = 22;
constexpr double kMarkerY = 52, kGridTop = 66, kRowHeight = 34, kBottomMargin = 20;
const std::string kInk = "#222222";
const std::string kPaper = "#ffffff";

std::string number(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s = buf;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // XML has no control characters but the blanks: a title's are replaced.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
                out += "\uFFFD";
            else
                out += c;
        }
    }
    return out;
}

} // namespace

int FirstBoxFret(const Frets& frets)
{
    int low = 99, high = 0;
    for (int f : frets) {
        if (f > 0) {
            low = std::min(low, f);
            high = std::max(high, f);
        }
    }
    return high <= 4 ? 1 : low;
}

int BoxFretRows(const Frets& frets)
{
    const int first = FirstBoxFret(frets);
    const int high = *std::max_element(frets.begin(), frets.end());
    return std::max(4, high - first + 1);
}

ChordDiagram::ChordDiagram(const std::string& title, const Frets& frets, const std::array<std::string, 6>& labels,
                           bool leftHanded, const HandShape* hand)
{
    const int first = FirstBoxFret(frets);
    const int rows = BoxFretRows(frets);
    const double gridBottom = kGridTop + rows * kRowHeight;
    m_height = gridBottom + kBottomMargin;
    // Left-handed players read the box mirrored: the low E string on the right.
    auto mirrored = [&](double x) { return leftHanded ? kWidth - x : x; };
    auto stringX = [&](int s) { return mirrored(kFirstString + (s - 1) * kStringGap); };
    const double gridLeft = kFirstString, gridRight = kFirstString + 5 * kStringGap;

    auto line = [&](std::string role, double x1, double y1, double x2, double y2, double width, int s = 0) {
        DiagramShape d(DiagramShape::Line, std::move(role));
        d.x1 = x1, d.y1 = y1, d.x2 = x2, d.y2 = y2, d.strokeWidth = width, d.stroke = kInk, d.string = s;
        m_shapes.push_back(d);
    };
    auto text = [&](std::string role, double x, double y, std::string t, double size, bool bold, int anchor,
                    std::string colour, int s = 0) {
        DiagramShape d(DiagramShape::Text, std::move(role));
        d.x1 = x, d.y1 = y, d.text = std::move(t), d.fontSize = size, d.bold = bold, d.anchor = anchor;
        d.fill = std::move(colour), d.string = s;
        m_shapes.push_back(d);
    };

    text("title", kWidth / 2, 26, title, 20, true, 0, kInk);
    for (int r = first == 1 ? 1 : 0; r <= rows; ++r)
        line("fret", gridLeft, kGridTop + r * kRowHeight, gridRight, kGridTop + r * kRowHeight, 1.5);
    if (first == 1)
        line("nut", gridLeft - 0.75, kGridTop, gridRight + 0.75, kGridTop, 6);
    else
        text("start-fret", mirrored(gridLeft - 16), kGridTop + kRowHeight / 2, std::to_string(first) + "fr", 13,
             false, leftHanded ? -1 : 1, kInk);
    for (int s = 1; s <= 6; ++s)
        line("string", stringX(s), kGridTop, stringX(s), gridBottom, 1.5, s);
    constexpr double kDotRadius = 10.5;
    auto fretY = [&](int f) { return kGridTop + (f - first + 0.5) * kRowHeight; };
    // A barre is one bar as wide as a dot from its first string to its last;
    // the strings it stops at its own fret need no dot of their own.
    std::array<bool, 6> underBarre{};
    for (int b = 0; hand && b < hand->barreCount; ++b) {
        const Barre& barre = hand->barres[b];
        DiagramShape bar(DiagramShape::Line, "barre");
        bar.x1 = stringX(barre.lowString), bar.x2 = stringX(barre.highString);
        bar.y1 = bar.y2 = fretY(barre.fret);
        bar.strokeWidth = 2 * kDotRadius, bar.stroke = kInk;
        m_shapes.push_back(bar);
        for (int s = barre.lowString; s <= barre.highString; ++s)
            underBarre[s - 1] = frets[s - 1] == barre.fret;
        const int last = leftHanded ? barre.lowString : barre.highString;
        text("label", stringX(last), bar.y1, std::to_string(barre.finger), 10, true, 0, kPaper, last);
    }
    for (int s = 1; s <= 6; ++s) {
        const int f = frets[s - 1];
        const double x = stringX(s);
        if (underBarre[s - 1])
            continue;
        if (f < 0) {
            constexpr double arm = 5;
            line("muted", x - arm, kMarkerY - arm, x + arm, kMarkerY + arm, 2, s);
            line("muted", x - arm, kMarkerY + arm, x + arm, kMarkerY - arm, 2, s);
            continue;
        }
        DiagramShape c(DiagramShape::Circle, f == 0 ? "open" : "dot");
        c.string = s;
        c.x1 = x;
        c.y1 = f == 0 ? kMarkerY : fretY(f);
        c.radius = f == 0 ? 8.5 : kDotRadius;
        c.fill = f == 0 ? kPaper : kInk;
        c.stroke = kInk;
        c.strokeWidth = f == 0 ? 1.5 : 0;
        m_shapes.push_back(c);
        const double size = labels[s - 1].size() > 1 ? 8.5 : 10;
        text("label", x, c.y1, labels[s - 1], f == 0 ? size - 1 : size, true, 0, f == 0 ? kInk : kPaper, s);
    }
}

ChordDiagram ChordDiagram::Grid(const std::vector<ChordDiagram>& boxes, int columns, const std::string& title)
{
    ChordDiagram grid;
    columns = std::max(1, std::min(columns, int(boxes.size())));
    const double top = title.empty() ? 0 : 44;
    grid.m_width = kWidth * columns;
    if (!title.empty()) {
        DiagramShape t(DiagramShape::Text, "sheet-title");
        t.x1 = grid.m_width / 2, t.y1 = 26, t.text = title, t.fontSize = 24, t.bold = true, t.fill = kInk;
        grid.m_shapes.push_back(t);
    }
    double rowTop = top, rowHeight = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (i && i % std::size_t(columns) == 0)
            rowTop += rowHeight, rowHeight = 0;
        const double left = kWidth * double(i % std::size_t(columns));
        for (DiagramShape d : boxes[i].m_shapes) {
            d.x1 += left, d.x2 += left, d.y1 += rowTop, d.y2 += rowTop;
            d.box = int(i) + 1;
            grid.m_shapes.push_back(d);
        }
        rowHeight = std::max(rowHeight, boxes[i].m_height);
    }
    grid.m_height = std::max(rowTop + rowHeight, top + 1);
    return grid;
}

ChordDiagram ChordDiagram::OnPage(const ChordDiagram& content, double aspect, double margin)
{
    ChordDiagram page;
    page.m_width = std::max(content.m_width / (1 - 2 * margin), content.m_height / (aspect - 2 * margin));
    page.m_height = aspect * page.m_width;
    const double left = (page.m_width - content.m_width) / 2, top = margin * page.m_width;
    for (DiagramShape d : content.m_shapes) {
        d.x1 += left, d.x2 += left, d.y1 += top, d.y2 += top;
        page.m_shapes.push_back(d);
    }
    return page;
}

int ChordDiagram::heightFor(int width) const { return int(std::lround(width * m_height / m_width)); }

std::string ChordDiagram::svg(int width, int height) const { return svg(std::to_string(width), std::to_string(height)); }

std::string ChordDiagram::svg(const std::string& width, const std::string& height) const
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""
                      + width + "\" height=\"" + height + "\" viewBox=\"0 0 "
                      + number(m_width) + ' ' + number(m_height) + "\">\n";
    out += "<rect width=\"100%\" height=\"100%\" fill=\"" + kPaper + "\"/>\n";
    for (const DiagramShape& d : m_shapes) {
        const std::string common = "class=\"" + d.role + "\""
                                   + (d.box ? " data-box=\"" + std::to_string(d.box) + "\"" : "")
                                   + (d.string ? " data-string=\"" + std::to_string(d.string) + "\"" : "");
        switch (d.kind) {
        case DiagramShape::Line:
            out += "<line " + common + " x1=\"" + number(d.x1) + "\" y1=\"" + number(d.y1) + "\" x2=\"" + number(d.x2)
                   + "\" y2=\"" + number(d.y2) + "\" stroke=\"" + d.stroke + "\" stroke-width=\"" + number(d.strokeWidth)
                   + "\" stroke-linecap=\"round\"/>\n";
            break;
        case DiagramShape::Circle:
            out += "<circle " + common + " cx=\"" + number(d.x1) + "\" cy=\"" + number(d.y1) + "\" r=\""
                   + number(d.radius) + "\" fill=\"" + d.fill + "\"";
            if (d.strokeWidth > 0)
                out += " stroke=\"" + d.stroke + "\" stroke-width=\"" + number(d.strokeWidth) + "\"";
            out += "/>\n";
            break;
        case DiagramShape::Text:
            out += "<text " + common + " x=\"" + number(d.x1) + "\" y=\"" + number(d.y1)
                   + "\" font-family=\"Liberation Sans, DejaVu Sans, sans-serif\" font-size=\"" + number(d.fontSize)
                   + "\"" + (d.bold ? " font-weight=\"bold\"" : "") + " text-anchor=\""
                   + (d.anchor < 0 ? "start" : d.anchor > 0 ? "end" : "middle")
                   + "\" dominant-baseline=\"central\" fill=\"" + d.fill + "\">" + escaped(d.text) + "</text>\n";
            break;
        }
    }
    return out + "</svg>\n";
}

} // namespace chordmoss
