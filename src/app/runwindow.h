#pragma once

namespace chordmoss {

/// Shows the main window and runs the event loop of the QApplication that
/// exists; returns its status. SIGTERM and SIGINT close the window as the
/// user would. The sound threads get 0.3 s to end after it; one
/// still stuck past that (in a sound server that does not answer) ends the
/// process at once, with that status.
int RunWindow();

} // namespace chordmoss
