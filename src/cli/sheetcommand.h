#pragma once
// `chordmoss sheet`: a printable page of chord boxes, one per chord symbol in
// the order given, each the easiest voicing with its fingers and barres.

#include "commandargs.h"

namespace chordmoss {

Result SheetCommand(const Parsed& p, PngPainter png, PdfPainter pdf);

} // namespace chordmoss
