#pragma once
// `chordmoss voicings`: every playable voicing of a chord, easiest first,
// with fingers and barres, as text, JSON or a grid of chord boxes.

#include "commandargs.h"

namespace chordmoss {

/// The options `voicings` takes besides the diagram's.
inline const std::vector<std::string> kVoicingsOptions = {"bass", "max", "near"};

Result VoicingsCommand(const Parsed& p, PngPainter painter);

} // namespace chordmoss
