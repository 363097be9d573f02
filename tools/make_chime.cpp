// Writes the completion chime, resources/chime.wav: a short bell of three
// partials with a fast attack, an exponential decay and a fade to exact
// silence, as a RIFF WAVE file (PCM, mono, 22,050 Hz, 16 bits, 4,336 samples)
// with a "fmt " and a "data" chunk and nothing else.
//
// Usage: make_chime OUTPUT.wav
//
// The output must be the same bytes on every machine, because a test compares
// it with the committed file. So the synthesis uses only +, -, *, / and floor
// on doubles, which IEEE 754 rounds the same way everywhere, and computes sine
// and exp itself instead of trusting the math library's last bit.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kFramesPerSecond = 22050;
constexpr std::uint32_t kSampleCount = 4336;
constexpr double kPi = 3.14159265358979323846;

// A partial of the bell: frequency in Hz, peak level (1 is full scale) and
// the time in seconds in which it decays to 1/e.
struct Partial {
  double frequency;
  double level;
  double decaySeconds;
};

// E6 with its octave and twelfth: bright enough to be heard, short enough to
// end in 0.2 seconds. The upper partials die away first, as in a struck bell.
constexpr Partial kPartials[] = {
    {1318.51, 0.34, 0.085},
    {2637.02, 0.14, 0.050},
    {3955.53, 0.07, 0.030},
};
constexpr int kAttackSamples = 88;  // 4 ms: a quick strike without a click
constexpr int kFadeSamples = 441;   // 20 ms: the tail ends at exactly zero

// sin(x) for x in [-pi, pi], by its Taylor series.
double sine(double x) {
  const double square = x * x;
  double term = x;
  double sum = x;
  for (int n = 1; n <= 12; ++n) {
    term = -term * square / static_cast<double>((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

// sin(2 pi cycles), reduced to one period first.
double sineOfCycles(double cycles) {
  double angle = 2.0 * kPi * (cycles - std::floor(cycles));
  if (angle > kPi) angle -= 2.0 * kPi;
  return sine(angle);
}

double cosineOfHalfCycles(double halfCycles) { return sineOfCycles(halfCycles / 2.0 + 0.25); }

// e^x for x <= 0: the Taylor series on x / 1024, squared ten times.
double exponential(double x) {
  const double small = x / 1024.0;
  double term = 1.0;
  double sum = 1.0;
  for (int n = 1; n <= 12; ++n) {
    term = term * small / static_cast<double>(n);
    sum += term;
  }
  for (int i = 0; i < 10; ++i) sum *= sum;
  return sum;
}

std::vector<std::int16_t> synthesize() {
  std::vector<std::int16_t> samples(kSampleCount);
  for (std::uint32_t n = 0; n < kSampleCount; ++n) {
    const double seconds = static_cast<double>(n) / kFramesPerSecond;
    double value = 0.0;
    for (const Partial& partial : kPartials) {
      value += partial.level * exponential(-seconds / partial.decaySeconds) *
               sineOfCycles(partial.frequency * seconds);
    }
    const int position = static_cast<int>(n);
    if (position < kAttackSamples) {
      value *= 0.5 - 0.5 * cosineOfHalfCycles(static_cast<double>(position) / kAttackSamples);
    }
    const int fadePosition = position - static_cast<int>(kSampleCount - kFadeSamples);
    if (fadePosition >= 0) {
      value *=
          0.5 + 0.5 * cosineOfHalfCycles(static_cast<double>(fadePosition) / (kFadeSamples - 1));
    }
    samples[n] = static_cast<std::int16_t>(std::floor(value * 32767.0 + 0.5));
  }
  return samples;
}

void putTag(std::string& bytes, const char (&tag)[5]) { bytes.append(tag, 4); }

void putLittleEndian(std::string& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string waveFile(const std::vector<std::int16_t>& samples) {
  constexpr std::uint32_t kChannels = 1;
  constexpr std::uint32_t kBitsPerSample = 16;
  constexpr std::uint32_t kBlockAlign = kChannels * kBitsPerSample / 8;
  const auto dataSize = static_cast<std::uint32_t>(samples.size() * kBlockAlign);

  std::string bytes;
  putTag(bytes, "RIFF");
  putLittleEndian(bytes, 4 + (8 + 16) + (8 + dataSize), 4);
  putTag(bytes, "WAVE");
  putTag(bytes, "fmt ");
  putLittleEndian(bytes, 16, 4);
  putLittleEndian(bytes, 1, 2);  // PCM
  putLittleEndian(bytes, kChannels, 2);
  putLittleEndian(bytes, kFramesPerSecond, 4);
  putLittleEndian(bytes, kFramesPerSecond * kBlockAlign, 4);
  putLittleEndian(bytes, kBlockAlign, 2);
  putLittleEndian(bytes, kBitsPerSample, 2);
  putTag(bytes, "data");
  putLittleEndian(bytes, dataSize, 4);
  for (const std::int16_t sample : samples) {
    putLittleEndian(bytes, static_cast<std::uint16_t>(sample), 2);
  }
  return bytes;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fputs("usage: make_chime OUTPUT.wav\n", stderr);
    return 2;
  }
  const std::string bytes = waveFile(synthesize());
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_chime: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
