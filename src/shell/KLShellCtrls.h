#pragma once
// The drive picker: a drop-down list of the computer's drives under the names and with the
// small icons that the shell gives them, filtered by drive type.
#include <windows.h>
// <windows.h> maps GetObject to GetObjectA; string lists have a GetObject of their own.
#ifdef GetObject
#undef GetObject
#endif

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "base/StringList.h"
#include "gui/ComboBoxEx.h"
#include "shell/KLShellUtils.h"
#include "sys/KLString.h"

namespace orv {

// The ordinals are the platform's drive-type codes.
enum TKLDriveType : uint8_t { dtUnknown, dtNoRoot, dtRemovable, dtFixed, dtRemote, dtCDROM, dtRAMDISK };
// Bit n for ordinal n.
using TKLDriveTypes = uint8_t;
constexpr TKLDriveTypes DriveTypeSet(std::initializer_list<TKLDriveType> types) {
  TKLDriveTypes set = 0;
  for (TKLDriveType t : types) set = static_cast<TKLDriveTypes>(set | (1u << t));
  return set;
}
constexpr bool InDriveTypes(TKLDriveTypes set, TKLDriveType type) { return (set >> type) & 1u; }

using TGetImageIndexEvent = TEvent<void(TObject* Sender, int32_t Index, int32_t& ImageIndex)>;

class TKLDriveComboBox : public TCustomComboBoxEx {
  ORV_CLASSINFO(TKLDriveComboBox)

public:
  // Reads the drive roots; folders and items come with Loaded (or EnumerateDrives).
  explicit TKLDriveComboBox(TComponent* owner);
  ~TKLDriveComboBox() override;

  TShellFolder* MyComputerFolder() const { return myComputerFolder_.get(); }
  // Every drive root ("E:\"), in the platform's order; each entry's object is its folder.
  const TStrings& AllDrives() const { return allDrives_; }
  // The roots that pass the type filter, with the same folder objects.
  const TStrings& ShownDrives() const { return shownDrives_; }
  // The root selected at the last change notification; "" when none was.
  const std::string& Drive() const { return drive_; }
  // Position in AllDrives of the drive that holds the Windows directory, or -1.
  int32_t SystemDriveIndex() const { return systemDriveIndex_; }
  HIMAGELIST SystemImages() const { return systemImages_; }

  bool UseShellImages() const { return useShellImages_; }
  void SetUseShellImages(bool value);
  // Set while the definition is read, the filter is applied once, in Loaded. Set before the
  // drives were enumerated, it is only kept.
  TKLDriveTypes DriveTypes() const { return driveTypes_; }
  void SetDriveTypes(TKLDriveTypes value);
  TGetImageIndexEvent OnGetImageIndex;

  void Loaded() override;
  // Builds the My Computer folder and every drive's folder; raises when the shell has no
  // My Computer.
  void EnumerateDrives();
  void ApplyDriveTypes();
  void RebuildItems();
  int32_t GetDriveImageIndex(const TShellFolder& folder) const;
  std::string GetSelectedDrive() const;
  void Change() override;
  // Reads the drive roots again (for drives plugged in or removed since) and rebuilds the
  // list. The selected drive stays selected while it is there; otherwise the first item is
  // selected and Change runs.
  void Refresh();

private:
  void ReadDriveRoots();
  void AddDriveItem(TShellFolder* folder);
  void FreeDrives();

  std::unique_ptr<TShellFolder> myComputerFolder_;
  TObjStringList allDrives_;
  TStringList shownDrives_;
  std::string drive_;
  int32_t systemDriveIndex_ = -1;
  HIMAGELIST systemImages_ = nullptr;
  bool useShellImages_ = true;
  TKLDriveTypes driveTypes_ = 0;
};

void InitializeKLShellCtrls();
void FinalizeKLShellCtrls();

}  // namespace orv
