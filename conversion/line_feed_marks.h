#pragma once

#include <cstddef>
#include <cstdint>

/// Marks the line feeds of a block: for each of the `words` runs of 64 bytes at
/// `at`, sets word i of `lineFeeds` to the LF bits of run i (bit j for its
/// byte j). Returns true when any of the bytes is a NUL or 0x1A, so that the
/// same pass tells whether the block needs a closer look for either.
using LineFeedMarker = bool (*)(const char* at, std::size_t words, std::uint64_t* lineFeeds);

/// The marker that runs on every processor the program runs on.
bool markLineFeeds(const char* at, std::size_t words, std::uint64_t* lineFeeds);

/// The same with 32-byte vectors, for x86-64 processors that have AVX2; null
/// where the build has no such version.
extern const LineFeedMarker markLineFeedsAvx2;

/// True when the build has markLineFeedsAvx2 and this processor (and its
/// operating system) can run it.
bool canMarkWithAvx2();

/// The fastest marker this processor runs, chosen once.
LineFeedMarker fastestLineFeedMarker();
