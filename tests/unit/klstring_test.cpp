// Text helpers.
#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "sys/KLString.h"

using namespace orv;

TEST(KLString, RectangleTextRoundTripsAndBadFieldsGiveZero) {
  EXPECT_EQ(RectToStr({10, 20, 30, 40}), "10,20,30,40");
  EXPECT_EQ(RectToStr({-1, 0, 2147483647, -2147483647 - 1}), "-1,0,2147483647,-2147483648");
  EXPECT_EQ(StrToRect("10,20,30,40"), (TRect{10, 20, 30, 40}));
  EXPECT_EQ(StrToRect("-1,0,2147483647,-2147483648"), (TRect{-1, 0, 2147483647, -2147483647 - 1}));
  EXPECT_EQ(StrToRect("10,x,30,40"), (TRect{10, 0, 30, 40}));
  EXPECT_EQ(StrToRect("10, 20,3a,99999999999"), (TRect{10, 0, 0, 0}));
  EXPECT_EQ(StrToRect("1,2"), (TRect{1, 2, 0, 0}));
  EXPECT_EQ(StrToRect("1,2,3"), (TRect{1, 2, 0, 0})) << "Right has no comma to end it";
  EXPECT_EQ(StrToRect("5,6,7,8,9"), (TRect{5, 6, 7, 8}));
  EXPECT_EQ(StrToRect("a,2,3,4"), (TRect{0, 2, 3, 4}));
  EXPECT_EQ(StrToRect(""), TRect{});
}

TEST(KLString, ExtractFieldTakesTheTextBetweenSeparators) {
  EXPECT_EQ(ExtractField("a,,b,", 0, ','), "a");
  EXPECT_EQ(ExtractField("a,,b,", 1, ','), "");
  EXPECT_EQ(ExtractField("a,,b,", 2, ','), "b");
  EXPECT_EQ(ExtractField("a,,b,c", 3, ','), "");
  EXPECT_EQ(ExtractField("a,,b,", 9, ','), "");
  EXPECT_EQ(ExtractField("a;b;", 1, ';'), "b");
}

TEST(KLString, ReplaceTextDoesNotRescanReplacedText) {
  EXPECT_EQ(ReplaceText("<PF>\\x<pf>", "<pf>", "C:\\Program Files\\", false),
            "C:\\Program Files\\\\xC:\\Program Files\\");
  EXPECT_EQ(ReplaceText("<PF><pf>", "<pf>", "X", true), "<PF>X");
  EXPECT_EQ(ReplaceText("aaa", "a", "aa", false), "aaaaaa");
  EXPECT_EQ(ReplaceText("abab", "aba", "", false), "b");
  EXPECT_EQ(ReplaceText("abc", "", "x", false), "abc");
}

TEST(KLString, PathAndCommandLineTidying) {
  EXPECT_EQ(IncludeTrailingBackslash(""), "");
  EXPECT_EQ(IncludeTrailingBackslash("C:"), "C:\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\"), "C:\\");
  EXPECT_EQ(QuoteIfSpaced("  C:\\Program Files\\a.exe \t"), "\"C:\\Program Files\\a.exe\"");
  EXPECT_EQ(QuoteIfSpaced("\"C:\\Program Files\\a.exe\""), "\"C:\\Program Files\\a.exe\"");
  EXPECT_EQ(QuoteIfSpaced("\"C:\\Program Files\\a.exe"), "\"\"C:\\Program Files\\a.exe\"");
  EXPECT_EQ(QuoteIfSpaced(" notepad.exe "), "notepad.exe");
  EXPECT_EQ(QuoteIfSpaced("   "), "");
}

TEST(KLString, TrimTakesBlanksAndControlCharactersFromBothEndsOnly) {
  EXPECT_EQ(Trim(" \t\r\nCard (E:)\r\n"), "Card (E:)");
  EXPECT_EQ(Trim(std::string("value\0", 6)), "value") << "a registry string's terminator";
  EXPECT_EQ(Trim("\va b\tc\f"), "a b\tc") << "inner blanks stay";
  EXPECT_EQ(Trim(" \t\r\n "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\xE9t\xE9 "), "\xE9t\xE9") << "bytes above 127 are text, not blanks";
}

TEST(KLString, RawStringBytes) {
  TMemoryStream m;
  WriteStringBytes(m, "hello");
  WriteStringBytes(m, "");
  EXPECT_EQ(m.ToString(), "hello");
  m.SetPosition(1);
  EXPECT_EQ(ReadStringBytes(m, 2), "el");
  EXPECT_EQ(ReadStringBytes(m, -1), "lo");
  EXPECT_EQ(ReadStringBytes(m, -1), "");
  m.SetPosition(3);
  EXPECT_EQ(ReadStringBytes(m, 5), "");
  EXPECT_EQ(ReadStringBytes(m, INT64_MAX), "");
  EXPECT_EQ(ReadStringBytes(m, -7), "");
}

namespace {
struct Tracked : TObject {
  Tracked(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
  ~Tracked() override { log_.push_back(name_); }
  std::vector<std::string>& log_;
  std::string name_;
};
}  // namespace

TEST(ObjStringList, FreesTheObjectsOfDeletedAndClearedEntries) {
  std::vector<std::string> freed;
  {
    TObjStringList list;
    list.AddObject("a", new Tracked(freed, "a"));
    list.Add("no object");
    list.AddObject("b", new Tracked(freed, "b"));
    list.AddObject("c", new Tracked(freed, "c"));
    list.Delete(2);
    EXPECT_EQ(freed, std::vector<std::string>{"b"});
    EXPECT_EQ(list.Strings(2), "c");
    list.Clear();
    EXPECT_EQ(freed, (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(list.Count(), 0);
    list.AddObject("d", new Tracked(freed, "d"));
  }
  EXPECT_EQ(freed, (std::vector<std::string>{"b", "a", "c", "d"}));
}
