#include "run/locale_code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LocaleCodePageTest, DoubleByteCodesetsGiveTheirCodePage) {
  const std::pair<std::string, int> cases[] = {
      {"ja_JP.SJIS", 932},       {"ja_JP.Shift_JIS", 932},   {"ja_JP.shift-jis", 932},
      {"ja_JP.CP932", 932},      {"ja_JP.WINDOWS-31J", 932}, {"ja_JP.MS_Kanji", 932},
      {"zh_CN.GBK", 936},        {"zh_CN.cp936", 936},       {"zh_CN.GB2312", 936},
      {"zh_CN.GB18030", 936},    {"ko_KR.EUC-KR", 949},      {"ko_KR.euckr", 949},
      {"ko_KR.CP949", 949},      {"ko_KR.UHC", 949},         {"zh_TW.BIG5", 950},
      {"zh_HK.BIG5-HKSCS", 950}, {"zh_TW.cp950", 950},       {"ko_KR.JOHAB", 1361},
      {"ko_KR.CP1361", 1361},    {"ja_JP.SJIS@euro", 932},   {".sjis", 932},
  };
  for (const auto& [locale, codePage] : cases)
    EXPECT_EQ(codePage, codePageForLocale(locale)) << locale;
}

TEST(LocaleCodePageTest, EverythingElseHasNoLeadBytes) {
  const std::string locales[] = {"",
                                 "C",
                                 "POSIX",
                                 "C.UTF-8",
                                 "ja_JP.UTF-8",
                                 "ja_JP",
                                 "ja_JP.eucJP",
                                 "en_US.ISO-8859-1",
                                 "ja_JP@SJIS",
                                 "ja_JP.SJISX",
                                 "de_DE.utf8"};
  for (const std::string& locale : locales) EXPECT_EQ(0, codePageForLocale(locale)) << locale;
}

}  // namespace
