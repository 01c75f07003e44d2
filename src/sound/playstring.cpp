#include "playstring.h"

#include <filesystem>
#include <system_error>

#include "fretboardstate.h"
#include "module1.h"
#include "samplenames.h"
#include "stringplayer.h"

namespace chordmoss {

std::string ResolveSample(const std::string& path)
{
    // One stat per note: a file put into or taken out of the current
    // directory counts from the next note on. Decoding is the mixer's, off
    // this thread.
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec))
        return path;
    const std::string name = std::filesystem::path(path).filename().string();
    return ProgramSampleDir() + name;
}

void PlayString(const Module1& m, const FretboardState& board, const PlayerSet& players, int s)
{
    StringPlayer* player = players[s];
    if (!player)
        return;
    player->stop();
    const int f = DotFret(m, board, s);
    if (f >= 0)
        player->setURL(ResolveSample(SampleFile(m, s, f)));
    else
        player->play();
}

} // namespace chordmoss
