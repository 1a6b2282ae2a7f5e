#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "shell/KLShellCtrls.h"

#include <algorithm>

#include "base/ScopeGuard.h"
#include "win/OSError.h"
#include "win/WinText.h"

namespace orv {

namespace {
const std::vector<std::string> kDriveTypeNames = {"dtUnknown", "dtNoRoot", "dtRemovable", "dtFixed",
                                                  "dtRemote",  "dtCDROM",  "dtRAMDISK"};

// An empty card reader or CD drive must not make the system ask for a disk.
class TFailCriticalErrors {
public:
  TFailCriticalErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  TFailCriticalErrors(const TFailCriticalErrors&) = delete;
  TFailCriticalErrors& operator=(const TFailCriticalErrors&) = delete;
  ~TFailCriticalErrors() { SetErrorMode(old_); }

private:
  UINT old_;
};

TKLDriveType DriveTypeOf(const std::string& root) {
  const UINT code = GetDriveTypeA(root.c_str());
  return code >= 1 && code <= 6 ? static_cast<TKLDriveType>(code) : dtUnknown;
}
}  // namespace

const TClassInfo& TKLDriveComboBox::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLDriveComboBox>("TKLDriveComboBox", &TCustomComboBoxEx::StaticClassInfo())
          .Set("DriveTypes", &TKLDriveComboBox::DriveTypes, &TKLDriveComboBox::SetDriveTypes, kDriveTypeNames, 0)
          .Boolean("UseShellImages", &TKLDriveComboBox::UseShellImages, &TKLDriveComboBox::SetUseShellImages, true)
          .Event("OnGetImageIndex", &TKLDriveComboBox::OnGetImageIndex)
          .Info();
  return info;
}

TKLDriveComboBox::TKLDriveComboBox(TComponent* owner) : TCustomComboBoxEx(owner) {
  SetStyle(TComboBoxExStyle::csExDropDownList);
  SHFILEINFOA info{};
  systemImages_ = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  SetUseShellImages(true);
  ReadDriveRoots();
}

TKLDriveComboBox::~TKLDriveComboBox() {
  Clear();
  FreeDrives();
}

void TKLDriveComboBox::FreeDrives() {
  shownDrives_.Clear();
  allDrives_.Clear();
}

void TKLDriveComboBox::ReadDriveRoots() {
  allDrives_.Clear();
  const DWORD length = GetLogicalDriveStringsA(0, nullptr);
  if (length > 0) {
    std::string roots(length + 1, '\0');
    const DWORD n = GetLogicalDriveStringsA(length, roots.data());
    roots.resize(std::min<DWORD>(n, length));
    for (size_t at = 0; at < roots.size();) {
      const size_t end = std::min(roots.find('\0', at), roots.size());
      if (end > at) allDrives_.Add(roots.substr(at, end - at));
      at = end + 1;
    }
  }
  char windows[MAX_PATH + 1] = {};
  const UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string dir(windows, n <= MAX_PATH ? n : 0);
  systemDriveIndex_ = dir.size() >= 2 && dir[1] == ':' ? allDrives_.IndexOf(dir.substr(0, 2) + "\\") : -1;
}

void TKLDriveComboBox::SetUseShellImages(bool value) {
  useShellImages_ = value;
  SetImageListHandle(value ? systemImages_ : nullptr);
}

void TKLDriveComboBox::SetDriveTypes(TKLDriveTypes value) {
  driveTypes_ = value;
  if (!HasState(csLoading) && !HasState(csReading) && myComputerFolder_) ApplyDriveTypes();
}

void TKLDriveComboBox::Loaded() {
  TCustomComboBoxEx::Loaded();
  EnumerateDrives();
  ApplyDriveTypes();
  RebuildItems();
  if (InDriveTypes(driveTypes_, dtFixed)) {
    try {
      if (systemDriveIndex_ >= 0) SetItemIndex(shownDrives_.IndexOf(allDrives_.Strings(systemDriveIndex_)));
      Change();
    } catch (...) {
    }
  }
  if (ItemIndex() < 0) {
    try {
      SetItemIndex(0);
      Change();
    } catch (...) {
    }
  }
}

void TKLDriveComboBox::EnumerateDrives() {
  LPITEMIDLIST raw = nullptr;
  const HRESULT hr = SHGetSpecialFolderLocation(ShellOwnerWindow(), CSIDL_DRIVES, &raw);
  if (FAILED(hr) || !raw) throw OSError(static_cast<unsigned long>(hr), "My Computer");
  TIdList myComputer(raw);
  // Items and drive folders of an earlier walk hang under the old My Computer folder.
  Clear();
  shownDrives_.Clear();
  for (int i = 0; i < allDrives_.Count(); ++i) {
    delete allDrives_.Objects(i);
    allDrives_.PutObject(i, nullptr);
  }
  myComputerFolder_ = CreateFolderFromIdList(myComputer.get());
  IShellFolder* parent = myComputerFolder_->Folder();
  TFailCriticalErrors mode;
  WithUpdate(*this, [&] {
    for (int i = 0; i < allDrives_.Count(); ++i) {
      std::wstring root = AnsiToWide(allDrives_.Strings(i));
      LPITEMIDLIST relative = nullptr;
      ULONG eaten = 0;
      parent->ParseDisplayName(ShellOwnerWindow(), nullptr, root.data(), &eaten, &relative, nullptr);
      // Without an identifier list the shell has no name or icon for the drive: not shown.
      if (!relative) continue;
      TIdList owned(relative);
      auto folder = CreateChildFolder(myComputerFolder_.get(), owned.get());
      allDrives_.PutObject(i, folder.get());
      AddDriveItem(folder.release());
    }
  });
}

void TKLDriveComboBox::ApplyDriveTypes() {
  shownDrives_.Clear();
  {
    TFailCriticalErrors mode;
    for (int i = 0; i < allDrives_.Count(); ++i) {
      TObject* folder = allDrives_.Objects(i);
      if (folder && InDriveTypes(driveTypes_, DriveTypeOf(allDrives_.Strings(i))))
        shownDrives_.AddObject(allDrives_.Strings(i), folder);
    }
  }
  RebuildItems();
}

void TKLDriveComboBox::RebuildItems() {
  TFailCriticalErrors mode;
  WithUpdate(*this, [&] {
    Clear();
    for (int i = 0; i < shownDrives_.Count(); ++i) AddDriveItem(static_cast<TShellFolder*>(shownDrives_.Objects(i)));
  });
}

void TKLDriveComboBox::AddDriveItem(TShellFolder* folder) {
  const int32_t image = GetDriveImageIndex(*folder);
  TComboExItem* item = ItemsEx().AddItem(GetDisplayName(*folder), image, image, 0, folder);
  if (OnGetImageIndex && useShellImages_) {
    int32_t index = image;
    OnGetImageIndex(this, item->Index(), index);
    item->SetImageIndex(index);
  }
}

int32_t TKLDriveComboBox::GetDriveImageIndex(const TShellFolder& folder) const {
  return useShellImages_ ? GetShellIconIndex(folder.AbsoluteIdList(), false, false) : -1;
}

std::string TKLDriveComboBox::GetSelectedDrive() const {
  const int index = ItemIndex();
  return index >= 0 && index < shownDrives_.Count() ? shownDrives_.Strings(index) : std::string();
}

void TKLDriveComboBox::Change() {
  drive_ = GetSelectedDrive();
  TCustomComboBoxEx::Change();
}

void TKLDriveComboBox::Refresh() {
  const std::string selected = GetSelectedDrive();
  Clear();
  FreeDrives();
  ReadDriveRoots();
  EnumerateDrives();
  ApplyDriveTypes();
  const int index = selected.empty() ? -1 : shownDrives_.IndexOf(selected);
  if (index >= 0) {
    SetItemIndex(index);
    if (drive_ != selected) Change();
    return;
  }
  SetItemIndex(shownDrives_.Count() > 0 ? 0 : -1);
  Change();
}

void InitializeKLShellCtrls() { RegisterClass(TKLDriveComboBox::StaticClassInfo()); }

void FinalizeKLShellCtrls() { UnRegisterClass(TKLDriveComboBox::StaticClassInfo()); }

}  // namespace orv
