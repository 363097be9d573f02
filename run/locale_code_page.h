#pragma once

#include <string_view>

/// The Windows code page that a POSIX locale name stands for, from its codeset
/// (after the dot, before any '@'; case, '-' and '_' ignored): the Japanese,
/// Chinese, Korean and Johab double-byte codesets give 932, 936, 949, 950 or
/// 1361. Any other codeset, UTF-8 included, or none, gives 0: no lead bytes.
int codePageForLocale(std::string_view localeName);
