#pragma once

namespace chordmoss {

/// Makes a window that cannot reach its display (DISPLAY names a server that
/// is not there) end with one line on standard error and exit code 1, instead
/// of Qt's abort. Call before the application object is created.
void ExitQuietlyWithoutDisplay();

} // namespace chordmoss
