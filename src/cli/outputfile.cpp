#include "outputfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace chordmoss {

namespace {

/// Writes every byte, going on after a short write; false with errno set.
bool writeAll(int fd, const std::string& bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

std::string failure() { return std::strerror(errno); }

} // namespace

std::string WriteFileWhole(const std::string& path, const std::string& bytes)
{
    namespace fs = std::filesystem;
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode))
            return std::strerror(EISDIR);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            return failure();
        const bool written = writeAll(fd, bytes);
        const std::string why = written ? std::string() : failure();
        return ::close(fd) == 0 || !written ? why : failure();
    }
    // A link is followed: the file it names is replaced, the link stays.
    std::error_code ec;
    const fs::path target = exists ? fs::canonical(path, ec) : fs::path(path);
    if (ec)
        return ec.message();
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> temporary(name.begin(), name.end());
    temporary.push_back('\0');
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return failure();
    // The permissions the file had, or those a new file gets under the umask.
    mode_t mode = st.st_mode & 07777;
    if (!exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    std::string why;
    if (::fchmod(fd, mode) != 0 || !writeAll(fd, bytes) || ::fsync(fd) != 0)
        why = failure();
    if (::close(fd) != 0 && why.empty())
        why = failure();
    if (why.empty() && ::rename(temporary.data(), target.c_str()) != 0)
        why = failure();
    if (!why.empty()) {
        ::unlink(temporary.data());
        return why;
    }
    // The new name is on the disk too once the folder is synced.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace chordmoss
