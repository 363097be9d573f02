#pragma once

#include <span>

/// An inclusive range of bytes that begin a two-byte character.
struct LeadByteRange {
  unsigned char first;
  unsigned char last;
};

/// The lead-byte ranges known without asking the system, for the double-byte
/// code pages 932, 936, 949, 950 and 1361. Empty for any other code page.
std::span<const LeadByteRange> builtInLeadByteRanges(int codePage);

/// Sets the lead-byte table to exactly `ranges`. The program does this once at
/// start-up, before any name rule runs; tests call it to switch code pages.
void setLeadByteTable(std::span<const LeadByteRange> ranges);

/// True when `byte` begins a two-byte character in the active code page.
bool isLeadByte(unsigned char byte);

/// True when the active code page has any lead byte at all.
bool hasLeadBytes();
