#include "conversion/lead_byte_table.h"

#include <array>

namespace {

constexpr LeadByteRange kShiftJis[] = {{0x81, 0x9F}, {0xE0, 0xFC}};
constexpr LeadByteRange kWideLead[] = {{0x81, 0xFE}};
constexpr LeadByteRange kJohab[] = {{0x81, 0xD3}, {0xD8, 0xDE}, {0xE0, 0xF9}};

std::array<bool, 256> leadBytes{};
bool anyLeadByte = false;

}  // namespace

std::span<const LeadByteRange> builtInLeadByteRanges(int codePage) {
  switch (codePage) {
    case 932:
      return kShiftJis;
    case 936:
    case 949:
    case 950:
      return kWideLead;
    case 1361:
      return kJohab;
    default:
      return {};
  }
}

void setLeadByteTable(std::span<const LeadByteRange> ranges) {
  leadBytes.fill(false);
  anyLeadByte = false;
  for (const LeadByteRange& range : ranges) {
    for (unsigned byte = range.first; byte <= range.last; ++byte) {
      leadBytes[byte] = true;
      anyLeadByte = true;
    }
  }
}

bool isLeadByte(unsigned char byte) { return leadBytes[byte]; }

bool hasLeadBytes() { return anyLeadByte; }
