#pragma once
// The process-wide language table: lines "key=value" looked up by key, and the callbacks that
// re-apply texts each time a language text is loaded.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Streams.h"
#include "base/StringList.h"

namespace orv {

// Sorted, case-insensitive, duplicates dropped; loading adds to what is there.
class TKLXWords : public TStringList {
public:
  TKLXWords();
  std::string ClassName() const override { return "TKLXWords"; }
  void LoadFromStream(TStream& stream) override;
};

// Carried along for copies of a whole table; loading a text does not fill it.
class TKLXLanguageHeader : public TPersistent {
public:
  std::string ClassName() const override { return "TKLXLanguageHeader"; }
  void Assign(const TPersistent* source) override;

  int32_t Version = 0;
  int32_t LanguageID = 0;
  int32_t CodePage = 0;
  std::string LanguageName;
  std::string Author;
  std::string AuthorEmail;
  std::string AuthorURL;
  std::string ProgramName;
  std::string ProgramVersion;
  std::string Comment;
};

class TKLXBinItem : public TPersistent {
public:
  std::string ClassName() const override { return "TKLXBinItem"; }
  void Assign(const TPersistent* source) override;

  // Short strings: at most 255 characters are kept.
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) { name_ = value.substr(0, 255); }
  const std::string& Kind() const { return kind_; }
  void SetKind(const std::string& value) { kind_ = value.substr(0, 255); }
  int32_t Tag = 0;
  TMemoryStream& Stream() { return stream_; }
  const TMemoryStream& Stream() const { return stream_; }

private:
  std::string name_;
  std::string kind_;
  TMemoryStream stream_;
};

class TKLXBinList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TKLXBinItem* Items(int index) const { return items_.at(index).get(); }
  TKLXBinItem* Add();
  void Delete(int index);
  void Clear() { items_.clear(); }

private:
  std::vector<std::unique_ptr<TKLXBinItem>> items_;
};

class TKLXLanguage : public TPersistent {
public:
  TKLXLanguage();
  ~TKLXLanguage() override;
  std::string ClassName() const override { return "TKLXLanguage"; }

  TKLXWords* Words() const { return words_; }
  TKLXBinList* BinItems() const { return binItems_; }
  TKLXLanguageHeader* Header() const { return header_; }
  bool NotifyOnLoad() const { return notifyOnLoad_; }
  void SetNotifyOnLoad(bool value) { notifyOnLoad_ = value; }

  // Empties Words and BinItems; runs no callbacks.
  void Clear();
  // Adds the lines of the text from the stream's position on; the global table then runs
  // its callbacks (when NotifyOnLoad).
  void MergeText(TStream& stream);
  void LoadText(TStream& stream);
  // The value of the first entry in sorted order whose key equals Key ignoring case, or "".
  std::string GetWord(const std::string& key) const;
  void Assign(const TPersistent* source) override;

private:
  TKLXLanguageHeader* header_;
  TKLXWords* words_;
  TKLXBinList* binItems_;
  bool notifyOnLoad_ = true;
};

class TLanguageInitObject {
public:
  virtual ~TLanguageInitObject() = default;
  virtual void Run() = 0;
  uint64_t Serial = 0;
};

class TProcedureObject : public TLanguageInitObject {
public:
  using TProcedure = void (*)();
  explicit TProcedureObject(TProcedure proc) : Proc(proc) {}
  void Run() override;
  TProcedure Proc;
};

class TMethodObject : public TLanguageInitObject {
public:
  explicit TMethodObject(std::function<void()> method) : Method(std::move(method)) {}
  void Run() override;
  std::function<void()> Method;
};

extern TKLXLanguage* GlobalLanguage;
extern std::vector<TLanguageInitObject*>* LanguageInitList;

// Each registration runs its callback once at once; the entry is the handle to unregister.
TProcedureObject* RegisterLanguageProc(TProcedureObject::TProcedure proc);
TMethodObject* RegisterLanguageMethod(std::function<void()> method);
template <typename T>
TMethodObject* RegisterLanguageMethod(T* object, void (T::*method)()) {
  return RegisterLanguageMethod([object, method] { (object->*method)(); });
}
void UnregisterLanguageInit(TLanguageInitObject* entry);
// Runs every registered callback in registration order; one that raises is skipped.
void LanguageChanged();

void InitializeKLXLang();
void FinalizeKLXLang();

}  // namespace orv
