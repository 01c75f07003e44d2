#pragma once
// The shared tables of the program. The main window owns the one instance
// and hands it to the volume window, so both windows' handlers see the same
// tables; tests make their own.

#include <array>
#include <cstdint>
#include <string>

#include "notename.h"

namespace chordmoss {

using NoteTable = std::array<NoteName, 15>;

/// The module-level state: note circle, string notes, chord degrees, fret
/// columns, note tables, the search cursor, the sample prefix and the volume.
/// Slots are numbered as the tables are described: most from 1, with slot 0 a
/// working slot or unused.
struct Module1 {
    std::array<NoteName, 14> NoteNames;         // 1..12 circle from the root; 0 working slot
    std::array<NoteName, 7> PositionNotes;     // 1..6 note each string sounds
    std::array<std::int16_t, 13> ChordDegrees{}; // 1..12: -1 when the degree is in the chord
    std::array<double, 15> FretX{};            // fret 0..14 -> dot Left in twips
    NoteTable ENotes, ANotes, DNotes, GNotes, BNotes;
    std::array<std::int16_t, 4> SearchCursor{}; // 1 root index, 2 type index, 3 first box
    bool InDevDir = false;
    std::string SoundDir;
    float Volume = 0.0f;

    /// Returns the note table along string s (1..6); both E strings share ENotes.
    const NoteTable& stringNotes(int s) const;
};

/// Refills the tables and turns the note circle to the root named by
/// combo1Text (a root that is no note name builds on A).
void Init(Module1& m, const std::string& combo1Text);

} // namespace chordmoss
