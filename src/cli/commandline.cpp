#include "commandline.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <map>
#include <optional>

#include "chorddiagram.h"
#include "commandargs.h"
#include "chordfinder.h"
#include "chordformulas.h"
#include "chordnames.h"
#include "chordreports.h"
#include "degreelabels.h"
#include "noteentry.h"
#include "outputfile.h"
#include "quotedtext.h"
#include "shapenames.h"
#include "trimblanks.h"
#include "sheetcommand.h"
#include "typescommand.h"
#include "voicingscommand.h"
#include "windowchord.h"

namespace chordmoss {

namespace {

const char* const kUsage = R"(Usage: chordmoss                      open the window
       chordmoss chord CHORD [POSITION] [options]
       chordmoss find NOTE... [options]
       chordmoss name FRETS [options]
       chordmoss voicings CHORD [options]
       chordmoss types [options]
       chordmoss --help | --version

CHORD is a chord symbol (Cm7, F#m7b5, Bbmaj7, C6/9, Cø, C°7, CΔ, Csus4, C7#9)
or ROOT TYPE as two words, TYPE one of the window's 63 type names in any case
(C Min7, Db maj7) or a symbol's ending (C m7). 'chordmoss types' lists every
type with the symbols that select it; a symbol with the notes of no type is
refused with the nearest types by notes.

chord   shows what the window shows when, after starting, you tick the options
        and then choose the root, type and POSITION (0 to 12, default 0) from
        the lists: the fingering from the low E string to the high E string,
        each sounding string's interval and note, the chord's notes and a chord
        box. Like the window it writes notes as flats (C# is shown as Db).
        A lone root and a number read as a type when they can: C 7 is C7.
find    lists every chord that Search and then Next show for one to five notes,
        with its fingering; a NOTE is a letter A to G with at most one # or b,
        read as the window's flats (C# as Db, E# as F, Cb as B), and the
        answers are written with the window's flats.
name    names a shape given as x32010, x-10-12-12-11-10 or x 3 2 0 1 0: the
        chords whose notes are exactly the notes sounded, then (five, or all
        with --all) those that include them, the names a guitarist says first
        leading; notes spelled as the chord is (D/F#). Exit 1 when no type
        holds the notes.
types   lists the 63 types in the window's order: notes and intervals on C,
        and the symbols that select each.
voicings  lists every way a hand can play the chord on frets 0 to 15, easiest
        first, with finger numbers (1 index to 4 little finger, 0 open, x not
        played) and barres (the fret, and the strings from which to which,
        6 being the low E); notes spelled as the chord is.

Options:
  --four-frets         a window of four frets ("Show chords that expand 4 frets")
  --alternate          the highest fret of the window ("Show Alternate Fingering")
  --position N         the position for find (0 to 12, default 0)
  --all                name: every name that includes the notes, not five
  -f, --format FORMAT  text (default) or json; chord and name also svg or png
  -o, --output FILE    write the result to FILE instead of standard output (-)
  --labels KIND        svg, png: diagram labels, interval (default), note or
                       finger (voicings: finger by default)
  --size W[xH]         svg, png: diagram size in pixels (default 200 wide; png 400),
                       each side 16 to 4096 (the height follows the width)
  --left-handed        text, svg, png: mirror the chord box
  --bass NOTE          voicings: only those whose lowest note is NOTE
  --max N              voicings: list the first N, 1 to 100000 (svg and png: 12 by default)
  --near FRET          voicings: rank those around FRET (0 to 15) first
  -h, --help           show this help
  -V, --version        show the version

JSON (every command): "schema": 1; "notes" plain note names with "intervals"
beside them ("1", "b3", "#9"); "bass" the lowest note; "fingering" as above
and "frets" from the low E string (null: not sounding); see chordmoss(1).

Examples:
  chordmoss chord Cm7 3
  chordmoss chord A 7th 5 --format json
  chordmoss chord Db Maj7 4 --four-frets --format svg -o dbmaj7.svg
  chordmoss find C# E G#
  chordmoss name 2x0232
  chordmoss name 3 x 0 0 0 3 --format png --size 300 -o g.png
  chordmoss types --format json
  chordmoss voicings Am7 --max 8 --format svg -o am7.svg

Exit status: 0 done; 1 find, name or voicings found nothing, or the output could not be
written; 2 a mistake in the arguments (the message says which).
)";

std::string intervalOf(const std::string& caption, const std::string& note)
{
    std::string label = caption.substr(0, caption.size() - note.size());
    if (!label.empty() && label.back() == '-')
        label.pop_back();
    return label;
}

/// Draws a shape's box; with --labels finger, numbered with the fingers the
/// hand finder gives it, barres drawn (no numbers when no hand can hold it).
Result shapeBox(const Presentation& how, const std::string& title, const Frets& frets,
                std::array<std::string, 6> labels, PngPainter painter)
{
    std::optional<HandShape> hand;
    if (how.labels == "finger") {
        hand = FingerShape(frets);
        for (int s = 0; s < 6; ++s)
            labels[s] = hand && hand->fingers[s] ? std::to_string(hand->fingers[s]) : std::string();
    }
    Result r = Drawing(how, ChordDiagram(title, frets, labels, how.leftHanded, hand ? &*hand : nullptr), painter);
    if (how.labels == "finger" && !hand)
        r.message = "no hand holds " + FingeringText(frets) + " with four fingers; the box has no finger numbers";
    return r;
}

Result chordCommand(const Parsed& p, PngPainter painter)
{
    std::size_t taken = 0;
    const ChordSymbol chord = ReadChord(p.positional, taken);
    if (chord.bass >= 0)
        throw UsageError{"'chord' shows the window's fingering, which has no slash bass; leave out "
                         + QuotedArgument('/' + chord.bassName)};
    if (p.positional.size() > taken + 1)
        throw UsageError{"'chord' takes a CHORD (or ROOT TYPE) and a POSITION; " + QuotedArgument(p.positional[taken + 1])
                         + " is one too many" + (p.positional.size() > taken + 2 ? " (a type with blanks needs no quotes: 'Maj7' not 'Maj 7')" : "")};
    ChordRequest request;
    request.root = chord.root;
    request.type = chord.type;
    request.position = p.positional.size() > taken ? ParsePosition(p.positional[taken]) : 0;
    request.fourFrets = p.has("four-frets");
    request.alternate = p.has("alternate");
    const Presentation how = ReadPresentation(p, true, {"interval", "note", "finger"});

    const WindowVoicing v = ChordAsWindowShows(request);
    ChordSheet sheet{Shown(RootListItem(request.root)), Shown(TypeListItem(request.type)), request.position,
                     request.fourFrets, request.alternate, v.frets, {}, {}, request.type, {}};
    sheet.symbol = SymbolText({request.root, request.type, -1, sheet.root, {}});
    std::array<std::string, 6> labels;
    for (int s = 0; s < 6; ++s) {
        std::string c = v.captions[s];
        c.erase(0, c.find_first_not_of(' '));
        c.erase(c.find_last_not_of(' ') + 1);
        sheet.captions[s] = c;
        if (v.frets[s] >= 0) {
            const std::string note = NoteOf(StringNote(s + 1, v.frets[s]));
            labels[s] = how.labels == "note" ? note : intervalOf(c, note);
        }
    }
    std::string entry;
    for (char ch : v.listing + ' ') {
        if (ch != ' ') {
            entry += ch;
        } else if (!entry.empty()) {
            sheet.listing.push_back(entry);
            entry.clear();
        }
    }
    if (how.format == "text")
        return {ChordText(sheet, how.leftHanded)};
    if (how.format == "json")
        return {ChordJson(sheet, how.leftHanded)};
    return shapeBox(how, sheet.root + ' ' + sheet.type, sheet.frets, labels, painter);
}

Result findCommand(const Parsed& p)
{
    if (p.positional.size() > 5)
        throw UsageError{"there are five search boxes; " + std::to_string(p.positional.size()) + " notes were given"};
    SearchBoxes boxes;
    std::vector<std::string> notes;
    for (std::size_t i = 0; i < p.positional.size(); ++i) {
        // A note name, read as the flat the search boxes take (C# as Db, E# as
        // F, Cb as B); an empty word leaves its box empty, as in the window.
        const std::string_view word = TrimBlanks(p.positional[i]);
        if (word.empty())
            continue;
        const int note = ParseNoteName(word);
        if (note < 0)
            throw UsageError{QuotedArgument(p.positional[i]) + " is not a note: a letter A to G, then at most one # or b"};
        boxes[i] = NormaliseEntry(NoteOf(note));
        notes.push_back(Shown(boxes[i]));
    }
    if (boxes[0].empty())
        throw UsageError{"Please enter the notes in the chord"};
    const int position = ParsePosition(p.value("position", "0"));
    const Presentation how = ReadPresentation(p, false);
    const std::vector<FoundChord> found = FindChords(boxes, position, p.has("four-frets"), p.has("alternate"));
    Result r{how.format == "json" ? FindJson(notes, position, p.has("four-frets"), p.has("alternate"), found)
                                  : FindText(found)};
    if (found.empty())
        r.code = 1, r.message = "Not Found";
    return r;
}

Result nameCommand(const Parsed& p, PngPainter painter)
{
    if (p.positional.empty())
        throw UsageError{"'name' needs a shape, e.g. 'chordmoss name x32010'"};
    Frets frets{};
    std::string error;
    if (!ParseShape(p.positional, frets, error))
        throw UsageError{error};
    const Presentation how = ReadPresentation(p, true, {"interval", "note", "finger"});
    const std::vector<ShapeName> names = NameShape(frets);
    // No type holds the notes: the sounded notes are still written, with exit 1.
    const int code = names.empty() ? 1 : 0;
    const std::string none = names.empty() ? "no chord type holds these notes" : "";
    if (how.format == "text")
        return {NameText(frets, names, p.has("all")), code, false, none};
    if (how.format == "json")
        return {NameJson(frets, names, p.has("all")), code, false, none};
    // The box is labelled after the first name; a shape no chord holds shows its notes.
    std::array<std::string, 6> labels;
    for (int s = 0; s < 6; ++s) {
        if (frets[s] < 0)
            continue;
        const int note = StringNote(s + 1, frets[s]);
        if (how.labels == "note" || names.empty()) {
            labels[s] = NoteOf(note);
        } else {
            std::string label(CaptionLabel((note - names.front().root + 12) % 12 + 1, TypeListItem(names.front().type)));
            if (!label.empty() && label.back() == '-')
                label.pop_back();
            labels[s] = label;
        }
    }
    return shapeBox(how,
                    names.empty()             ? FingeringText(frets)
                    : names.front().composed ? names.front().symbol
                                             : names.front().name,
                    frets, labels, painter);
}

/// Returns the word as typed, or quoted when it holds what a terminal must not see.
std::string plainOrQuoted(const std::string& word)
{
    const std::string quoted = QuotedArgument(word);
    return quoted == '\'' + word + '\'' && word.find_first_of(" '\\") == std::string::npos ? word : quoted;
}

Result run(const std::vector<std::string>& args, PngPainter painter, PdfPainter pdf)
{
    static const std::vector<std::string> kDiagramOptions = {"format", "output", "labels", "size", "left-handed", "help"};
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help")
        return {kUsage};
    if (args[0] == "--version" || args[0] == "-V")
        return {std::string("chordmoss ") + CHORDMOSS_VERSION + '\n'};
    const std::string& command = args[0];
    std::vector<std::string> allowed = kDiagramOptions;
    allowed.insert(allowed.end(), {"four-frets", "alternate"});
    if (command == "find")
        allowed = {"four-frets", "alternate", "position", "format", "output", "help"};
    else if (command == "name") {
        allowed = kDiagramOptions;
        allowed.push_back("all");
    } else if (command == "voicings") {
        allowed.assign(kVoicingsOptions.begin(), kVoicingsOptions.end());
        allowed.insert(allowed.end(), kDiagramOptions.begin(), kDiagramOptions.end());
    } else if (command == "types")
        allowed = {"format", "output", "help"};
    else if (command == "sheet")
        allowed = {"format", "output", "help", "columns", "title", "paper", "left-handed"};
    else if (command != "chord") {
        std::string hint;
        ChordSymbol chord;
        std::string unread;
        if (ParseChordSymbol(args[0], chord, unread))
            hint = "; to look up a chord: chordmoss chord " + args[0]
                   + (args.size() >= 2 && ParseNoteName(args[0]) >= 0 ? ' ' + plainOrQuoted(args[1]) : "");
        throw UsageError{"unknown command " + QuotedArgument(command) + " (chord, find, name, voicings, types or sheet" + hint + ")"};
    }
    const Parsed p = ParseArguments(command, args, 1, allowed);
    if (p.has("help"))
        return {kUsage};
    Result r = command == "chord"      ? chordCommand(p, painter)
               : command == "find"     ? findCommand(p)
               : command == "types"    ? TypesCommand(p)
               : command == "voicings" ? VoicingsCommand(p, painter)
               : command == "sheet"    ? SheetCommand(p, painter, pdf)
                                       : nameCommand(p, painter);
    // Text, JSON and SVG are UTF-8 whatever bytes an argument (a title) brought in.
    if (!r.binary)
        r.bytes = ValidUtf8(r.bytes);
    if (p.has("output") && p.value("output", "") != "-") {
        const std::string file = p.value("output", "");
        if (const std::string problem = WriteFileWhole(file, r.bytes); !problem.empty())
            return {{}, 1, false, "cannot write " + QuotedArgument(file) + ": " + problem};
        r.bytes.clear();
        r.binary = false; // written to the file: nothing binary goes to standard output
    }
    return r;
}

} // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, PngPainter painter,
                   PdfPainter pdf)
{
    try {
        Result r = run(args, painter, pdf);
        if (r.binary && &out == &std::cout && isatty(STDOUT_FILENO)) {
            err << "chordmoss: a PNG is not for the terminal; give --output FILE or redirect standard output\n";
            return 2;
        }
        if (!r.message.empty())
            err << "chordmoss: " << r.message << '\n';
        out << r.bytes;
        if (!out.flush()) {
            err << "chordmoss: cannot write the result to standard output\n";
            return 1;
        }
        return r.code;
    } catch (const UsageError& e) {
        err << "chordmoss: " << e.message << '\n';
        return 2;
    } catch (const NoPainter&) {
        return kNeedsPngPainter;
    }
}

int RunCommandLine(int argc, char** argv, PngPainter painter, PdfPainter pdf)
{
    std::ios::sync_with_stdio(false);
    // A file-size limit makes a write fail (and the output file is left as it
    // was) instead of ending the process halfway.
    std::signal(SIGXFSZ, SIG_IGN);
    return RunCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, painter, pdf);
}

} // namespace chordmoss
