// Draws the program's icon and writes it, as an .ico file, to standard
// output: one image of 32 by 32 pixels in 16 colours. A film strip, an arrow
// and a page of rows: a capture list going into a batch list.
//
//   draw_icon > resources/cap2batch.ico

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kSize = 32;

// One letter per pixel, top row first; '.' is transparent.
constexpr std::array<std::string_view, kSize> kPicture = {
    "................................",  //
    "................................",  //
    "KKKKKKKKK....KKKKKKKKKKKKKK.....",  //
    "KWKAAAKWK....KWWWWWWWWWWWWKK....",  //
    "KKKAAAKKK....KWWWWWWWWWWWWKSK...",  //
    "KKKTTTKKK....KWWWWWWWWWWWWKSSK..",  //
    "KWKTTTKWK....KWWWWWWWWWWWWKSSSK.",  //
    "KKKKKKKKK....KWWWWWWWWWWWWKSSSSK",  //
    "KKKAAAKKK....KWWWWWWWWWWWWKKKKKK",  //
    "KWKAAAKWK....KWWWWWWWWWWWWWWWWWK",  //
    "KKKTTTKKK....KWWWWWWWWWWWWWWWWWK",  //
    "KKKTTTKKK....KWWNNNNWGGGGWGGGGWK",  //
    "KWKKKKKWK...RKWWWWWWWWWWWWWWWWWK",  //
    "KKKAAAKKK...RRWWWWWWWWWWWWWWWWWK",  //
    "KKKAAAKKK...RRRWNNNNWGGGGWGGGGWK",  //
    "KWKTTTKWKRRRRRRRWWWWWWWWWWWWWWWK",  //
    "KKKTTTKKKRRRRRRRWWWWWWWWWWWWWWWK",  //
    "KKKKKKKKK...RRRWNNNNWGGGGWGGGGWK",  //
    "KWKAAAKWK...RRWWWWWWWWWWWWWWWWWK",  //
    "KKKAAAKKK...RKWWWWWWWWWWWWWWWWWK",  //
    "KKKTTTKKK....KWWNNNNWGGGGWGGGGWK",  //
    "KWKTTTKWK....KWWWWWWWWWWWWWWWWWK",  //
    "KKKKKKKKK....KWWWWWWWWWWWWWWWWWK",  //
    "KKKAAAKKK....KWWNNNNWGGGGWGGGGWK",  //
    "KWKAAAKWK....KWWWWWWWWWWWWWWWWWK",  //
    "KKKTTTKKK....KWWWWWWWWWWWWWWWWWK",  //
    "KKKTTTKKK....KWWNNNNWGGGGWGGGGWK",  //
    "KWKKKKKWK....KWWWWWWWWWWWWWWWWWK",  //
    "KKKAAAKKK....KWWWWWWWWWWWWWWWWWK",  //
    "KKKKKKKKK....KKKKKKKKKKKKKKKKKKK",  //
    "................................",  //
    "................................",  //
};

// The 16 colours of the classic Windows palette, as red, green, blue, with the
// letter that stands for each in the picture.
struct PaletteEntry {
  char letter;
  std::uint8_t red, green, blue;
};
constexpr std::array<PaletteEntry, 16> kPalette = {{
    {'K', 0x00, 0x00, 0x00},  // black
    {'M', 0x80, 0x00, 0x00},  // maroon
    {'E', 0x00, 0x80, 0x00},  // green
    {'O', 0x80, 0x80, 0x00},  // olive
    {'N', 0x00, 0x00, 0x80},  // navy
    {'P', 0x80, 0x00, 0x80},  // purple
    {'T', 0x00, 0x80, 0x80},  // teal
    {'S', 0xC0, 0xC0, 0xC0},  // silver
    {'G', 0x80, 0x80, 0x80},  // gray
    {'R', 0xFF, 0x00, 0x00},  // red
    {'L', 0x00, 0xFF, 0x00},  // lime
    {'Y', 0xFF, 0xFF, 0x00},  // yellow
    {'B', 0x00, 0x00, 0xFF},  // blue
    {'F', 0xFF, 0x00, 0xFF},  // fuchsia
    {'A', 0x00, 0xFF, 0xFF},  // aqua
    {'W', 0xFF, 0xFF, 0xFF},  // white
}};

// Palette index of a picture letter; transparent pixels take index 0 under
// a set mask bit. Returns -1 for a letter not in the palette.
int colourIndex(char letter) {
  if (letter == '.') return 0;
  for (std::size_t i = 0; i < kPalette.size(); ++i) {
    if (kPalette[i].letter == letter) return static_cast<int>(i);
  }
  return -1;
}

void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

int main() {
  constexpr std::uint32_t kColourRowBytes = kSize / 2;  // 4 bits a pixel
  constexpr std::uint32_t kMaskRowBytes = kSize / 8;    // 1 bit a pixel, rows of 4 bytes
  constexpr std::uint32_t kHeaderBytes = 40;
  constexpr std::uint32_t kImageBytes =
      kHeaderBytes + 4 * kPalette.size() + (kColourRowBytes + kMaskRowBytes) * kSize;

  std::string ico;
  // Icon directory: one image.
  putLittleEndian(ico, 0, 2);
  putLittleEndian(ico, 1, 2);
  putLittleEndian(ico, 1, 2);
  ico += static_cast<char>(kSize);
  ico += static_cast<char>(kSize);
  ico += static_cast<char>(kPalette.size());
  ico += '\0';
  putLittleEndian(ico, 1, 2);  // colour planes
  putLittleEndian(ico, 4, 2);  // bits a pixel
  putLittleEndian(ico, kImageBytes, 4);
  putLittleEndian(ico, 6 + 16, 4);  // where the image starts

  // Bitmap header; the height counts the colour image and the mask together.
  putLittleEndian(ico, kHeaderBytes, 4);
  putLittleEndian(ico, kSize, 4);
  putLittleEndian(ico, 2 * kSize, 4);
  putLittleEndian(ico, 1, 2);
  putLittleEndian(ico, 4, 2);
  putLittleEndian(ico, 0, 4);  // uncompressed
  putLittleEndian(ico, (kColourRowBytes + kMaskRowBytes) * kSize, 4);
  putLittleEndian(ico, 0, 4);
  putLittleEndian(ico, 0, 4);
  putLittleEndian(ico, kPalette.size(), 4);
  putLittleEndian(ico, 0, 4);
  for (const PaletteEntry& entry : kPalette) {
    ico += static_cast<char>(entry.blue);
    ico += static_cast<char>(entry.green);
    ico += static_cast<char>(entry.red);
    ico += '\0';
  }

  // Rows are stored bottom row first; every picture letter must be known.
  std::string colours;
  std::string mask;
  for (std::size_t row = kSize; row-- > 0;) {
    const std::string_view pixels = kPicture[row];
    if (pixels.size() != kSize) return 1;
    for (std::size_t x = 0; x < kSize; x += 2) {
      const int left = colourIndex(pixels[x]);
      const int right = colourIndex(pixels[x + 1]);
      if (left < 0 || right < 0) return 1;
      colours += static_cast<char>(left << 4 | right);
    }
    for (std::size_t x = 0; x < kSize; x += 8) {
      unsigned bits = 0;
      for (std::size_t bit = 0; bit < 8; ++bit) {
        if (pixels[x + bit] == '.') bits |= 0x80u >> bit;  // a set bit is transparent
      }
      mask += static_cast<char>(bits);
    }
  }
  ico += colours;
  ico += mask;

  return std::fwrite(ico.data(), 1, ico.size(), stdout) == ico.size() ? 0 : 1;
}
