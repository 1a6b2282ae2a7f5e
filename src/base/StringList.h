#pragma once
// String lists: the abstract TStrings (which a control may implement over its own items) and
// TStringList, which can keep itself sorted, drop duplicates and compare with or without case.
#include <functional>
#include <string>
#include <vector>

#include "base/Component.h"

namespace orv {

class TStream;

// Text comparison in the user's locale. Natively a byte-wise comparison after ASCII case
// folding; the Windows start-up installs the system's own (CompareStringA).
using TTextCompare = int (*)(const std::string& a, const std::string& b);
void SetTextCompare(TTextCompare caseInsensitive, TTextCompare caseSensitive);
int AnsiCompareText(const std::string& a, const std::string& b);
int AnsiCompareStr(const std::string& a, const std::string& b);
std::string AnsiUpperCase(const std::string& s);

// Splits at CR LF, LF or CR; a NUL ends the text; a line end at the very end adds no empty line.
std::vector<std::string> SplitLines(const char* text, size_t length);

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
  std::string ClassName() const override { return "TStrings"; }

  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s);
  virtual TObject* GetObject(int index) const { return nullptr; }
  virtual void PutObject(int index, TObject* object) {}
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual int Add(const std::string& s);
  int AddObject(const std::string& s, TObject* object);
  void AddStrings(const TStrings& other);
  virtual int IndexOf(const std::string& s) const;
  int IndexOfObject(const TObject* object) const;

  std::string Strings(int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObject(index); }

  // "Name=Value" entries.
  int IndexOfName(const std::string& name) const;
  std::string Names(int index) const;
  std::string Values(const std::string& name) const;

  // Lines joined with CR LF, each line followed by one; SetText splits as SplitLines does.
  std::string Text() const;
  void SetText(const std::string& text);
  // Replaces the content with the lines of Stream, from its position to its end.
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  void Assign(const TPersistent* source) override;

protected:
  virtual void SetUpdateState(bool updating) {}
  virtual int CompareStrings(const std::string& a, const std::string& b) const { return AnsiCompareText(a, b); }

private:
  int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
  TStringList() = default;
  ~TStringList() override = default;
  std::string ClassName() const override { return "TStringList"; }

  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::string& s) override;
  int AddObjectSorted(const std::string& s, TObject* object);
  int IndexOf(const std::string& s) const override;

  // Binary search of a sorted list: true when found; Index is where S is or would go.
  bool Find(const std::string& s, int& index) const;
  void Sort();

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }

  std::function<void(TObject* sender)> OnChange;
  std::function<void(TObject* sender)> OnChanging;

protected:
  void SetUpdateState(bool updating) override;
  int CompareStrings(const std::string& a, const std::string& b) const override;
  void Changed();
  void Changing();

private:
  struct Item {
    std::string text;
    TObject* object = nullptr;
  };
  void CheckIndex(int index, bool allowEnd = false) const;
  void InsertItem(int index, const std::string& s, TObject* object);

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

}  // namespace orv
