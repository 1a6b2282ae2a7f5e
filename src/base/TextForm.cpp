#include "base/TextForm.h"

#include <cctype>
#include <limits>

#include "base/Exceptions.h"
#include "base/Filer.h"
#include "base/TypeInfo.h"

namespace orv {

namespace {

enum class Tok { Eof, Symbol, String, Integer, Char };

bool IsIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

class Parser {
public:
  Parser(const std::string& text, TWriter& out, const TFileValueHandler& files)
      : text_(text), out_(out), files_(files) {
    Next();
  }

  void ConvertObject() {
    const TNestingLevel level(depth_);
    if (level.TooDeep()) Fail("Definition nested too deeply");
    uint8_t flags = 0;
    if (IsSymbol("inherited"))
      flags |= ffInherited;
    else if (IsSymbol("inline"))
      flags |= ffInline;
    else if (!IsSymbol("object"))
      Fail("'object' expected");
    Next();
    std::string name = TakeIdent();
    std::string className;
    if (IsChar(':')) {
      Next();
      className = TakeIdent();
    } else {
      className = name;
      name.clear();
    }
    int64_t childPos = 0;
    if (IsChar('[')) {
      Next();
      childPos = TakeInteger();
      Expect(']');
      flags |= ffChildPos;
    }
    if (flags) {
      out_.WriteValue(static_cast<TValueType>(0xF0 | flags));
      if (flags & ffChildPos) out_.WriteInteger(childPos);
    }
    out_.WriteShortString(className);
    out_.WriteShortString(name);
    while (!IsObjectStart() && !IsSymbol("end")) {
      if (tok_ == Tok::Eof) Fail("'end' expected");
      ConvertProperty();
    }
    out_.WriteListEnd();
    while (IsObjectStart()) ConvertObject();
    out_.WriteListEnd();
    if (!IsSymbol("end")) Fail("'end' expected");
    Next();
  }

  void ExpectEof() {
    if (tok_ != Tok::Eof) Fail("End of text expected");
  }

private:
  [[noreturn]] void Fail(const std::string& message) {
    throw EParserError(message + " on line " + std::to_string(line_));
  }

  bool IsChar(char c) const { return tok_ == Tok::Char && value_.size() == 1 && value_[0] == c; }
  bool IsSymbol(const char* s) const { return tok_ == Tok::Symbol && SameText(value_, s); }
  bool IsObjectStart() const { return IsSymbol("object") || IsSymbol("inherited") || IsSymbol("inline"); }

  void Expect(char c) {
    if (!IsChar(c)) Fail(std::string("'") + c + "' expected");
    Next();
  }

  std::string TakeIdent() {
    if (tok_ != Tok::Symbol) Fail("Identifier expected");
    std::string s = value_;
    Next();
    return s;
  }

  // A name with dots (Font.Style, OtherForm.Images).
  std::string TakeQualifiedIdent() {
    std::string s = TakeIdent();
    while (IsChar('.')) {
      Next();
      s += '.';
      s += TakeIdent();
    }
    if (s.size() > 255) Fail("Identifier too long");
    return s;
  }

  int64_t TakeInteger() {
    bool negative = false;
    if (IsChar('-')) {
      negative = true;
      Next();
    }
    if (tok_ != Tok::Integer) Fail("Integer expected");
    int64_t v = negative ? -integer_ : integer_;
    Next();
    return v;
  }

  void ConvertProperty() {
    std::string name = TakeQualifiedIdent();
    Expect('=');
    out_.WriteShortString(name);
    ConvertValue(name);
  }

  // The depth counts across the whole conversion: collections hold properties whose values
  // hold collections again.
  void ConvertValue(const std::string& propName) {
    const TNestingLevel level(depth_);
    if (level.TooDeep()) Fail("Value nested too deeply");
    if (IsChar('-') || tok_ == Tok::Integer) return out_.WriteInteger(TakeInteger());
    if (tok_ == Tok::String) return ConvertString();
    if (tok_ == Tok::Symbol) return out_.WriteIdent(TakeQualifiedIdent());
    if (IsChar('[')) return ConvertSet();
    if (IsChar('(')) return ConvertList(propName);
    if (IsChar('{')) return ConvertBinary();
    if (IsChar('<')) return ConvertCollection();
    if (IsChar('@')) return ConvertFileValue(propName);
    Fail(InvalidPropertyValue);
  }

  void ConvertString() {
    std::string s = value_;
    Next();
    while (IsChar('+')) {
      Next();
      if (tok_ != Tok::String) Fail("String expected");
      s += value_;
      Next();
    }
    out_.WriteString(s);
  }

  void ConvertSet() {
    Next();
    out_.WriteValue(vaSet);
    if (!IsChar(']')) {
      for (;;) {
        out_.WriteShortString(TakeIdent());
        if (!IsChar(',')) break;
        Next();
      }
    }
    Expect(']');
    out_.WriteShortString("");
  }

  void ConvertList(const std::string& propName) {
    Next();
    out_.WriteListBegin();
    while (!IsChar(')')) {
      if (tok_ == Tok::Eof) Fail("')' expected");
      ConvertValue(propName);
    }
    Next();
    out_.WriteListEnd();
  }

  void ConvertBinary() {
    const std::string bytes = TakeHexBinary();
    out_.WriteBinary(bytes.data(), static_cast<int64_t>(bytes.size()));
  }

  void ConvertCollection() {
    Next();
    out_.WriteValue(vaCollection);
    while (!IsChar('>')) {
      if (tok_ == Tok::Eof) Fail("'>' expected");
      if (!IsSymbol("item")) Fail("'item' expected");
      Next();
      out_.WriteListBegin();
      while (!IsSymbol("end")) {
        if (tok_ == Tok::Eof) Fail("'end' expected");
        ConvertProperty();
      }
      Next();
      out_.WriteListEnd();
    }
    Next();
    out_.WriteListEnd();
  }

  void ConvertFileValue(const std::string& propName) {
    if (!files_) Fail("File values are not allowed here");
    Next();
    if (!IsSymbol("file")) Fail("'file' expected");
    Next();
    Expect('(');
    if (tok_ != Tok::String) Fail("String expected");
    std::string path = value_;
    Next();
    Expect(')');
    std::string bytes = files_(propName, path);
    out_.WriteBinary(bytes.data(), static_cast<int64_t>(bytes.size()));
  }

  // Reads the raw text after '{' up to '}', since hex digits are not tokens of their own.
  std::string TakeHexBinary() {
    std::string bytes;
    int pending = -1;
    for (;;) {
      if (pos_ >= text_.size()) Fail("'}' expected");
      char c = text_[pos_++];
      if (c == '}') break;
      if (c == '\n') ++line_;
      if (std::isspace(static_cast<unsigned char>(c))) continue;
      if (!std::isxdigit(static_cast<unsigned char>(c))) Fail("Invalid binary value");
      int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
      if (pending < 0) {
        pending = digit;
      } else {
        bytes.push_back(static_cast<char>(pending * 16 + digit));
        pending = -1;
      }
    }
    if (pending >= 0) Fail("Invalid binary value");
    Next();
    return bytes;
  }

  void SkipBlanks() {
    for (;;) {
      while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
      }
      if (pos_ + 1 < text_.size() && text_[pos_] == '/' && text_[pos_ + 1] == '/') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        continue;
      }
      return;
    }
  }

  void Next() {
    SkipBlanks();
    value_.clear();
    if (pos_ >= text_.size()) {
      tok_ = Tok::Eof;
      return;
    }
    char c = text_[pos_];
    if (IsIdentStart(c)) {
      size_t start = pos_;
      while (pos_ < text_.size() && IsIdentChar(text_[pos_])) ++pos_;
      value_ = text_.substr(start, pos_ - start);
      tok_ = Tok::Symbol;
    } else if (c == '\'' || c == '#') {
      ReadStringToken();
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '$') {
      ReadNumber();
    } else {
      value_ = std::string(1, c);
      ++pos_;
      tok_ = Tok::Char;
    }
  }

  int64_t ReadDigits(int base) {
    const size_t start = pos_;
    uint64_t v = 0;
    while (pos_ < text_.size() && (base == 16 ? std::isxdigit(static_cast<unsigned char>(text_[pos_]))
                                              : std::isdigit(static_cast<unsigned char>(text_[pos_])))) {
      char d = text_[pos_++];
      const auto digit =
          static_cast<uint64_t>(std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : std::tolower(d) - 'a' + 10);
      // Checked before the step, which would wrap past 64 bits.
      constexpr auto max = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
      if (v > (max - digit) / static_cast<uint64_t>(base)) Fail("Number too large");
      v = v * static_cast<uint64_t>(base) + digit;
    }
    if (pos_ == start) Fail("Invalid number");
    return static_cast<int64_t>(v);
  }

  void ReadNumber() {
    if (text_[pos_] == '$') {
      ++pos_;
      integer_ = ReadDigits(16);
    } else {
      integer_ = ReadDigits(10);
      if (pos_ < text_.size() && (text_[pos_] == '.' || text_[pos_] == 'e' || text_[pos_] == 'E'))
        Fail("Floating-point values are not supported");
    }
    if (pos_ < text_.size() && IsIdentChar(text_[pos_])) Fail("Invalid number");
    tok_ = Tok::Integer;
  }

  // 'text' with '' for a quote, and #n / #$n bytes, in any order without blanks between.
  void ReadStringToken() {
    tok_ = Tok::String;
    for (;;) {
      if (pos_ >= text_.size()) return;
      char c = text_[pos_];
      if (c == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r') Fail("Unterminated string");
          char s = text_[pos_++];
          if (s == '\'') {
            if (pos_ < text_.size() && text_[pos_] == '\'') {
              value_ += '\'';
              ++pos_;
              continue;
            }
            break;
          }
          value_ += s;
        }
      } else if (c == '#') {
        ++pos_;
        int64_t code;
        if (pos_ < text_.size() && text_[pos_] == '$') {
          ++pos_;
          code = ReadDigits(16);
        } else {
          code = ReadDigits(10);
        }
        if (code > 255) Fail("Character code out of range");
        value_ += static_cast<char>(code);
      } else {
        return;
      }
    }
  }

  const std::string& text_;
  TWriter& out_;
  const TFileValueHandler& files_;
  size_t pos_ = 0;
  int line_ = 1;
  Tok tok_ = Tok::Eof;
  std::string value_;
  int64_t integer_ = 0;
  int depth_ = 0;
};

}  // namespace

void ObjectTextToBinary(const std::string& text, TStream& output, const TFileValueHandler& fileValues) {
  TWriter writer(output);
  Parser parser(text, writer, fileValues);
  writer.WriteSignature();
  parser.ConvertObject();
  parser.ExpectEof();
}

void ObjectTextToBinary(TStream& input, TStream& output, const TFileValueHandler& fileValues) {
  int64_t n = input.Size() - input.Position();
  std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
  input.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
  ObjectTextToBinary(text, output, fileValues);
}

}  // namespace orv
