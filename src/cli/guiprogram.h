#pragma once

namespace chordmoss {

/// The file name of the full program, which holds the window and can paint
/// PNG chord boxes. It sits beside `chordmoss` in the build tree and in
/// <prefix>/libexec once installed.
inline constexpr const char* kGuiProgram = "chordmoss-gui";

/// The file name of the program that paints PNG and PDF drawings with Qt Gui
/// alone; it sits where the full program does.
inline constexpr const char* kDrawProgram = "chordmoss-draw";

/// Replaces this process with `program` (the full program or the drawing
/// one), passing the same arguments, so the window (or the PNG) comes up
/// exactly as if it had been started directly. Returns only when that fails,
/// having said so on standard error.
int RunGuiProgram(char** argv, const char* program = kGuiProgram);

} // namespace chordmoss
