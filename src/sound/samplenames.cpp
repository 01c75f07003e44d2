#include "samplenames.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "module1.h"
#include "notetables.h"
#include "trimblanks.h"

namespace chordmoss {

// The register tag is the guitarists' number of the string on whose first
// frets a pitch lies; "-1" marks the three pitches above that.
const std::array<std::string_view, 39> SampleNames = {
    "E6.mp3", "F6.mp3", "Gb6.mp3", "G6.mp3", "Ab6.mp3",
    "A5.mp3", "Bb5.mp3", "B5.mp3", "C5.mp3", "Db5.mp3",
    "D4.mp3", "Eb4.mp3", "E4.mp3", "F4.mp3", "Gb4.mp3",
    "G3.mp3", "Ab3.mp3", "A3.mp3", "Bb3.mp3",
    "B2.mp3", "C2.mp3", "Db2.mp3", "D2.mp3", "Eb2.mp3",
    "E1.mp3", "F1.mp3", "Gb1.mp3", "G1.mp3", "Ab1.mp3", "A1.mp3", "Bb1.mp3", "B1.mp3", "C1.mp3", "Db1.mp3",
    "D1.mp3", "Eb1.mp3",
    "E-1.mp3", "F-1.mp3", "Gb-1.mp3"};

int SampleBase(int s) { return kStringSemitones[std::clamp(s, 1, 6)]; }

namespace {

std::string upperTrimmed(std::string text)
{
    text = std::string(TrimBlanks(text));
    for (char& c : text)
        c = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    return text;
}

} // namespace

std::string DevDirectory() { return upperTrimmed(CHORDMOSS_BUILD_DIR); }

std::string ProgramDataDir()
{
    // Found once: an installed program keeps its data under <prefix>/share.
    static const std::string dir = [] {
        std::error_code ec;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (!ec) {
            const auto installed = exe.parent_path().parent_path() / CHORDMOSS_INSTALL_DATADIR / "chordmoss";
            if (std::filesystem::is_directory(installed / "samples", ec))
                return installed.string() + "/";
        }
        return std::string(CHORDMOSS_ASSETS_DIR) + "/";
    }();
    return dir;
}

std::string ProgramSampleDir() { return ProgramDataDir() + "samples/"; }

bool IsDevDirectory(const std::string& directory) { return upperTrimmed(directory) == DevDirectory(); }

void SetSoundDir(Module1& m)
{
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).string();
    m.InDevDir = !ec && IsDevDirectory(cwd);
    m.SoundDir = m.InDevDir ? std::string(CHORDMOSS_ASSETS_DIR) + "/samples/" : std::string();
}

std::string SampleFile(const Module1& m, int s, int f)
{
    const int p = std::clamp(SampleBase(s) + f, 0, int(SampleNames.size()) - 1);
    return m.SoundDir + std::string(SampleNames[p]);
}

} // namespace chordmoss
