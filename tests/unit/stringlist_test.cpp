#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "base/StringList.h"
#include "base/Streams.h"

using namespace orv;

namespace {
std::vector<std::string> Lines(const TStrings& l) {
  std::vector<std::string> r;
  for (int i = 0; i < l.Count(); ++i) r.push_back(l.Strings(i));
  return r;
}
}  // namespace

TEST(SplitLines, AcceptsEveryLineEndAndStopsAtNul) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb\r\n", 6), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\nb", 3), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\rb\r", 4), (V{"a", "b"}));
  EXPECT_EQ(SplitLines("a\n\nb\r\r\n", 7), (V{"a", "", "b", ""}));
  EXPECT_EQ(SplitLines("a\n\rb", 4), (V{"a", "", "b"}));
  const char withNul[] = {'a', '\n', 'b', '\0', 'c', '\n'};
  EXPECT_EQ(SplitLines(withNul, sizeof withNul), (V{"a", "b"}));
  EXPECT_TRUE(SplitLines("", 0).empty());
}

TEST(StringList, SortedCaseInsensitiveListDropsDuplicatesAndFinds) {
  TStringList l;
  l.SetSorted(true);
  l.Add("beta");
  l.Add("Alpha");
  l.Add("ALPHA");
  l.Add("gamma");
  l.Add("alpha=1");
  EXPECT_EQ(Lines(l), (std::vector<std::string>{"Alpha", "alpha=1", "beta", "gamma"}));
  int at = -1;
  EXPECT_TRUE(l.Find("BETA", at));
  EXPECT_EQ(at, 2);
  EXPECT_FALSE(l.Find("delta", at));
  EXPECT_EQ(at, 3);
  EXPECT_EQ(l.IndexOf("GAMMA"), 3);
  EXPECT_THROW(l.Insert(0, "x"), EListError);
}

TEST(StringList, DuplicatePoliciesApplyToSortedLists) {
  TStringList accept;
  accept.SetDuplicates(TDuplicates::dupAccept);
  accept.SetSorted(true);
  accept.Add("a");
  accept.Add("A");
  EXPECT_EQ(accept.Count(), 2);

  TStringList strict;
  strict.SetDuplicates(TDuplicates::dupError);
  strict.SetSorted(true);
  strict.Add("a");
  EXPECT_THROW(strict.Add("A"), EListError);

  TStringList unsorted;
  unsorted.Add("a");
  unsorted.Add("a");
  EXPECT_EQ(unsorted.Count(), 2);
}

TEST(StringList, CaseSensitiveListKeepsBothSpellings) {
  TStringList l;
  l.SetCaseSensitive(true);
  l.SetSorted(true);
  l.Add("a");
  l.Add("A");
  EXPECT_EQ(l.Count(), 2);
  EXPECT_NE(l.IndexOf("a"), l.IndexOf("A"));
}

TEST(StringList, ObjectsTravelWithTheirEntries) {
  TStringList l;
  TObject a, b;
  l.AddObject("b", &b);
  l.AddObject("a", &a);
  l.SetSorted(true);
  EXPECT_EQ(l.Objects(0), &a);
  EXPECT_EQ(l.Objects(1), &b);
  EXPECT_EQ(l.IndexOfObject(&b), 1);
  l.Delete(0);
  EXPECT_EQ(l.Objects(0), &b);
  EXPECT_THROW(l.Objects(1), EListError);
}

TEST(StringList, UpdateBracketRaisesOneChangeAtTheEnd) {
  TStringList l;
  int changes = 0;
  l.OnChange = [&](TObject*) { ++changes; };
  l.Add("x");
  EXPECT_EQ(changes, 1);
  l.BeginUpdate();
  l.Add("y");
  l.Add("z");
  l.BeginUpdate();
  l.EndUpdate();
  EXPECT_EQ(changes, 1);
  l.EndUpdate();
  EXPECT_EQ(changes, 2);
}

TEST(StringList, TextRoundTripAndNameValueLookup) {
  TStringList l;
  l.SetText("k1=v1\nK2=a=b\r\nplain");
  EXPECT_EQ(l.Count(), 3);
  EXPECT_EQ(l.Text(), "k1=v1\r\nK2=a=b\r\nplain\r\n");
  EXPECT_EQ(l.Values("k2"), "a=b");
  EXPECT_EQ(l.Names(0), "k1");
  EXPECT_EQ(l.IndexOfName("plain"), -1);

  TMemoryStream s;
  s.WriteBuffer("skip|one\rtwo", 12);
  s.SetPosition(5);
  TStringList fromStream;
  fromStream.Add("old");
  fromStream.LoadFromStream(s);
  EXPECT_EQ(Lines(fromStream), (std::vector<std::string>{"one", "two"}));
}

TEST(StringList, AssignCopiesEntriesAndRefusesOtherClasses) {
  TStringList a, b;
  a.Add("one");
  b.Add("stale");
  b.Assign(&a);
  EXPECT_EQ(Lines(b), (std::vector<std::string>{"one"}));
  TComponent c(nullptr);
  try {
    b.Assign(&c);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TStringList");
  }
}
