#pragma once

#include <memory>
#include <string>

class QGuiApplication;

namespace chordmoss {

/// Returns a Qt Gui application object on the offscreen platform, with only
/// the platform plugin loaded and Qt's note about a missing runtime directory
/// kept off standard error; nothing when an application object exists.
std::unique_ptr<QGuiApplication> OffscreenApplication();

class ChordDiagram;

/// Paints the diagram into a `width` × `height` PNG, scaled to fit and
/// centred on white, and returns the file's bytes (empty on failure). When no
/// application object exists it makes one on Qt's offscreen platform for the
/// while: painting text needs one, a display does not.
std::string DiagramPng(const ChordDiagram& diagram, int width, int height);

/// Paints a page-shaped diagram onto one page of "a4" or "letter" paper, as
/// vector shapes and text, and returns the PDF file's bytes (empty on failure).
std::string DiagramPdf(const ChordDiagram& page, const std::string& paper);

} // namespace chordmoss
