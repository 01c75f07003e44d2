#include "handshape.h"

#include <algorithm>

#include "notetables.h"

namespace chordmoss {

namespace {

constexpr double kStretchCost = 1.5;   // a finger each fret above its place
constexpr double kCrampCost = 0.5;     // a finger each fret below its place
constexpr double kIndexBarreCost = 1.2;
constexpr double kIndexBarrePerString = 0.1;
constexpr double kPartialBarreCost = 2.5;
constexpr double kLittleFingerCost = 0.75;
constexpr int kLongestPartialBarre = 3;

struct Press {
    int string; // 1..6
    int fret;
};

/// The search over finger groups: the presses sorted by fret and string are
/// cut into runs, each run taken by one finger, the fingers rising. Groups
/// are kept on a small stack; the hand is written out only for a cheaper find.
class Fingerer {
public:
    explicit Fingerer(const Frets& frets) : m_frets(frets)
    {
        int lowest = 99, highest = 0;
        bool open = false;
        for (int s = 1; s <= 6; ++s) {
            const int f = frets[s - 1];
            open = open || f == 0;
            if (f <= 0)
                continue;
            // Insertion by fret, then string: strings arrive in order.
            int i = m_count++;
            while (i > 0 && m_presses[i - 1].fret > f) {
                m_presses[i] = m_presses[i - 1];
                --i;
            }
            m_presses[i] = {s, f};
            lowest = std::min(lowest, f);
            highest = std::max(highest, f);
        }
        m_position = lowest;
        m_firstPositionToo = open && highest <= 4 && lowest > 1;
    }

    std::optional<HandShape> best()
    {
        if (m_count == 0)
            return HandShape{};
        // A chord with open strings may be held in first position, or with
        // the index at the lowest fret if that is strictly easier.
        if (m_firstPositionToo) {
            const int lowest = m_position;
            m_position = 1;
            search(0, 1, 0, 0, 0);
            m_position = lowest;
        }
        search(0, 1, 0, 0, 0);
        if (m_bestCost < 0)
            return std::nullopt;
        return m_best;
    }

private:
    struct Group {
        int from, to, finger;
    };

    /// Presses from `next` on, with `finger` the lowest finger still free;
    /// `lastFinger` and `lastFret` are the previous group's.
    void search(int next, int finger, int lastFinger, int lastFret, double cost)
    {
        if (m_bestCost >= 0 && cost >= m_bestCost)
            return;
        if (next == m_count) {
            keep(cost);
            return;
        }
        const int fret = m_presses[next].fret;
        int sameFret = next;
        while (sameFret < m_count && m_presses[sameFret].fret == fret)
            ++sameFret;
        for (int f = finger; f <= 4; ++f) {
            if (lastFinger && fret - lastFret > f - lastFinger + 1)
                continue; // too far from the previous finger for this one
            const int place = m_position + f - 1;
            double here = fret > place ? kStretchCost * (fret - place) : kCrampCost * (place - fret);
            if (f == 4)
                here += kLittleFingerCost;
            for (int end = next + 1; end <= sameFret; ++end) {
                double groupCost = here;
                if (end - next > 1) {
                    if (!barreHolds(next, end, f) || (f != 1 && fretsBeyond(end)))
                        continue;
                    groupCost += f == 1 ? kIndexBarreCost + kIndexBarrePerString * span(next, end)
                                        : kPartialBarreCost;
                }
                m_groups[m_depth++] = {next, end, f};
                search(end, f + 1, f, fret, cost + groupCost);
                --m_depth;
            }
        }
    }

    void keep(double cost)
    {
        m_bestCost = cost;
        m_best = HandShape{};
        m_best.cost = cost;
        m_best.fingersUsed = m_depth;
        for (int g = 0; g < m_depth; ++g) {
            const Group& group = m_groups[g];
            for (int i = group.from; i < group.to; ++i)
                m_best.fingers[m_presses[i].string - 1] = group.finger;
            if (group.to - group.from > 1)
                m_best.barres[m_best.barreCount++] = {m_presses[group.from].fret, m_presses[group.from].string,
                                                      m_presses[group.to - 1].string, group.finger};
        }
    }

    /// Whether a finger placed before lies on the treble side of a finger
    /// laid flat across the presses up to `to`: it would have to reach round the
    /// flat finger's tip. An index barre lies under everything and is exempt.
    bool fretsBeyond(int to) const
    {
        const int tip = m_presses[to - 1].string;
        for (int g = 0; g < m_depth; ++g) {
            const Group& group = m_groups[g];
            if (group.finger == 1 && group.to - group.from > 1)
                continue;
            for (int i = group.from; i < group.to; ++i) {
                if (m_presses[i].string > tip)
                    return true;
            }
        }
        return false;
    }

    int span(int from, int to) const { return m_presses[to - 1].string - m_presses[from].string + 1; }

    /// Whether one finger can lie across presses [from, to) at one fret.
    bool barreHolds(int from, int to, int finger) const
    {
        const int low = m_presses[from].string, high = m_presses[to - 1].string;
        const int fret = m_presses[from].fret;
        if (finger != 1)
            return to - from <= kLongestPartialBarre && high - low + 1 == to - from;
        for (int s = low; s <= high; ++s) {
            if (m_frets[s - 1] < fret) // open, muted or lower: the barre would stop it
                return false;
        }
        return true;
    }

    const Frets& m_frets;
    std::array<Press, 6> m_presses{};
    int m_count = 0;
    int m_position = 1; // the fret of the index finger's place
    bool m_firstPositionToo = false;
    std::array<Group, 6> m_groups{};
    int m_depth = 0;
    HandShape m_best;
    double m_bestCost = -1;
};

} // namespace

int StringNote(int s, int fret)
{
    constexpr int kLowEAboveA = 7;
    return (kLowEAboveA + kStringSemitones[s] + fret) % 12;
}

std::optional<HandShape> FingerShape(const Frets& frets) { return Fingerer(frets).best(); }

} // namespace chordmoss
