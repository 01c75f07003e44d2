#pragma once
// Text from outside (arguments, titles) made safe to print: a terminal reads
// escape sequences, and a JSON or SVG reader refuses bytes that are no UTF-8.

#include <string>
#include <string_view>

namespace chordmoss {

/// Returns the argument in single quotes as a message may echo it: control
/// characters written as escapes (\e, \n, \x07), bytes that are no UTF-8 as
/// \xff, and anything past 60 characters cut off with an ellipsis.
std::string QuotedArgument(std::string_view text);

/// Returns the text with every byte that is no part of valid UTF-8 replaced
/// by U+FFFD.
std::string ValidUtf8(std::string_view text);

} // namespace chordmoss
