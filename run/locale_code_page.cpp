#include "run/locale_code_page.h"

#include <string>

namespace {

struct CodesetCodePage {
  std::string_view codeset;
  int codePage;
};

constexpr CodesetCodePage kDoubleByteCodesets[] = {
    {"SJIS", 932},   {"SHIFTJIS", 932}, {"CP932", 932},  {"WINDOWS31J", 932}, {"MSKANJI", 932},
    {"GBK", 936},    {"CP936", 936},    {"GB2312", 936}, {"GB18030", 936},    {"EUCKR", 949},
    {"CP949", 949},  {"UHC", 949},      {"BIG5", 950},   {"BIG5HKSCS", 950},  {"CP950", 950},
    {"JOHAB", 1361}, {"CP1361", 1361},
};

}  // namespace

int codePageForLocale(std::string_view localeName) {
  const std::size_t dot = localeName.find('.');
  if (dot == std::string_view::npos) return 0;
  std::string_view codeset = localeName.substr(dot + 1);
  codeset = codeset.substr(0, codeset.find('@'));

  std::string normalized;
  for (const char byte : codeset) {
    if (byte == '-' || byte == '_') continue;
    normalized += (byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 'a' + 'A') : byte;
  }
  for (const CodesetCodePage& entry : kDoubleByteCodesets) {
    if (entry.codeset == normalized) return entry.codePage;
  }
  return 0;
}
