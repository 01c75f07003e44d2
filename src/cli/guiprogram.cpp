#include "guiprogram.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace chordmoss {

int RunGuiProgram(char** argv)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path here = fs::read_symlink("/proc/self/exe", ec).parent_path();
    for (const fs::path& candidate : {here / kGuiProgram, here.parent_path() / "libexec" / kGuiProgram}) {
        if (fs::exists(candidate, ec)) {
            execv(candidate.c_str(), argv);
            std::fprintf(stderr, "chordmoss: cannot start %s: %s\n", candidate.c_str(), std::strerror(errno));
            return 1;
        }
    }
    std::fprintf(stderr, "chordmoss: %s is missing beside %s; the window cannot open\n", kGuiProgram,
                 here.c_str());
    return 1;
}

} // namespace chordmoss
