#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "shell/KLShellUtils.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>
#include <utility>

#include "gui/Forms.h"
#include "win/OSError.h"
#include "win/WinText.h"
#include "lang/KLXLang.h"
#include "sys/KLString.h"
#include "sys/KLSysUtils.h"

namespace orv {

std::string MyDocumentsPath;
std::string AppDataPath;
std::string HomePath;
TShellFolder* DesktopFolder = nullptr;

namespace {

bool gOleInitialized = false;

TComPtr<IMalloc> ShellAllocator() {
  IMalloc* malloc = nullptr;
  return TComPtr<IMalloc>(SUCCEEDED(SHGetMalloc(&malloc)) ? malloc : nullptr);
}

// A request that hands out a shell folder interface; a failed one gives none.
template <class Request>
TShellFolderRef Ask(Request request) {
  IShellFolder* raw = nullptr;
  const HRESULT hr = request(reinterpret_cast<void**>(&raw));
  return TShellFolderRef(SUCCEEDED(hr) ? raw : nullptr);
}

// The shell's name record in whichever of its three forms it came; a wide string given
// goes back to the shell's allocator.
std::string NameFromStrRet(STRRET& name, LPCITEMIDLIST item) {
  switch (name.uType) {
    case STRRET_WSTR: {
      const TCoTaskMem<wchar_t> text(name.pOleStr);
      return WideToAnsi(text.Get());
    }
    case STRRET_OFFSET: {
      const size_t count = item ? item->mkid.cb : 0;
      if (name.uOffset >= count) return {};
      const char* text = reinterpret_cast<const char*>(item) + name.uOffset;
      return std::string(text, strnlen(text, count - name.uOffset));
    }
    case STRRET_CSTR: return std::string(name.cStr, strnlen(name.cStr, sizeof(name.cStr)));
  }
  return {};
}

std::string DisplayNameOf(IShellFolder* parent, LPCITEMIDLIST item, SHGDNF kind) {
  STRRET name;
  std::memset(&name, 0, sizeof(name));
  if (FAILED(parent->GetDisplayNameOf(item, kind, &name))) return {};
  return NameFromStrRet(name, item);
}

// Some shells number unnamed items as "?1?2": the question marks are no part of the name.
std::string WithoutNumberMarks(const std::string& name) {
  if (name.size() < 2 || name[0] != '?' || !std::isdigit(static_cast<unsigned char>(name[1]))) return name;
  std::string kept;
  std::copy_if(name.begin(), name.end(), std::back_inserter(kept), [](char c) { return c != '?'; });
  return kept;
}

// The first "%s" of Format becomes Value.
std::string FormatWith(std::string format, const std::string& value) {
  const size_t at = format.find("%s");
  if (at != std::string::npos) format.replace(at, 2, value);
  return format;
}

bool OpenWithFallback(const std::string& link, const std::string& program, const std::string& protocol) {
  if (!program.empty()) return ShellOpen(0, program, link);
  if (ShellOpen(0, link)) return true;
  std::string defaultProgram, params;
  if (!GetDefaultProgram(protocol, defaultProgram, params)) return false;
  return ShellOpen(0, defaultProgram, params.empty() ? link : link + " " + params);
}

void ShowLinkError(const std::string& key, const std::string& link) {
  MessageBoxProc(FormatWith(GlobalLanguage->GetWord(key), link), GlobalLanguage->GetWord("CapError"), 32515, 0,
                 OkButtons);
}

// A per-user folder from the environment, with the documents folder for one that is not set.
std::string EnvironmentFolder(const char* reference) {
  char buf[MAX_PATH + 1] = {};
  const DWORD n = ExpandEnvironmentStringsA(reference, buf, MAX_PATH);
  if (n == 0 || n > MAX_PATH || std::strchr(buf, '%')) return GetSpecialFolderPath(CSIDL_PERSONAL);
  return IncludeTrailingBackslash(buf);
}

}  // namespace

void FreeIdList(LPITEMIDLIST list) {
  if (!list) return;
  if (const TComPtr<IMalloc> malloc = ShellAllocator()) malloc->Free(list);
}

TIdList AllocIdList(size_t size) {
  IMalloc* raw = nullptr;
  const HRESULT hr = SHGetMalloc(&raw);
  if (FAILED(hr) || !raw) throw OSError(static_cast<unsigned long>(hr), "Shell allocator");
  void* block = TComPtr<IMalloc>(raw)->Alloc(size);
  if (!block) throw OSError(ERROR_NOT_ENOUGH_MEMORY, "Shell allocator");
  std::memset(block, 0, size);
  return TIdList(static_cast<LPITEMIDLIST>(block));
}

LPCITEMIDLIST NextIdItem(LPCITEMIDLIST item) {
  return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(item) + item->mkid.cb);
}

size_t IdListSize(LPCITEMIDLIST list) {
  if (!list) return 0;
  size_t size = sizeof(USHORT);
  for (; list->mkid.cb; list = NextIdItem(list)) size += list->mkid.cb;
  return size;
}

TIdList CopyIdList(LPCITEMIDLIST list) {
  const size_t size = IdListSize(list);
  if (!size) return nullptr;
  TIdList copy = AllocIdList(size);
  std::memcpy(copy.get(), list, size);
  return copy;
}

TIdList ConcatIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  const size_t head = first ? IdListSize(first) - sizeof(USHORT) : 0;
  const size_t tail = second ? IdListSize(second) : sizeof(USHORT);
  TIdList list = AllocIdList(head + tail);
  auto* bytes = reinterpret_cast<BYTE*>(list.get());
  if (head) std::memcpy(bytes, first, head);
  if (second) std::memcpy(bytes + head, second, tail);
  return list;
}

TShellFolder::TShellFolder(TShellFolder* parent, LPCITEMIDLIST relativeIdList, TShellFolderRef folder)
    : relativeIdList_(CopyIdList(relativeIdList)),
      parent_(parent ? parent : DesktopFolder),
      folder_(std::move(folder)) {
  if (parent && parent->parent_) level_ = parent->level_ + 1;
  absoluteIdList_ = parent_ ? ConcatIdLists(parent_->AbsoluteIdList(), relativeIdList)
                            : ConcatIdLists(GetDesktopIdList().get(), relativeIdList);
}

std::string GetSpecialFolderPath(int folder) {
  LPITEMIDLIST raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &raw)) || !raw) return {};
  TIdList list(raw);
  char path[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListA(list.get(), path)) return {};
  return IncludeTrailingBackslash(path);
}

std::string ExpandPathTokens(const std::string& text) {
  const std::pair<const char*, const std::string*> tokens[] = {
      {"<pf>", &ProgramFilesPath},   {"<tmp>", &TempPath}, {"<win>", &WindowsPath},    {"<sys>", &SystemPath},
      {"<mydoc>", &MyDocumentsPath}, {"<exe>", &ExePath},  {"<appdata>", &AppDataPath}};
  std::string s = text;
  for (const auto& [token, value] : tokens) s = ReplaceText(s, token, *value, false);
  return s;
}

HWND ShellOwnerWindow() {
  if (!Application) return nullptr;
  TForm* main = Application->MainForm();
  if (main && main->HandleAllocated()) return main->Handle();
  return Application->Handle();
}

bool ShellOpen(int verb, const std::string& file, const std::string& params, const std::string& dir) {
  static const char* const kVerbs[] = {"open", "print", "explore"};
  if (verb < 0 || verb > 2) return false;
  const HINSTANCE result =
      ShellExecuteA(ShellOwnerWindow(), kVerbs[verb], QuoteIfSpaced(file).c_str(),
                    params.empty() ? nullptr : params.c_str(), dir.empty() ? nullptr : dir.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

bool OpenWebLink(const std::string& link, const std::string& program, bool showError) {
  const bool ok = OpenWithFallback(link, program, "http");
  if (!ok && showError) ShowLinkError("MsgErrorNoDefaultBrowser", link);
  return ok;
}

bool SendMail(const std::string& address, const std::string& program, bool showError) {
  const std::string link = address.find("mailto:") == std::string::npos ? "mailto:" + address : address;
  const bool ok = OpenWithFallback(link, program, "mailto");
  if (!ok && showError) ShowLinkError("MsgErrorNoDefaultMail", link);
  return ok;
}

TShellFolderRef GetDesktopShellFolder() {
  IShellFolder* folder = nullptr;
  const HRESULT hr = SHGetDesktopFolder(&folder);
  if (FAILED(hr) || !folder) throw OSError(static_cast<unsigned long>(hr), "Desktop folder");
  return TShellFolderRef(folder);
}

TIdList GetDesktopIdList() {
  LPITEMIDLIST list = nullptr;
  const HRESULT hr = SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list);
  if (FAILED(hr) || !list) throw OSError(static_cast<unsigned long>(hr), "Desktop folder");
  return TIdList(list);
}

int GetShellIconIndex(LPCITEMIDLIST absoluteIdList, bool large, bool open) {
  SHFILEINFOA info{};
  const UINT flags =
      SHGFI_PIDL | SHGFI_SYSICONINDEX | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON) | (open ? SHGFI_OPENICON : 0);
  if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(absoluteIdList), 0, &info, sizeof(info), flags)) return -1;
  return info.iIcon;
}

std::string GetDisplayName(const TShellFolder& folder) {
  IShellFolder* parent = folder.Parent() ? folder.Parent()->Folder() : nullptr;
  if (!parent && DesktopFolder) parent = DesktopFolder->Folder();
  if (!parent) return "parentfolder = nil";
  std::string name = DisplayNameOf(parent, folder.RelativeIdList(), SHGDN_INFOLDER);
  if (name.rfind("::{", 0) == 0) name = DisplayNameOf(parent, folder.RelativeIdList(), SHGDN_NORMAL);
  return WithoutNumberMarks(name);
}

TShellFolderRef BindChildFolder(IShellFolder* parent, LPCITEMIDLIST relativeIdList, HWND owner) {
  TShellFolderRef child;
  if (parent) {
    child = Ask([&](void** out) { return parent->BindToObject(relativeIdList, nullptr, IID_IShellFolder, out); });
    if (!child)
      child = Ask(
          [&](void** out) { return parent->GetUIObjectOf(owner, 1, &relativeIdList, IID_IShellFolder, nullptr, out); });
    if (!child) child = Ask([&](void** out) { return parent->CreateViewObject(owner, IID_IShellFolder, out); });
  }
  if (!child && DesktopFolder && DesktopFolder->Folder())
    child = Ask([&](void** out) {
      return DesktopFolder->Folder()->BindToObject(relativeIdList, nullptr, IID_IShellFolder, out);
    });
  return child;
}

std::unique_ptr<TShellFolder> CreateFolderFromIdList(LPCITEMIDLIST absoluteIdList) {
  TShellFolderRef desktop = GetDesktopShellFolder();
  TShellFolderRef folder =
      Ask([&](void** out) { return desktop->BindToObject(absoluteIdList, nullptr, IID_IShellFolder, out); });
  return std::make_unique<TShellFolder>(DesktopFolder, absoluteIdList, folder ? folder : desktop);
}

std::unique_ptr<TShellFolder> CreateChildFolder(TShellFolder* parent, LPCITEMIDLIST relativeIdList) {
  return std::make_unique<TShellFolder>(
      parent, relativeIdList, BindChildFolder(parent ? parent->Folder() : nullptr, relativeIdList, ShellOwnerWindow()));
}

void InitializeKLShellUtils() {
  MyDocumentsPath = GetSpecialFolderPath(CSIDL_PERSONAL);
  AppDataPath = EnvironmentFolder("%APPDATA%");
  HomePath = EnvironmentFolder("%HOMEDRIVE%%HOMEPATH%");
  DesktopFolder = new TShellFolder(nullptr, GetDesktopIdList().get(), GetDesktopShellFolder());
  gOleInitialized = SUCCEEDED(OleInitialize(nullptr));
}

void FinalizeKLShellUtils() {
  delete DesktopFolder;
  DesktopFolder = nullptr;
  if (gOleInitialized) OleUninitialize();
  gOleInitialized = false;
  MyDocumentsPath.clear();
  AppDataPath.clear();
  HomePath.clear();
}

}  // namespace orv
