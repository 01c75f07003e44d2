#include "sheetcommand.h"

#include <cstdio>

#include "chorddiagram.h"
#include "chordsymbol.h"
#include "quotedtext.h"
#include "voicingfinder.h"

namespace chordmoss {

namespace {

struct Paper {
    const char* name;
    double widthMm, heightMm;
};
constexpr Paper kPapers[] = {{"a4", 210, 297}, {"letter", 215.9, 279.4}};
constexpr double kMargin = 0.06;      // of the page's width, on every side
constexpr int kPngDotsPerInch = 150;
constexpr int kMostColumns = 8;

/// The format asked for, else the one the output file's name ends in, else SVG.
std::string sheetFormat(const Parsed& p)
{
    if (p.has("format"))
        return p.value("format", "");
    const std::string file = p.value("output", "");
    for (const char* ending : {"pdf", "png", "svg"}) {
        if (file.size() > 4 && file.ends_with(std::string(".") + ending))
            return ending;
    }
    return "svg";
}

} // namespace

Result SheetCommand(const Parsed& p, PngPainter png, PdfPainter pdf)
{
    if (p.positional.empty())
        throw UsageError{"'sheet' needs one or more chords, e.g. 'chordmoss sheet C G/B Am7 Fmaj7 -o song.pdf'"};
    const std::string format = sheetFormat(p);
    if (format != "svg" && format != "png" && format != "pdf")
        throw UsageError{"format " + QuotedArgument(format) + " is not one of svg, png, pdf"};
    const std::string paperName = p.value("paper", "a4");
    const Paper* paper = nullptr;
    for (const Paper& candidate : kPapers) {
        if (paperName == candidate.name)
            paper = &candidate;
    }
    if (!paper)
        throw UsageError{"paper " + QuotedArgument(paperName) + " is not one of a4, letter"};
    int columns = 4;
    if (p.has("columns"))
        columns = WholeNumberOption(p, "columns", 1, kMostColumns);

    std::vector<ChordDiagram> boxes;
    for (const std::string& word : p.positional) {
        ChordSymbol chord;
        std::string error;
        if (!ParseChordSymbol(word, chord, error))
            throw UsageError{error};
        const std::vector<ChordVoicing> voicings = FindVoicings({chord.root, chord.type, chord.bass});
        if (voicings.empty())
            throw UsageError{"no hand can hold " + SymbolText(chord) + " on frets 0 to " + std::to_string(kHighestVoicingFret)};
        const ChordVoicing& easiest = voicings.front();
        std::array<std::string, 6> fingers;
        for (int s = 0; s < 6; ++s)
            fingers[s] = easiest.hand.fingers[s] ? std::to_string(easiest.hand.fingers[s]) : std::string();
        boxes.emplace_back(SymbolText(chord), easiest.frets, fingers, p.has("left-handed"), &easiest.hand);
    }
    const ChordDiagram page = ChordDiagram::OnPage(ChordDiagram::Grid(boxes, columns, p.value("title", "")),
                                                   paper->heightMm / paper->widthMm, kMargin);
    if (format == "svg") {
        auto mm = [](double v) {
            char text[32];
            std::snprintf(text, sizeof text, "%gmm", v);
            return std::string(text);
        };
        return {page.svg(mm(paper->widthMm), mm(paper->heightMm))};
    }
    if (format == "png") {
        Presentation how;
        how.format = "png";
        how.width = int(paper->widthMm / 25.4 * kPngDotsPerInch + 0.5);
        how.height = int(paper->heightMm / 25.4 * kPngDotsPerInch + 0.5);
        return Drawing(how, page, png);
    }
    if (!pdf)
        throw NoPainter{};
    std::string bytes = pdf(page, paperName);
    if (bytes.empty())
        return {{}, 1, false, "the PDF could not be written"};
    return {std::move(bytes), 0, true};
}

} // namespace chordmoss
