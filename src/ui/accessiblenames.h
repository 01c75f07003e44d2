#pragma once

class QWidget;

namespace chordmoss {

/// Gives every control of the main window a name and a role a screen reader
/// can use, leaving captions, layout and behaviour as they are: the combos
/// would otherwise be announced by their value ("C "), the text boxes not at
/// all, and the labels that act as buttons as plain text.
void describeMainWindow(QWidget* form1);

} // namespace chordmoss
