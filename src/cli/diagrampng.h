#pragma once

#include <string>

namespace chordmoss {

class ChordDiagram;

/// Paints the diagram into a `width` × `height` PNG, scaled to fit and
/// centred on white, and returns the file's bytes (empty on failure). When no
/// application object exists it makes one on Qt's offscreen platform for the
/// while: painting text needs one, a display does not.
std::string DiagramPng(const ChordDiagram& diagram, int width, int height);

} // namespace chordmoss
