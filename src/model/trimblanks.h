#pragma once

#include <string_view>

namespace chordmoss {

/// Returns the text without its leading and trailing spaces (only spaces
/// count as blanks: note names, entries and directories are compared so).
std::string_view TrimBlanks(std::string_view text);

} // namespace chordmoss
