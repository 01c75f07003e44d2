#include "typescommand.h"

#include "chordformulas.h"
#include "chordnames.h"
#include "jsontext.h"
#include "notespelling.h"
#include "quotedtext.h"

namespace chordmoss {

namespace {

/// One type on C, ready to print.
struct TypeRow {
    std::string name, symbol;
    std::vector<std::string> notes, intervals, symbols;
    std::vector<int> degrees;
    int sameNotesAs = -1; // the first type with the same notes, when it is another
};

TypeRow typeRow(int t)
{
    TypeRow row;
    const ChordSymbol c{3, t, -1, "C", {}};
    row.name = Shown(ChordFormulas[t].key);
    row.symbol = SymbolText(c);
    for (int s = 0; s < 12; ++s) {
        if (TypeNotes(t) >> s & 1)
            row.notes.push_back(SpellNote(c, s)), row.intervals.push_back(IntervalName(t, s)), row.degrees.push_back(s + 1);
    }
    row.symbols = TypeSymbols(t);
    for (int u = 0; u < t && row.sameNotesAs < 0; ++u) {
        if (TypeNotes(u) == TypeNotes(t))
            row.sameNotesAs = u;
    }
    return row;
}

std::string joined(const std::vector<std::string>& items, const std::string& before = {})
{
    std::string out;
    for (const std::string& i : items)
        out += (out.empty() ? "" : " ") + before + i;
    return out;
}

std::string column(std::string text, std::size_t width)
{
    text.resize(std::max(text.size() + 1, width), ' ');
    return text;
}

} // namespace

Result TypesCommand(const Parsed& p)
{
    if (!p.positional.empty())
        throw UsageError{"'types' takes no arguments; " + QuotedArgument(p.positional.front()) + " is one too many"};
    const Presentation how = ReadPresentation(p, false);
    std::string out;
    if (how.format == "text") {
        out = column("TYPE", 15) + column("SYMBOL", 15) + column("NOTES ON C", 18) + column("INTERVALS", 19)
              + "SYMBOLS THAT SELECT IT\n";
        for (int t = 0; t < int(ChordFormulas.size()); ++t) {
            const TypeRow row = typeRow(t);
            std::string line = column(row.name, 15) + column(row.symbol, 15) + column(joined(row.notes), 18)
                               + column(joined(row.intervals), 19) + joined(row.symbols, "C");
            if (row.sameNotesAs >= 0)
                line += "  (the notes of " + Shown(ChordFormulas[row.sameNotesAs].key) + ")";
            out += line + '\n';
        }
        return {out};
    }
    for (int t = 0; t < int(ChordFormulas.size()); ++t) {
        const TypeRow row = typeRow(t);
        out += std::string(t ? ",\n" : "") + "    {\"index\": " + std::to_string(t) + ", \"type\": " + json::Quoted(row.name)
               + ", \"symbol\": " + json::Quoted(row.symbol) + ", \"notes\": " + json::Array(row.notes, json::Quoted)
               + ", \"intervals\": " + json::Array(row.intervals, json::Quoted)
               + ", \"degrees\": " + json::Array(row.degrees, [](int d) { return std::to_string(d); })
               + ", \"symbols\": " + json::Array(row.symbols, json::Quoted) + ", \"sameNotesAs\": "
               + (row.sameNotesAs < 0 ? std::string("null") : json::Quoted(Shown(ChordFormulas[row.sameNotesAs].key)))
               + '}';
    }
    return {"{\n  \"schema\": 1,\n  \"root\": \"C\",\n  \"types\": [\n" + out + "\n  ]\n}\n"};
}

} // namespace chordmoss
