#pragma once
// Note and list names as the command line prints the window's answers:
// the list's flats, without the trailing blank the list items carry.

#include <string>
#include <string_view>

namespace chordmoss {

/// Returns the note name of a semitone count above A, without the blank ("Bb").
std::string NoteOf(int semitonesAboveA);

/// Returns a list entry without its trailing blank, as the command line shows it.
std::string Shown(std::string_view listItem);

} // namespace chordmoss
