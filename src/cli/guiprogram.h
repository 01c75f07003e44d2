#pragma once

namespace chordmoss {

/// The file name of the full program, which holds the window and can paint
/// PNG chord boxes. It sits beside `chordmoss` in the build tree and in
/// <prefix>/libexec once installed.
inline constexpr const char* kGuiProgram = "chordmoss-gui";

/// Replaces this process with the full program, passing the same arguments,
/// so the window (or the PNG) comes up exactly as if it had been started
/// directly. Returns only when that fails, having said so on standard error.
int RunGuiProgram(char** argv);

} // namespace chordmoss
