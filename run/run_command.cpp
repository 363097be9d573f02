#include "run/run_command.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include "conversion/batch_list.h"
#include "conversion/path_names.h"
#include "conversion/text_reader.h"
#include "conversion/text_writer.h"

namespace {

// What a failure says is never shown; it only ends the run with -1.
struct RunFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void echoPaths(ByteSink& out, const std::string& inputPath, const std::string& outputPath) {
  TextWriter echo(out);
  echo.write("IN:" + inputPath + "\nOUT:" + outputPath + "\n");
}

}  // namespace

int runCommand(int argc, const char* const argv[], Platform& platform) {
  if (argc < 2) return -2;

  try {
    const std::string inputPath = argv[1];
    listName = nameStem(inputPath);
    const std::string outputPath = outputPathFor(inputPath);
    echoPaths(platform.standardOutput(), inputPath, outputPath);

    std::unique_ptr<ReadableFile> captureFile = platform.openForReading(inputPath);
    if (!captureFile) throw RunFailure("no-file");
    // An input named like its own batch list (list.txt, LIST.TXT, a link)
    // would be emptied before it is read.
    if (captureFile->isSameFileAs(outputPath)) throw RunFailure("same-file");

    if (std::unique_ptr<ReadableFile> probe = platform.openForReading(outputPath)) {
      const std::string backupPath = backupPathFor(outputPath);
      probe->close();
      platform.renameWithoutReplacing(outputPath, backupPath);
    }

    std::unique_ptr<WritableFile> batchFile = platform.createForWriting(outputPath);
    if (!batchFile) throw RunFailure("no-batch-list");

    TextReader captureList(*captureFile);
    TextWriter batchList(*batchFile);
    const std::int64_t rows = writeBatchList(captureList, batchList);

    captureFile->close();
    const bool flushed = batchList.flush();
    const bool closed = batchFile->close();
    if (captureList.failed()) throw RunFailure("read-error");
    if (!flushed || !closed) throw RunFailure("write-error");

    if (rows > 0) platform.playCompletionChime();
    return 0;
  } catch (...) {
    return -1;
  }
}
