// Micro-benchmarks of the conversion core over in-memory streams: how many
// bytes of capture list writeBatchList gets through per second, and how fast
// name stems are cut, under a single-byte and a double-byte code page.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/capture_list_generator.h"
#include "conversion/batch_list.h"
#include "conversion/byte_stream.h"
#include "conversion/lead_byte_table.h"
#include "conversion/line_feed_marks.h"
#include "conversion/path_names.h"

namespace {

// Counts what it is given and keeps nothing, so that the sink costs nothing.
class CountingSink : public ByteSink {
 public:
  bool write(const char* data, std::size_t size) override {
    benchmark::DoNotOptimize(data);
    bytes += size;
    return true;
  }
  std::size_t bytes = 0;
};

const std::string& captureList() {
  static const std::string text = [] {
    std::string generated;
    generateCaptureList(generated, 16u << 20);
    return generated;
  }();
  return text;
}

// Converts `text` as the benchmarks' loops do, over in-memory streams.
void convertOnce(const std::string& text) {
  MemorySource source(text);
  CountingSink sink;
  TextReader reader(source);
  TextWriter writer(sink);
  benchmark::DoNotOptimize(writeBatchList(reader, writer));
  writer.flush();
}

void convertCaptureList(benchmark::State& state, int codePage) {
  setLeadByteTable(builtInLeadByteRanges(codePage));
  listName = "tape01";
  const std::string& text = captureList();
  for (auto _ : state) convertOnce(text);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  setLeadByteTable({});
}

void BM_WriteBatchList(benchmark::State& state) { convertCaptureList(state, 0); }
void BM_WriteBatchListCodePage932(benchmark::State& state) { convertCaptureList(state, 932); }

void BM_WriteBatchListLongLine(benchmark::State& state) {
  const std::string text = longCaptureLine(static_cast<std::size_t>(state.range(0)));
  listName = "tape01";
  for (auto _ : state) convertOnce(text);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void cutNameStems(benchmark::State& state, int codePage) {
  setLeadByteTable(builtInLeadByteRanges(codePage));
  const std::vector<std::string> paths = {
      "D:\\capture\\Tape 01\\clip 0003.avi",
      "E:\\archive\\2019\\wedding\\cam A\\interview part 0042.mov",
      "D:\\raw\\shot 0001____________________________________.AVI",
      "C:tape01.cbl",
      "D:\\\x95\x5C\\\x83\x65\x81\x5B\x83\x76 01.avi",
  };
  std::size_t bytes = 0;
  for (const std::string& path : paths) bytes += path.size();
  for (auto _ : state) {
    for (const std::string& path : paths) benchmark::DoNotOptimize(nameStem(path));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  setLeadByteTable({});
}

void BM_NameStem(benchmark::State& state) { cutNameStems(state, 0); }
void BM_NameStemCodePage932(benchmark::State& state) { cutNameStems(state, 932); }

// The block pass of the reader, over one 64 KiB block of a capture list.
void markBlock(benchmark::State& state, LineFeedMarker mark) {
  if (mark == nullptr) {
    state.SkipWithError("no such marker in this build or on this processor");
    return;
  }
  const std::string block = captureList().substr(0, 64 * 1024);
  std::vector<std::uint64_t> lineFeeds(block.size() / 64);
  for (auto _ : state) {
    benchmark::DoNotOptimize(mark(block.data(), lineFeeds.size(), lineFeeds.data()));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * block.size()));
}

void BM_MarkLineFeeds(benchmark::State& state) { markBlock(state, markLineFeeds); }
void BM_MarkLineFeedsAvx2(benchmark::State& state) {
  markBlock(state, canMarkWithAvx2() ? markLineFeedsAvx2 : nullptr);
}

}  // namespace

BENCHMARK(BM_WriteBatchList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBatchListCodePage932)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBatchListLongLine)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkLineFeeds);
BENCHMARK(BM_MarkLineFeedsAvx2);
BENCHMARK(BM_NameStem);
BENCHMARK(BM_NameStemCodePage932);

BENCHMARK_MAIN();
