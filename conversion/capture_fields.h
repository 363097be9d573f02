#pragma once

#include <string_view>

/// A capture list line split into its five fields, as views into the line:
/// the words of the number, the in point, the out point and the fourth field,
/// then the clip path. Fields the line does not reach are empty.
struct CaptureFields {
  std::string_view number;
  std::string_view inPoint;
  std::string_view outPoint;
  std::string_view extra;
  std::string_view clipPath;
};

/// Splits one line, whose text ends at its first NUL byte or at the end of
/// `line`, whichever comes first; whitespace (an LF too) separates the words,
/// and the clip path runs to the first LF. Returns false for a comment line
/// (first non-whitespace byte ';'), leaving `fields` as they were.
bool splitCaptureLine(std::string_view line, CaptureFields& fields);

/// The same for a line's text as TextReader::readLineText gives it, which
/// already ends before the line end and before the first NUL: the clip path
/// runs to the end of `text`.
bool splitLineText(std::string_view text, CaptureFields& fields);

/// splitLineText for a text that is followed by enough readable bytes (of any
/// value) that the 64 bytes from its start can be read: TextReader's lines
/// are. Saves copying a short line before looking at it.
bool splitLineTextWithSlack(std::string_view text, CaptureFields& fields);
