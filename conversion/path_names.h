#pragma once

#include <string>
#include <string_view>

// Names cut from paths. Paths are byte strings in the active code page; both
// '/' and '\' separate, and only the name-stem walk knows two-byte characters
// (through the lead-byte table). No rule fails, trims or changes letter case.

/// The bare name of a file: the bytes after the last separator, cut before the
/// last dot that follows it. The second byte of a two-byte character is never
/// taken for a separator or a dot.
std::string nameStem(std::string_view path);

/// The same bytes as nameStem, as a view into `path`.
std::string_view nameStemView(std::string_view path);

/// The batch list's path for a capture list: the file name's extension (from
/// its last dot) is replaced by ".txt"; a file name without a dot gets ".txt"
/// appended. Dots in directory names never count.
std::string outputPathFor(std::string_view capturePath);

/// Where an existing batch list is moved aside: its path followed by ".bak".
std::string backupPathFor(std::string_view batchPath);
