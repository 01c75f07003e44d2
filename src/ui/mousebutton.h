#pragma once

namespace chordmoss {

/// Mouse buttons as the handlers take them, alone or added together.
enum MouseButton { LeftButton = 1, RightButton = 2, MiddleButton = 4 };

} // namespace chordmoss
