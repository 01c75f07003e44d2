// Measures a set of 39 string notes against a recorded guitar's figures:
// the medians of each figure per register, and with a second set, that
// set's figures beside them and the distance between the two sets' E major
// strums. Notes are files named as the samples are ("E6.mp3" ...), decoded
// as the program decodes them.
//
//   measure_sound <notes dir> [<reference notes dir>]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "samplemixer.h"
#include "samplenames.h"
#include "soundfigures.h"

namespace {

/// The 39 notes of a folder as mono samples; empty when one is missing.
std::vector<std::vector<double>> load(const std::string& dir)
{
    std::vector<std::vector<double>> notes;
    for (const auto name : chordmoss::SampleNames) {
        const chordmoss::DecodedSample* c = chordmoss::SampleMixer::instance().decoded(dir + "/" + std::string(name));
        if (!c) {
            std::fprintf(stderr, "cannot read %s/%s\n", dir.c_str(), std::string(name).c_str());
            return {};
        }
        std::vector<float> played(c->frames()); // as the mixer keeps and plays it
        c->addTo(played.data(), 0, c->frames(), 1.0f / 32768);
        std::vector<double> mono(played.begin(), played.end());
        notes.push_back(std::move(mono));
    }
    return notes;
}

std::vector<soundfigures::Figures> measureAll(const std::vector<std::vector<double>>& notes)
{
    std::vector<soundfigures::Figures> out;
    for (int p = 0; p < int(notes.size()); ++p)
        out.push_back(soundfigures::measure(notes[p], soundfigures::pitchHz(p)));
    return out;
}

void print(const char* title, const std::vector<soundfigures::Figures>& notes)
{
    const auto med = soundfigures::registerMedians(notes);
    std::printf("%s\n%-24s %9s %9s %9s\n", title, "figure (median)", "E2-C#3", "D3-D#4", "E4-F#5");
    for (size_t i = 0; i < soundfigures::names().size(); ++i)
        std::printf("%-24s %9.3g %9.3g %9.3g\n", soundfigures::names()[i].c_str(), soundfigures::values(med[0])[i],
                    soundfigures::values(med[1])[i], soundfigures::values(med[2])[i]);
    std::printf("%-24s %9.3g\n", "fundamental E2-G2 (dB)", soundfigures::lowestFundamental(notes));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: measure_sound <notes dir> [<reference notes dir>]\n");
        return 2;
    }
    const auto ours = load(argv[1]);
    if (ours.empty())
        return 1;
    print(argv[1], measureAll(ours));
    if (argc == 3) {
        const auto reference = load(argv[2]);
        if (reference.empty())
            return 1;
        print(argv[2], measureAll(reference));
        const double d = soundfigures::spectrogramDistance(soundfigures::strum(ours, 3.0),
                                                           soundfigures::strum(reference, 3.0));
        std::printf("E major strum, 30 ms apart, 3 s: third-octave spectrogram distance %.1f dB\n", d);
    }
    return 0;
}
