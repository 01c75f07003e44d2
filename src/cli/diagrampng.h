#pragma once

#include <memory>
#include <string>

class QGuiApplication;

namespace chordmoss {

class ChordDiagram;

/// Returns a new application on Qt's offscreen platform when none exists yet
/// (painting text needs one, a display does not); keep it while painting.
std::unique_ptr<QGuiApplication> OffscreenGuiForPainting();

/// Paints the diagram into a `width` × `height` PNG, scaled to fit and
/// centred on white, and returns the file's bytes (empty on failure).
std::string DiagramPng(const ChordDiagram& diagram, int width, int height);

} // namespace chordmoss
