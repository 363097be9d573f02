#pragma once

#include <cstddef>
#include <string>

/// Appends realistic capture list lines to `out` until it holds at least
/// `bytes` bytes: CR LF line ends, one comment line in about twenty, clip paths
/// of 20 to 120 bytes with spaces in folder and file names. The same `bytes`
/// always give the same lines.
void generateCaptureList(std::string& out, std::size_t bytes);

/// One clip line whose clip path is `pathBytes` bytes long, with CR LF.
std::string longCaptureLine(std::size_t pathBytes);
