#pragma once
// Every way a hand can play a chord in standard tuning on frets 0 to 15,
// ranked easiest first, each with its fingers and barres. The chord types
// are the window's 63, with the same notes; the window's own single answer
// (RunIt) is another matter and is left as it is.

#include <vector>

#include "handshape.h"

namespace chordmoss {

inline constexpr int kHighestVoicingFret = 15;
/// Fretted notes lie within this many frets, counting both ends (5 to 8 is 4).
inline constexpr int kLongestSpan = 4;

/// What to voice: a root and a type, and optionally a bass note and a fret to
/// stay near. Notes are semitones above A, as the root list counts them.
struct VoicingRequest {
    int root = 3; // C
    int type = 0; // index into ChordFormulas
    int bass = -1; // keep only voicings whose lowest note is this; -1: any
    int near = -1; // prefer voicings around this fret; -1: nearest the nut
};

/// The notes a voicing of a chord may and must sound, as bit sets of notes
/// above A (bit n: n semitones above A).
struct ChordNotes {
    unsigned allowed = 0;
    unsigned required = 0;
    unsigned fifth = 0;      // the perfect fifth, when it may be left out
    unsigned extensions = 0; // ninths and elevenths that may be left out
    int root = -1;           // -1 for the types voiced without their root
    int count = 0;           // the type's notes
    int minStrings = 3;
};

/// Returns the notes of the chord: all its notes are required but the
/// perfect fifth (in chords of three notes or more), and, in chords of five
/// notes or more, a ninth or an eleventh that the type's name does not spell
/// out when a higher extension (an eleventh or a thirteenth) carries the chord.
ChordNotes NotesToVoice(int root, int type);

/// One playable voicing.
struct ChordVoicing {
    Frets frets{};
    HandShape hand;
    double difficulty = 0;
    int bass = 0;       // the lowest sounding note, semitones above A
    int lowestFret = 0; // the lowest fretted fret; 0 when only open strings sound
    bool shortened = false; // an easier voicing here with one string left out: charged kShortenedVoicing
};

/// What a voicing costs for being an easier one with a string left out.
inline constexpr double kShortenedVoicing = 1.5;

/// Returns how hard a voicing is to play and how far it is from what a
/// guitarist looks for; lower is easier. The sum, each term documented in
/// the README:
///   0.8 a finger used, plus the hand's cost (FingerShape);
///   0.6 when the fretted notes span three frets, 2 when they span four;
///   0.35 a fret up the neck (the highest fret), or, when a fret to stay near
///     is asked for, 0.5 a fret between it and the lowest fretted fret;
///   1.5 a string left out on the bass side, 2.5 on the treble side (0.3 in
///     a two-note chord), 6 between sounding strings;
///   1.5 an open string when the hand reaches above fret 4;
///   8 when the lowest note is not the root (not counted when a bass is asked
///     for or the type has no root);
///   2 for a fifth left out of a triad, 0.7 of a larger chord; 1 for each
///     ninth or eleventh left out.
/// FindVoicings adds kShortenedVoicing to a voicing that is an easier one
/// with a string left out.
double Difficulty(const Frets& frets, const HandShape& hand, const ChordNotes& notes, const VoicingRequest& request);

/// Returns every voicing of the chord that a hand can hold, easiest first:
/// each string muted or at one fret 0..15; only the chord's notes (and the
/// asked-for bass); every required note; at least three strings (two for a
/// two-note chord), at most one muted string between sounding ones; fretted
/// notes within kLongestSpan frets and held by FingerShape. Ties go to the
/// lower voicing.
std::vector<ChordVoicing> FindVoicings(const VoicingRequest& request);

} // namespace chordmoss
