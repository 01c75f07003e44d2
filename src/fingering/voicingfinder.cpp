#include "voicingfinder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <deque>
#include <cstdlib>
#include <tuple>

#include "chordformulas.h"

namespace chordmoss {

namespace {

constexpr double kPerFinger = 0.8;
constexpr double kStretchOfThreeFrets = 0.6; // fretted notes two frets apart
constexpr double kStretchOfFourFrets = 2.0;  // three frets apart
constexpr double kPerFretUpTheNeck = 0.35;
constexpr double kPerFretFromNear = 0.5;
constexpr double kBassSideMute = 1.5;   // as the A-string and D-string shapes have
constexpr double kTrebleSideMute = 2.5; // rarer: the top string usually rings
constexpr double kTrebleSideMuteOfPowerChord = 0.3; // two notes on the low strings
constexpr double kInnerMute = 6;
constexpr double kOpenNearTheNut = 0;
constexpr double kOpenUpTheNeck = 1.5;
constexpr int kHighestNutPosition = 4; // open strings help a hand in first position
constexpr double kBassNotRoot = 8;
constexpr double kFifthLeftOutOfTriad = 2.0;
constexpr double kFifthLeftOut = 0.7;
constexpr double kExtensionLeftOut = 1.0;

constexpr int kMostInnerMutes = 1;

unsigned bitOf(int note) { return 1u << (((note % 12) + 12) % 12); }

/// Frets as one number: a marker bit, then five bits a string from the low E
/// (31 for a string that does not sound, and for an open one when
/// `openAsMuted`), then whether any string rings open.
std::uint32_t fretsKey(const Frets& frets, bool openAsMuted = false)
{
    std::uint32_t k = 1;
    bool open = false;
    for (int f : frets) {
        k = k << 5 | std::uint32_t(f < 0 || (openAsMuted && f == 0) ? 31 : f);
        open = open || f == 0;
    }
    return k << 1 | open;
}

/// The key with string s (0-based) not sounding.
std::uint32_t withoutString(std::uint32_t key, int s) { return key | 31u << (1 + 5 * (5 - s)); }

/// A map from keys to numbers by open addressing, sized once: lookups in a
/// walk over thousands of shapes cost a multiply and a probe or two.
class KeyTable {
public:
    explicit KeyTable(std::size_t expected)
    {
        std::size_t size = 64;
        m_shift = 26;
        while (size < 2 * expected)
            size *= 2, --m_shift;
        m_keys.assign(size, 0);
        m_values.resize(size);
    }
    /// Returns the slot of `key`: holding it, or empty (key 0) where it would go.
    std::size_t slot(std::uint32_t key) const
    {
        std::size_t at = std::size_t((key * 2654435761u) >> m_shift); // the product's high bits mix best
        while (m_keys[at] != 0 && m_keys[at] != key)
            at = (at + 1) & (m_keys.size() - 1);
        return at;
    }
    bool holds(std::size_t at) const { return m_keys[at] != 0; }
    std::uint32_t value(std::size_t at) const { return m_values[at]; }
    /// Stores `key` in an empty slot unless the table is half full.
    void put(std::size_t at, std::uint32_t key, std::uint32_t value)
    {
        if (2 * ++m_count > m_keys.size())
            return;
        m_keys[at] = key, m_values[at] = value;
    }

private:
    std::vector<std::uint32_t> m_keys, m_values;
    std::size_t m_count = 0;
    int m_shift = 26;
};

/// Walks the strings from the low E up, each muted or at a fret whose note
/// the chord allows, keeping the fretted notes within the span; what has
/// been sounded so far is carried along, so hopeless branches end early.
class VoicingSearch {
public:
    VoicingSearch(const VoicingRequest& request, const ChordNotes& notes) : m_request(request), m_notes(notes)
    {
        for (int s = 1; s <= 6; ++s) {
            auto& list = m_choices[s - 1];
            list.push_back(-1);
            for (int f = 0; f <= kHighestVoicingFret; ++f) {
                m_noteBit[s - 1][f] = bitOf(StringNote(s, f));
                if (m_notes.allowed & m_noteBit[s - 1][f])
                    list.push_back(f);
            }
        }
    }

    std::vector<ChordVoicing> run()
    {
        m_found.reserve(4096); // more than most chords have: no copies while the list grows
        walk({});
        markShortened();
        std::vector<std::uint32_t> order(m_found.size());
        for (std::uint32_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            const ChordVoicing &x = m_found[a], &y = m_found[b];
            if (x.difficulty != y.difficulty)
                return x.difficulty < y.difficulty;
            return x.lowestFret != y.lowestFret ? x.lowestFret < y.lowestFret : m_keys[a] < m_keys[b];
        });
        // Into that order in place, one cycle of the permutation at a time:
        // the list is large, and a second copy of it costs more than the sort.
        for (std::size_t start = 0; start < order.size(); ++start) {
            if (order[start] == start)
                continue;
            ChordVoicing held = m_found[start];
            std::size_t at = start;
            while (order[at] != start) {
                const std::size_t from = order[at];
                m_found[at] = m_found[from];
                order[at] = std::uint32_t(at);
                at = from;
            }
            m_found[at] = held;
            order[at] = std::uint32_t(at);
        }
        return std::move(m_found);
    }

private:
    /// Charges each voicing that is an easier one found here with one string
    /// left out and the same lowest note: a chart lists the fuller shape
    /// first, and the variant after the other shapes of its place.
    void markShortened()
    {
        KeyTable index(m_found.size());
        for (std::uint32_t i = 0; i < m_found.size(); ++i)
            index.put(index.slot(m_keys[i]), m_keys[i], i);
        std::vector<double> plain(m_found.size()); // before any charge
        for (std::size_t i = 0; i < m_found.size(); ++i)
            plain[i] = m_found[i].difficulty;
        for (std::size_t i = 0; i < m_found.size(); ++i) {
            for (int s = 0; s < 6; ++s) {
                if (m_found[i].frets[std::size_t(s)] < 0)
                    continue;
                const std::uint32_t less = withoutString(m_keys[i], s) & ~1u; // open flag aside
                std::size_t at = index.slot(less);
                if (!index.holds(at))
                    at = index.slot(less | 1u);
                if (!index.holds(at))
                    continue;
                ChordVoicing& v = m_found[index.value(at)];
                if (!v.shortened && v.bass == m_found[i].bass && plain[i] < plain[index.value(at)]) {
                    v.shortened = true;
                    v.difficulty += kShortenedVoicing;
                }
            }
        }
    }

    struct Walked {
        int string = 0;             // the next string, 0-based
        int lowest = 99, highest = 0; // fretted so far
        unsigned sounded = 0;
        int playing = 0;
        int innerMutes = 0, pendingMutes = 0; // mutes between sounding strings, and since the last one
        int bass = -1;
    };

    void walk(const Walked& w)
    {
        if (w.string == 6) {
            consider(w);
            return;
        }
        const int left = 6 - w.string;
        // Each string left adds one note at most, and one string to the count.
        if (std::popcount(m_notes.required & ~w.sounded) > left || w.playing + left < m_notes.minStrings)
            return;
        for (int f : m_choices[std::size_t(w.string)]) {
            Walked next = w;
            next.string = w.string + 1;
            m_frets[std::size_t(w.string)] = f;
            if (f < 0) {
                next.pendingMutes += w.playing > 0;
                walk(next);
                continue;
            }
            if (f > 0) {
                next.lowest = std::min(w.lowest, f);
                next.highest = std::max(w.highest, f);
                if (next.highest - next.lowest + 1 > kLongestSpan)
                    continue;
            }
            next.innerMutes += w.pendingMutes;
            if (next.innerMutes > kMostInnerMutes)
                continue;
            next.pendingMutes = 0;
            const unsigned bit = m_noteBit[std::size_t(w.string)][std::size_t(f)];
            if (w.playing == 0) {
                next.bass = std::countr_zero(bit);
                if (m_request.bass >= 0 && next.bass != m_request.bass)
                    continue;
            }
            next.sounded |= bit;
            ++next.playing;
            walk(next);
        }
    }

    void consider(const Walked& w)
    {
        if (w.playing < m_notes.minStrings || (w.sounded & m_notes.required) != m_notes.required)
            return;
        const std::optional<HandShape>& hand = handFor();
        if (!hand)
            return;
        ChordVoicing& v = m_found.emplace_back();
        m_keys.push_back(fretsKey(m_frets));
        v.frets = m_frets;
        v.hand = *hand;
        v.bass = w.bass;
        v.lowestFret = w.lowest == 99 ? 0 : w.lowest;
        v.difficulty = Difficulty(m_frets, v.hand, m_notes, m_request);
    }

    /// The hand for the current frets. It depends only on the fretted notes
    /// and on whether any string rings open, so the shapes that differ only
    /// in which other strings are open or muted share one search.
    const std::optional<HandShape>& handFor()
    {
        const std::uint32_t k = fretsKey(m_frets, true);
        const std::size_t at = m_handIndex.slot(k);
        if (m_handIndex.holds(at))
            return m_hands[m_handIndex.value(at)];
        m_hands.push_back(FingerShape(m_frets));
        m_handIndex.put(at, k, std::uint32_t(m_hands.size() - 1));
        return m_hands.back();
    }

    const VoicingRequest& m_request;
    const ChordNotes& m_notes;
    KeyTable m_handIndex{4096};
    std::deque<std::optional<HandShape>> m_hands; // stays put as it grows
    std::vector<std::uint32_t> m_keys;            // fretsKey of each voicing found
    std::array<std::vector<int>, 6> m_choices;
    std::array<std::array<unsigned, kHighestVoicingFret + 1>, 6> m_noteBit{};
    Frets m_frets{};
    std::vector<ChordVoicing> m_found;
};

} // namespace

ChordNotes NotesToVoice(int root, int type)
{
    ChordNotes n;
    const ChordFormula& formula = ChordFormulas[std::size_t(type)];
    int count = 0;
    unsigned intervals = 0; // bit k: k semitones above the root
    for (int degree : formula.degrees) {
        if (degree != 0)
            intervals |= 1u << (degree - 1), ++count;
    }
    auto has = [&](int semitones) { return (intervals >> semitones) & 1u; };
    auto named = [&](std::string_view text) { return formula.key.find(text) != std::string_view::npos; };
    unsigned optional = 0;
    if (count >= 3 && has(7))
        optional |= 1u << 7;
    const bool seventh = has(10) || has(11);
    const bool thirteenth = has(9) && seventh;
    const bool eleventh = has(5) || has(6);
    if (count >= 5 && has(2) && !named("9") && (eleventh || thirteenth))
        optional |= 1u << 2;
    if (count >= 5 && has(5) && !named("11") && thirteenth)
        optional |= 1u << 5;
    auto toNotes = [&](unsigned set) {
        unsigned out = 0;
        for (int k = 0; k < 12; ++k) {
            if ((set >> k) & 1u)
                out |= bitOf(root + k);
        }
        return out;
    };
    n.allowed = toNotes(intervals);
    n.required = toNotes(intervals & ~optional);
    n.fifth = toNotes(optional & (1u << 7));
    n.extensions = toNotes(optional & ~(1u << 7));
    n.root = has(0) ? root % 12 : -1;
    n.count = count;
    n.minStrings = count <= 2 ? 2 : 3;
    return n;
}

double Difficulty(const Frets& frets, const HandShape& hand, const ChordNotes& notes, const VoicingRequest& request)
{
    int lowest = 0, highest = 0, first = 0, last = 0, open = 0, bass = -1;
    unsigned sounded = 0;
    for (int s = 1; s <= 6; ++s) {
        const int f = frets[s - 1];
        if (f < 0)
            continue;
        if (f > 0) {
            lowest = lowest ? std::min(lowest, f) : f;
            highest = std::max(highest, f);
        }
        open += f == 0;
        if (!first)
            first = s, bass = StringNote(s, f);
        last = s;
        sounded |= bitOf(StringNote(s, f));
    }
    int playing = 0;
    for (int f : frets)
        playing += f >= 0;
    const int inner = (last - first + 1) - playing;
    const int bassSide = first - 1, trebleSide = 6 - last;
    double d = kPerFinger * hand.fingersUsed + hand.cost;
    const int reach = highest - lowest;
    d += reach == 2 ? kStretchOfThreeFrets : reach == 3 ? kStretchOfFourFrets : 0;
    d += request.near >= 0 ? kPerFretFromNear * std::abs(lowest - request.near) : kPerFretUpTheNeck * highest;
    const bool powerChord = notes.count == 2;
    d += kBassSideMute * bassSide + (powerChord ? kTrebleSideMuteOfPowerChord : kTrebleSideMute) * trebleSide
         + kInnerMute * inner + (highest <= kHighestNutPosition ? kOpenNearTheNut : kOpenUpTheNeck) * open;
    if (request.bass < 0 && notes.root >= 0 && bass != notes.root)
        d += kBassNotRoot;
    if (notes.fifth && !(sounded & notes.fifth))
        d += notes.count == 3 ? kFifthLeftOutOfTriad : kFifthLeftOut;
    d += kExtensionLeftOut * std::popcount(notes.extensions & ~sounded);
    return d;
}

std::vector<ChordVoicing> FindVoicings(const VoicingRequest& request)
{
    if (request.type < 0 || request.type >= int(ChordFormulas.size()))
        return {};
    ChordNotes notes = NotesToVoice(((request.root % 12) + 12) % 12, request.type);
    if (request.bass >= 0)
        notes.allowed |= bitOf(request.bass);
    return VoicingSearch(request, notes).run();
}

} // namespace chordmoss
