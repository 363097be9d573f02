#pragma once

#include <string>

// Scanners over a NUL-terminated capture list line. Each takes a cursor into
// the line and moves it forward in place; none moves past the terminating NUL.

/// The six whitespace bytes of the classic locale: tab, LF, VT, FF, CR, space.
/// No byte from 0x80 up is whitespace, whatever the code page.
constexpr bool isLineSpace(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

/// Moves over whitespace.
void skipSpace(const char*& cursor);
/// Moves over bytes that are not whitespace.
void skipWord(const char*& cursor);
/// Skips whitespace, then returns the word that follows (empty at the end).
std::string nextWord(const char*& cursor);
/// Skips whitespace, then returns every byte up to the LF or the NUL, and
/// leaves the cursor there.
std::string restOfLine(const char*& cursor);
