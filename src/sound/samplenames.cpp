#include "samplenames.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
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

namespace {

namespace fs = std::filesystem;

bool isFile(const fs::path& p)
{
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

/// Where the running binary was built, when it runs from its build tree:
/// every folder of a CMake build holds CMakeFiles/, and the top one holds
/// the marker naming the source tree's assets. An installed binary's folder
/// holds neither, so no build-tree path reaches an installed program.
struct BuildTree {
    std::string dir, assets;
};

const BuildTree& buildTree()
{
    static const BuildTree tree = [] {
        std::error_code ec;
        fs::path dir = fs::read_symlink("/proc/self/exe", ec).parent_path();
        for (int depth = 0; !ec && depth < 8 && fs::is_directory(dir / "CMakeFiles", ec); ++depth) {
            std::ifstream marker(dir / "chordmoss-assets.path");
            std::string assets;
            if (std::getline(marker, assets) && !assets.empty())
                return BuildTree{dir.string(), assets};
            dir = dir.parent_path();
        }
        return BuildTree{};
    }();
    return tree;
}

std::string folderList(const std::string& sub)
{
    std::string list;
    for (const std::string& dir : DataFolders())
        list += (list.empty() ? "" : ", ") + dir + sub;
    return list;
}

} // namespace

std::string DevDirectory() { return buildTree().dir.empty() ? std::string() : upperTrimmed(buildTree().dir); }

const std::vector<std::string>& DataFolders()
{
    static const std::vector<std::string> folders = [] {
        std::vector<std::string> list;
        std::error_code ec;
        const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
        if (!ec)
            list.push_back((exe.parent_path().parent_path() / CHORDMOSS_INSTALL_DATADIR / "chordmoss").string() + "/");
        if (!buildTree().assets.empty())
            list.push_back(buildTree().assets + "/");
        return list;
    }();
    return folders;
}

std::string FindDataFile(const std::string& name)
{
    for (const std::string& dir : DataFolders())
        if (isFile(dir + name))
            return dir + name;
    return {};
}

std::string ProgramSampleDir()
{
    static const std::string dir = [] {
        for (const std::string& folder : DataFolders())
            for (std::string_view name : SampleNames)
                if (isFile(folder + "samples/" + std::string(name)))
                    return folder + "samples/";
        return DataFolders().empty() ? std::string("samples/") : DataFolders().front() + "samples/";
    }();
    return dir;
}

std::string MissingDataReport(const std::vector<std::string>& pictures)
{
    std::string report;
    if (std::none_of(pictures.begin(), pictures.end(), [](const std::string& p) { return !FindDataFile(p).empty(); })) {
        std::string names;
        for (const std::string& p : pictures)
            names += (names.empty() ? "" : " or ") + p;
        report += "chordmoss: no guitar picture (" + names + ") in " + folderList("") + "\n";
    }
    int missing = 0;
    std::string first;
    for (std::string_view name : SampleNames)
        if (!isFile(ProgramSampleDir() + std::string(name)) && missing++ == 0)
            first = name;
    if (missing > 0)
        report += "chordmoss: " + std::to_string(missing) + " of " + std::to_string(SampleNames.size()) +
                  " samples missing (" + first + (missing > 1 ? ", ..." : "") + ") in " + folderList("samples/") +
                  "; their strings stay silent\n";
    return report;
}

bool IsDevDirectory(const std::string& directory)
{
    const std::string dev = DevDirectory();
    return !dev.empty() && upperTrimmed(directory) == dev;
}

void SetSoundDir(Module1& m)
{
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).string();
    m.InDevDir = !ec && IsDevDirectory(cwd);
    m.SoundDir = m.InDevDir ? buildTree().assets + "/samples/" : std::string();
}

std::string SampleFile(const Module1& m, int s, int f)
{
    const int p = std::clamp(SampleBase(s) + f, 0, int(SampleNames.size()) - 1);
    return m.SoundDir + std::string(SampleNames[p]);
}

} // namespace chordmoss
