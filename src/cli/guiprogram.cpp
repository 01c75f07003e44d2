#include "guiprogram.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace chordmoss {

int RunGuiProgram(char** argv, const char* program)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path here = fs::read_symlink("/proc/self/exe", ec).parent_path();
    for (const fs::path& candidate : {here / program, here.parent_path() / "libexec" / program}) {
        if (fs::exists(candidate, ec)) {
            execv(candidate.c_str(), argv);
            std::fprintf(stderr, "chordmoss: cannot start %s: %s\n", candidate.c_str(), std::strerror(errno));
            return 1;
        }
    }
    std::fprintf(stderr, "chordmoss: %s is missing beside %s; %s\n", program, here.c_str(),
                 std::strcmp(program, kGuiProgram) == 0 ? "the window cannot open" : "the drawing cannot be painted");
    return 1;
}

} // namespace chordmoss
