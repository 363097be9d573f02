#pragma once

#include <cstdint>
#include <string>

#include "conversion/text_reader.h"
#include "conversion/text_writer.h"

/// The first column of every row: the capture list's name stem. Set once by
/// the run before the conversion; empty until then.
extern std::string listName;

/// Converts a capture list into a batch list in one pass, one line and one
/// record at a time. Every clip line gives one row
/// "listName \t inPoint \t outPoint \t clip name \n", with ':' turned into ';'
/// in the two time columns; comment lines leave no trace. Returns the number
/// of rows written. Neither stream is opened, flushed or closed here, and no
/// error is reported: the caller asks the streams.
std::int64_t writeBatchList(TextReader& captureList, TextWriter& batchList);
