#include "conversion/capture_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

// Where each field lies in the text: offset and length.
std::string layout(std::string_view text, const CaptureFields& fields) {
  std::string result;
  for (const std::string_view field :
       {fields.number, fields.inPoint, fields.outPoint, fields.extra, fields.clipPath}) {
    result += std::to_string(field.data() - text.data()) + "+" + std::to_string(field.size()) + " ";
  }
  return result;
}

// A line read from a buffer is followed by whatever the buffer holds next; a
// split that reads past the line must never take those bytes for its own.
TEST(CaptureFieldsTest, BytesAfterTheTextNeverCount) {
  const std::string lines[] = {
      "7 00:01\t02:03  x  D:\\a b\\c.avi ",
      "  \t12 00:00:00:00 00:00:01:00 00:00:01:00 D:\\capture\\clip 003.avi",
      "1\x0B"
      "a\x0C"
      "b\rc\nd\x1F"
      "e\x08"
      "f\x0E"
      "g\x21",
      "   ; 1 a b c d",
      std::string(70, ' ') + "1 a",
      "1 a b " + std::string(60, 'w') + " c",
  };
  for (const std::string& line : lines) {
    for (std::size_t size = 0; size <= line.size(); ++size) {
      const std::string_view text(line.data(), size);
      CaptureFields alone;
      const bool clip = splitLineText(text, alone);
      for (const char after : {'x', ' ', ';', '\n', '\0', '\x80'}) {
        const std::string buffer = line.substr(0, size) + std::string(64, after);
        const std::string_view slackText(buffer.data(), size);
        CaptureFields inBuffer;
        ASSERT_EQ(clip, splitLineTextWithSlack(slackText, inBuffer)) << line << " " << size;
        if (clip) {
          EXPECT_EQ(layout(text, alone), layout(slackText, inBuffer))
              << line.substr(0, size) << " followed by " << int{after};
        }
      }
    }
  }
}

}  // namespace
