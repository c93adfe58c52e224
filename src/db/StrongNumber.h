#pragma once
#include <string>

namespace kov {

// Strong numbers as text: "G" (Greek) or "H" (Hebrew) followed by decimal digits, 0..9999.

// "H" + number when the main text is Hebrew, otherwise "G" + number.
std::string strongLabel(int number, bool hebrewMainText);

// Finds the first run of digits and upper-case G/H in text; when it is a G or H followed by a
// decimal number n, replaces the whole text by that letter and n + delta (clamped to 0..9999)
// and returns the new number. Otherwise leaves text unchanged and returns 0.
int stepStrongNumber(std::string& text, int delta);

// Reads the next Strong number of a list such as "G3056/H1254": tokens are separated by line
// feeds, carriage returns, blanks and '/'. cursor is a 1-based character index that the call
// leaves on the separator after the token read; letter receives 'H' when the digits follow
// an 'H' or 'h', otherwise 'G'. Tokens without digits or with a number too large for 32 bits
// are passed over. Returns -1 at the end of the text.
int nextStrongNumber(const std::string& text, int& cursor, char& letter);

}  // namespace kov
