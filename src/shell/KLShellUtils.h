#pragma once
// The shell for the rest of the program: the per-user folders and the path tokens that stand
// for the standard folders in stored links, launching documents, web links and mail links,
// and a small object model over the shell namespace (item identifier lists, TShellFolder).
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/Object.h"
#include "win/Handles.h"

namespace orv {

// Item identifier lists that this unit hands out come from the shell's allocator and go back
// to it.
void FreeIdList(LPITEMIDLIST list);
struct TIdListFree {
  void operator()(ITEMIDLIST* list) const { FreeIdList(list); }
};
using TIdList = std::unique_ptr<ITEMIDLIST, TIdListFree>;

// A zero-filled block of Size bytes; raises when the shell has no allocator to give.
TIdList AllocIdList(size_t size);
// The item after Item (its 16-bit byte count further on).
LPCITEMIDLIST NextIdItem(LPCITEMIDLIST item);
// Total bytes with the terminating zero; 0 for no list.
size_t IdListSize(LPCITEMIDLIST list);
TIdList CopyIdList(LPCITEMIDLIST list);
// First (it may be absent) without its terminator, then Second whole.
TIdList ConcatIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second);

using TShellFolderRef = TComPtr<IShellFolder>;

class TShellFolder : public TObject {
public:
  // Without a parent the folder hangs under DesktopFolder, once that exists.
  TShellFolder(TShellFolder* parent, LPCITEMIDLIST relativeIdList, TShellFolderRef folder);
  std::string ClassName() const override { return "TShellFolder"; }

  LPITEMIDLIST RelativeIdList() const { return relativeIdList_.get(); }
  // From the desktop down to this folder.
  LPITEMIDLIST AbsoluteIdList() const { return absoluteIdList_.get(); }
  // Not owned.
  TShellFolder* Parent() const { return parent_; }
  IShellFolder* Folder() const { return folder_.Get(); }
  // Ancestors above the parent given at creation (0 for the desktop and its children).
  int32_t Level() const { return level_; }

private:
  TIdList relativeIdList_;
  TIdList absoluteIdList_;
  TShellFolder* parent_;
  TShellFolderRef folder_;
  int32_t level_ = 0;
};

extern std::string MyDocumentsPath;
extern std::string AppDataPath;
extern std::string HomePath;
extern TShellFolder* DesktopFolder;

// A special folder's file-system path with a trailing backslash, or "" when the shell has
// no such folder or it has no path.
std::string GetSpecialFolderPath(int folder);
// "<pf>", "<tmp>", "<win>", "<sys>", "<mydoc>", "<exe>", "<appdata>" in any letter case.
std::string ExpandPathTokens(const std::string& text);

// Verbs: 0 "open", 1 "print", 2 "explore"; any other index opens nothing. File is trimmed
// and quoted when it holds a space.
bool ShellOpen(int verb, const std::string& file, const std::string& params = {}, const std::string& dir = {});
// Through the shell, else the program registered for "http"; a failure is told in the
// program's error box when ShowError is set.
bool OpenWebLink(const std::string& link, const std::string& program = {}, bool showError = true);
// As OpenWebLink, for a mail address ("mailto:" is added when missing) and "mailto".
bool SendMail(const std::string& address, const std::string& program = {}, bool showError = true);

// These raise the system's error when the shell cannot give them.
TShellFolderRef GetDesktopShellFolder();
TIdList GetDesktopIdList();

// The item's icon in the shell's system image list (small and closed when both are false).
int GetShellIconIndex(LPCITEMIDLIST absoluteIdList, bool large, bool open);
// The folder's name within its parent, as the shell words it.
std::string GetDisplayName(const TShellFolder& folder);
// The child's folder interface, or none.
TShellFolderRef BindChildFolder(IShellFolder* parent, LPCITEMIDLIST relativeIdList, HWND owner);
std::unique_ptr<TShellFolder> CreateFolderFromIdList(LPCITEMIDLIST absoluteIdList);
std::unique_ptr<TShellFolder> CreateChildFolder(TShellFolder* parent, LPCITEMIDLIST relativeIdList);

// The application's main form's window, else its hidden window: the owner of shell dialogs.
HWND ShellOwnerWindow();

void InitializeKLShellUtils();
void FinalizeKLShellUtils();

}  // namespace orv
