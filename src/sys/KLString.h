#pragma once
// Small text helpers shared by the units.
#include <string>

#include "base/Streams.h"
#include "base/StringList.h"
#include "base/Types.h"

#ifdef ReplaceText
#undef ReplaceText
#endif

namespace orv {

// "Left,Top,Right,Bottom" in decimal.
std::string RectToStr(const TRect& R);
// A field that is not a decimal integer gives 0 for that edge.
TRect StrToRect(const std::string& S);
// The text between the Index-th separator (the start for 0) and the next one; the part
// after the last separator, an empty field and an index past the last separator give "".
std::string ExtractField(const std::string& S, int Index, char Separator);
// Every occurrence of Old, left to right, without re-scanning replaced text.
std::string ReplaceText(const std::string& S, const std::string& Old, const std::string& New, bool CaseSensitive);
// With a backslash at the end; "" stays "".
std::string IncludeTrailingBackslash(const std::string& S);
// Without the blanks at either end: the space and every control character below it (tab, CR,
// LF, NUL, ...), so that text from the registry, the system's messages and the shell all lose
// what they may end with.
std::string Trim(const std::string& S);
// Trimmed; enclosed in double quotes when it holds a space and is not already quoted.
std::string QuoteIfSpaced(const std::string& S);
// The string's bytes at the stream's position, no length, no terminator.
void WriteStringBytes(TStream& Stream, const std::string& S);
// Count bytes from the stream's position (-1: all that are left); "" when they cannot be read.
std::string ReadStringBytes(TStream& Stream, int64_t Count);

// A string list that owns the object attached to each entry.
class TObjStringList : public TStringList {
public:
  TObjStringList() = default;
  ~TObjStringList() override;
  std::string ClassName() const override { return "TObjStringList"; }

  // Frees every attached object, then empties the list.
  void Clear() override;
  // Frees the entry's object first.
  void Delete(int index) override;
};

}  // namespace orv
