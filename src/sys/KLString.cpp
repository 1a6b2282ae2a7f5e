#include "sys/KLString.h"

#include <cctype>
#include <limits>

#include "base/Exceptions.h"

namespace orv {

std::string RectToStr(const TRect& R) {
  return std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
         std::to_string(R.Bottom);
}

namespace {

int32_t StrToIntDef(const std::string& s, int32_t def) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  if (i == s.size()) return def;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return def;
    v = v * 10 + (s[i] - '0');
    if (v > int64_t{std::numeric_limits<int32_t>::max()} + 1) return def;
  }
  v = negative ? -v : v;
  if (v > std::numeric_limits<int32_t>::max()) return def;
  return static_cast<int32_t>(v);
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

TRect StrToRect(const std::string& S) {
  try {
    // Right needs the comma that ends it; Bottom may run to the end of the text. A text of
    // three fields therefore has neither ("1,2,3" is 1, 2, 0, 0).
    const std::string text = S + ",";
    return TRect{StrToIntDef(ExtractField(text, 0, ','), 0), StrToIntDef(ExtractField(text, 1, ','), 0),
                 StrToIntDef(ExtractField(S, 2, ','), 0), StrToIntDef(ExtractField(text, 3, ','), 0)};
  } catch (const std::exception&) {
    // Text that cannot be read as a rectangle is an empty one: it comes from stored settings.
    return TRect{};
  }
}

std::string ExtractField(const std::string& S, int Index, char Separator) {
  if (Index < 0) return {};
  size_t start = 0;
  for (int i = 0; i < Index; ++i) {
    size_t sep = S.find(Separator, start);
    if (sep == std::string::npos) return {};
    start = sep + 1;
  }
  size_t end = S.find(Separator, start);
  if (end == std::string::npos) return {};
  return S.substr(start, end - start);
}

std::string ReplaceText(const std::string& S, const std::string& Old, const std::string& New, bool CaseSensitive) {
  if (Old.empty()) return S;
  std::string out;
  size_t i = 0;
  while (i < S.size()) {
    bool match = i + Old.size() <= S.size();
    for (size_t k = 0; match && k < Old.size(); ++k)
      match = CaseSensitive ? S[i + k] == Old[k] : Lower(S[i + k]) == Lower(Old[k]);
    if (match) {
      out += New;
      i += Old.size();
    } else {
      out += S[i++];
    }
  }
  return out;
}

std::string IncludeTrailingBackslash(const std::string& S) {
  if (S.empty() || S.back() == '\\') return S;
  return S + '\\';
}

std::string Trim(const std::string& S) {
  size_t first = 0, last = S.size();
  while (first < last && static_cast<unsigned char>(S[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(S[last - 1]) <= ' ') --last;
  return S.substr(first, last - first);
}

std::string QuoteIfSpaced(const std::string& S) {
  const std::string t = Trim(S);
  const bool quoted = t.size() >= 2 && t.front() == '"' && t.back() == '"';
  if (t.find(' ') != std::string::npos && !quoted) return '"' + t + '"';
  return t;
}

void WriteStringBytes(TStream& Stream, const std::string& S) {
  Stream.WriteBuffer(S.data(), static_cast<int64_t>(S.size()));
}

std::string ReadStringBytes(TStream& Stream, int64_t Count) {
  try {
    const int64_t left = Stream.Size() - Stream.Position();
    if (Count == -1) Count = left;
    // Allocating first would let a bad count ask for gigabytes.
    if (Count <= 0 || Count > left) return {};
    std::string s(static_cast<size_t>(Count), '\0');
    Stream.ReadBuffer(s.data(), Count);
    return s;
  } catch (const Exception&) {
    // The contract: bytes that cannot be read give "", the caller decides what that means.
    return {};
  }
}

TObjStringList::~TObjStringList() { Clear(); }

void TObjStringList::Clear() {
  for (int i = 0; i < Count(); ++i) delete GetObject(i);
  TStringList::Clear();
}

void TObjStringList::Delete(int index) {
  delete GetObject(index);
  TStringList::Delete(index);
}

}  // namespace orv
