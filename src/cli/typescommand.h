#pragma once
// `chordmoss types`: the 63 chord types in the order of the window's list,
// each with its notes on C, its intervals and degrees, and the symbols that
// select it.

#include "commandargs.h"

namespace chordmoss {

Result TypesCommand(const Parsed& p);

} // namespace chordmoss
