#pragma once

#include <string>

namespace chordmoss {

/// Writes `bytes` to the file `path` whole or not at all: into a temporary
/// file beside it, synced to the disk and then renamed over it, so a full
/// disk, a size limit or a second writer never leaves part of a file and an
/// old file stays as it was until the new one is complete. A FIFO or a
/// device (a terminal, /dev/null) is written directly. Returns why it failed,
/// or nothing.
std::string WriteFileWhole(const std::string& path, const std::string& bytes);

} // namespace chordmoss
