#pragma once
// How a plucked note is measured against a recorded guitar: the figures the
// samples are tuned to and tested against, per note and as medians over the
// three registers, and the distance between two strums. Used by
// `measure_sound` (any set of notes, ours or a reference) and by the sample
// test (the committed files, decoded as the program decodes them).
//
// Every time is counted from the note's start: its first sample within 40 dB
// of its peak.
#include <array>
#include <string>
#include <vector>

namespace soundfigures {

constexpr int kRate = 44100;

/// One note's figures. Levels in dB, times in seconds unless named _ms,
/// frequencies in Hz.
struct Figures {
    double fall60 = 0;       // the fundamental's fall of 60 dB from its peak (extrapolated past the end)
    double fall20 = 0;       // its first 20 dB of fall
    double centroid50 = 0;   // spectral centroid 50 ms in
    double centroid300 = 0;  // ... 300 ms in
    double centroid1000 = 0; // ... 1 s in
    double above2k = 0;      // share of the note's energy above 2 kHz, in %
    double pick = 0;         // share above 4 kHz in the first 10 ms, in %
    double attack_ms = 0;    // the 5 ms RMS envelope from 10 % to 90 % of its maximum
    double body = 0;         // energy 70-300 Hz re the whole note, 20-220 ms in
    double bodyLater = 0;    // the same band 320-520 ms in, re its level 20-220 ms in
    double fundamental = 0;  // the fundamental re the strongest partial, 50-420 ms in
    double crest = 0;        // peak re RMS over the first half second
    double lead_ms = 0;      // samples before the start
};

/// The figures' names, in the order `values` gives them.
const std::vector<std::string>& names();
std::vector<double> values(const Figures& f);

/// The pitch of index p (0 = the low E, 82.4 Hz, one semitone a step).
double pitchHz(int p);
/// The register of pitch index p: 0 for E2-C#3, 1 for D3-D#4, 2 for E4-F#5.
int registerOf(int p);

Figures measure(const std::vector<double>& mono, double f0);

/// What the partials of a note tell, from a 0.74 s stretch 20 ms in: the
/// fundamental's frequency (the strongest peak from an octave below f0 up
/// to 1.4 f0, so a wrong octave shows), how many partials stand within
/// 60 dB of the strongest peak, and the stiffness B fitted to their stretch,
/// (f_n / (n f_1))^2 - 1 = B (n^2 - 1), over those within 40 dB.
struct Partials {
    double f1 = 0;
    int count = 0;
    double stiffness = 0;
};
Partials partials(const std::vector<double>& mono, double f0);

/// Median of each figure over the notes of each register; notes[p] are the
/// figures of pitch index p.
std::array<Figures, 3> registerMedians(const std::vector<Figures>& notes);
/// The low notes below the body's air mode (E2-G2): median fundamental re
/// the strongest partial.
double lowestFundamental(const std::vector<Figures>& notes);

/// An E major strum from single notes (notes[p] is pitch index p), strings
/// 30 ms apart from the low E up, `seconds` long.
std::vector<double> strum(const std::vector<std::vector<double>>& notes, double seconds);
/// Distance in dB between two sounds: the RMS difference of their
/// third-octave spectrograms (50 Hz-16 kHz, 23 ms frames), each scaled to
/// the same overall level and floored 60 dB below its loudest cell.
double spectrogramDistance(const std::vector<double>& a, const std::vector<double>& b);

} // namespace soundfigures
