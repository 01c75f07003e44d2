#include "voicingfinder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
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
constexpr double kInnerMute = 3.5;
constexpr double kOpenNearTheNut = 0;
constexpr double kOpenUpTheNeck = 1.5;
constexpr int kHighestNutPosition = 4; // open strings help a hand in first position
constexpr double kBassNotRoot = 5.0;
constexpr double kFifthLeftOutOfTriad = 2.0;
constexpr double kFifthLeftOut = 0.7;
constexpr double kExtensionLeftOut = 1.0;

constexpr int kMostInnerMutes = 1;

unsigned bitOf(int note) { return 1u << (((note % 12) + 12) % 12); }

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
        walk({});
        markShortened();
        std::sort(m_found.begin(), m_found.end(), [](const ChordVoicing& a, const ChordVoicing& b) {
            return std::tie(a.difficulty, a.lowestFret, a.frets) < std::tie(b.difficulty, b.lowestFret, b.frets);
        });
        return std::move(m_found);
    }

private:
    /// Six frets in one number, five bits a string (31 for a muted one).
    static std::uint32_t key(const Frets& frets)
    {
        std::uint32_t k = 0;
        for (int f : frets)
            k = k << 5 | std::uint32_t(f < 0 ? 31 : f);
        return k;
    }

    /// Charges each voicing that is an easier one found here with one string
    /// left out and the same lowest note: a chart lists the fuller shape
    /// first, and the variant after the other shapes of its place.
    void markShortened()
    {
        std::vector<std::pair<std::uint32_t, std::size_t>> index;
        index.reserve(m_found.size());
        for (std::size_t i = 0; i < m_found.size(); ++i)
            index.emplace_back(key(m_found[i].frets), i);
        std::sort(index.begin(), index.end());
        std::vector<double> plain(m_found.size()); // before any charge
        for (std::size_t i = 0; i < m_found.size(); ++i)
            plain[i] = m_found[i].difficulty;
        for (std::size_t i = 0; i < m_found.size(); ++i) {
            const ChordVoicing& fuller = m_found[i];
            for (int s = 0; s < 6; ++s) {
                if (fuller.frets[std::size_t(s)] < 0)
                    continue;
                Frets less = fuller.frets;
                less[std::size_t(s)] = -1;
                const auto at = std::lower_bound(index.begin(), index.end(), std::pair(key(less), std::size_t(0)));
                if (at == index.end() || at->first != key(less))
                    continue;
                ChordVoicing& v = m_found[at->second];
                if (!v.shortened && v.bass == fuller.bass && plain[i] < plain[at->second]) {
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
        const std::optional<HandShape> hand = FingerShape(m_frets);
        if (!hand)
            return;
        ChordVoicing& v = m_found.emplace_back();
        v.frets = m_frets;
        v.hand = *hand;
        v.bass = w.bass;
        v.lowestFret = w.lowest == 99 ? 0 : w.lowest;
        v.difficulty = Difficulty(m_frets, v.hand, m_notes, m_request);
    }

    const VoicingRequest& m_request;
    const ChordNotes& m_notes;
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
