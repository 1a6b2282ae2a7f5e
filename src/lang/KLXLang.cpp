#include "lang/KLXLang.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/ScopeGuard.h"

namespace orv {

TKLXLanguage* GlobalLanguage = nullptr;
std::vector<TLanguageInitObject*>* LanguageInitList = nullptr;

namespace {

uint64_t gNextSerial = 1;

// The one escape of the format: "#13#10" stands for a line break inside a value.
std::string Unescape(std::string line) {
  static const std::string kEscape = "#13#10";
  for (size_t pos = line.find(kEscape); pos != std::string::npos; pos = line.find(kEscape, pos + 2))
    line.replace(pos, kEscape.size(), "\r\n");
  return line;
}

std::vector<std::string> ReadLines(TStream& stream) {
  int64_t left = std::max<int64_t>(stream.Size() - stream.Position(), 0);
  std::string text(static_cast<size_t>(left), '\0');
  if (left > 0) stream.ReadBuffer(text.data(), left);
  std::vector<std::string> lines = SplitLines(text.data(), text.size());
  for (std::string& line : lines) line = Unescape(std::move(line));
  return lines;
}

template <typename Entry>
Entry* Register(Entry* entry) {
  entry->Serial = gNextSerial++;
  LanguageInitList->push_back(entry);
  try {
    entry->Run();
  } catch (...) {
    // A text that cannot be applied keeps the old one; registering must still succeed.
  }
  return entry;
}

}  // namespace

TKLXWords::TKLXWords() {
  SetCaseSensitive(false);
  SetSorted(true);
  SetDuplicates(TDuplicates::dupIgnore);
}

void TKLXWords::LoadFromStream(TStream& stream) {
  std::vector<std::string> lines = ReadLines(stream);
  WithUpdate(*this, [&] {
    for (const std::string& line : lines) Add(line);
  });
}

void TKLXLanguageHeader::Assign(const TPersistent* source) {
  if (auto* h = dynamic_cast<const TKLXLanguageHeader*>(source)) {
    Version = h->Version;
    LanguageID = h->LanguageID;
    CodePage = h->CodePage;
    LanguageName = h->LanguageName;
    Author = h->Author;
    AuthorEmail = h->AuthorEmail;
    AuthorURL = h->AuthorURL;
    ProgramName = h->ProgramName;
    ProgramVersion = h->ProgramVersion;
    Comment = h->Comment;
    return;
  }
  TPersistent::Assign(source);
}

void TKLXBinItem::Assign(const TPersistent* source) {
  if (auto* item = dynamic_cast<const TKLXBinItem*>(source)) {
    if (item == this) return;
    name_ = item->name_;
    kind_ = item->kind_;
    Tag = item->Tag;
    stream_.Clear();
    const std::string data = item->stream_.ToString();
    stream_.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    stream_.SetPosition(0);
    return;
  }
  TPersistent::Assign(source);
}

TKLXBinItem* TKLXBinList::Add() {
  items_.push_back(std::make_unique<TKLXBinItem>());
  return items_.back().get();
}

void TKLXBinList::Delete(int index) {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  items_.erase(items_.begin() + index);
}

TKLXLanguage::TKLXLanguage() : header_(new TKLXLanguageHeader), words_(new TKLXWords), binItems_(new TKLXBinList) {}

TKLXLanguage::~TKLXLanguage() {
  delete binItems_;
  delete words_;
  delete header_;
}

void TKLXLanguage::Clear() {
  words_->Clear();
  binItems_->Clear();
}

void TKLXLanguage::MergeText(TStream& stream) {
  for (const std::string& line : ReadLines(stream)) words_->Add(line);
  if (notifyOnLoad_ && this == GlobalLanguage) LanguageChanged();
}

void TKLXLanguage::LoadText(TStream& stream) {
  Clear();
  MergeText(stream);
}

std::string TKLXLanguage::GetWord(const std::string& key) const {
  for (int i = 0; i < words_->Count(); ++i) {
    std::string entry = words_->Get(i);
    size_t eq = entry.find('=');
    if (eq != std::string::npos && AnsiCompareText(entry.substr(0, eq), key) == 0) return entry.substr(eq + 1);
  }
  return "";
}

void TKLXLanguage::Assign(const TPersistent* source) {
  auto* lang = dynamic_cast<const TKLXLanguage*>(source);
  if (!lang) {
    TPersistent::Assign(source);
    return;
  }
  if (lang == this) return;
  header_->Assign(lang->header_);
  words_->Assign(lang->words_);
  binItems_->Clear();
  for (int i = 0; i < lang->binItems_->Count(); ++i) binItems_->Add()->Assign(lang->binItems_->Items(i));
  notifyOnLoad_ = lang->notifyOnLoad_;
  if (this == GlobalLanguage) LanguageChanged();
}

void TProcedureObject::Run() {
  // The callback may unregister (and so free) this very entry: keep nothing from it.
  TProcedure proc = Proc;
  if (proc) proc();
}

void TMethodObject::Run() {
  std::function<void()> method = Method;
  if (method) method();
}

TProcedureObject* RegisterLanguageProc(TProcedureObject::TProcedure proc) {
  return Register(new TProcedureObject(proc));
}

TMethodObject* RegisterLanguageMethod(std::function<void()> method) {
  return Register(new TMethodObject(std::move(method)));
}

void UnregisterLanguageInit(TLanguageInitObject* entry) {
  if (!LanguageInitList || !entry) return;
  auto it = std::find(LanguageInitList->begin(), LanguageInitList->end(), entry);
  if (it == LanguageInitList->end()) return;
  LanguageInitList->erase(it);
  delete entry;
}

void LanguageChanged() {
  if (!LanguageInitList) return;
  struct Snap {
    TLanguageInitObject* entry;
    uint64_t serial;
  };
  std::vector<Snap> snapshot;
  for (TLanguageInitObject* e : *LanguageInitList) snapshot.push_back({e, e->Serial});
  for (const Snap& s : snapshot) {
    // Present and the same registration: an entry freed meanwhile may share its address
    // with a new one.
    auto it = std::find(LanguageInitList->begin(), LanguageInitList->end(), s.entry);
    if (it == LanguageInitList->end() || (*it)->Serial != s.serial) continue;
    try {
      s.entry->Run();
    } catch (...) {
      // One window that cannot take the new texts must not keep the others from them.
    }
  }
}

void InitializeKLXLang() {
  GlobalLanguage = new TKLXLanguage;
  LanguageInitList = new std::vector<TLanguageInitObject*>;
}

void FinalizeKLXLang() {
  // Entries still registered are freed with the list; they do not run again.
  if (LanguageInitList)
    for (TLanguageInitObject* e : *LanguageInitList) delete e;
  delete LanguageInitList;
  LanguageInitList = nullptr;
  delete GlobalLanguage;
  GlobalLanguage = nullptr;
}

}  // namespace orv
