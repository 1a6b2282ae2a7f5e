#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/Filer.h"
#include "base/Streams.h"
#include "gui/Forms.h"
#include "shell/KLShellCtrls.h"
#include "sys/KLSysUtils.h"
#include "mount_drive.h"
#include "test_files.h"

using testsupport::DefineUnixDrive;

using namespace orv;

namespace {

constexpr TKLDriveTypes kWizardTypes = DriveTypeSet({dtUnknown, dtNoRoot, dtRemovable, dtCDROM, dtRAMDISK});

std::vector<std::string> Roots(const TStrings& list) {
  std::vector<std::string> roots;
  for (int i = 0; i < list.Count(); ++i) roots.push_back(list.Strings(i));
  return roots;
}

SHFILEINFOA ShellInfo(const std::string& root) {
  SHFILEINFOA info{};
  SHGetFileInfoA(root.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME);
  return info;
}

TForm* Host() {
  static TForm* host = new TForm(Application);
  return host;
}

// A picker as a window definition makes it: properties set while loading, then Loaded.
std::unique_ptr<TKLDriveComboBox> LoadedPicker(TKLDriveTypes types, bool shellImages = true,
                                               TGetImageIndexEvent onImage = {}, int* changes = nullptr) {
  auto picker = std::make_unique<TKLDriveComboBox>(nullptr);
  picker->SetParent(Host());
  picker->SetState(csLoading);
  picker->SetDriveTypes(types);
  picker->SetUseShellImages(shellImages);
  picker->OnGetImageIndex = std::move(onImage);
  if (changes) picker->OnChange = [changes](TObject*) { ++*changes; };
  picker->Loaded();
  return picker;
}

TEST(DrivePicker, ThePrefixHoldsTheTestDrives) {
  EXPECT_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));
  EXPECT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_CDROM));
  EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
  EXPECT_EQ(GetDriveTypeA("F:\\"), static_cast<UINT>(DRIVE_REMOTE));
}

TEST(DrivePicker, TheWizardsFilterListsTheCdAndTheCardInLetterOrderWithTheShellsNamesAndIcons) {
  int changes = 0;
  auto picker = LoadedPicker(kWizardTypes, true, {}, &changes);
  EXPECT_EQ(Roots(picker->ShownDrives()), (std::vector<std::string>{"D:\\", "E:\\"}));
  ASSERT_EQ(picker->ItemsEx().Count(), 2);
  for (int i = 0; i < 2; ++i) {
    const std::string root = picker->ShownDrives().Strings(i);
    const UINT type = GetDriveTypeA(root.c_str());
    EXPECT_TRUE(type != DRIVE_FIXED && type != DRIVE_REMOTE) << root << " must never be offered";
    const SHFILEINFOA shell = ShellInfo(root);
    const TComboExItem* item = picker->ItemsEx().Items(i);
    EXPECT_EQ(item->Caption(), shell.szDisplayName);
    EXPECT_NE(item->Caption().find(root.substr(0, 2)), std::string::npos) << item->Caption();
    EXPECT_EQ(item->ImageIndex(), shell.iIcon);
    EXPECT_EQ(item->SelectedImageIndex(), shell.iIcon);
    EXPECT_EQ(item->Data(), picker->ShownDrives().Objects(i));
  }
  EXPECT_NE(picker->ItemsEx().Items(0)->ImageIndex(), picker->ItemsEx().Items(1)->ImageIndex())
      << "a CD drive and a card reader have different icons";
  EXPECT_EQ(picker->ItemIndex(), 0);
  EXPECT_EQ(picker->Drive(), "D:\\");
  EXPECT_EQ(picker->GetSelectedDrive(), "D:\\");
  EXPECT_EQ(changes, 1) << "OnChange runs once after loading";
  EXPECT_EQ(picker->SystemImages(),
            reinterpret_cast<HIMAGELIST>(SendMessageA(picker->Handle(), CBEM_GETIMAGELIST, 0, 0)));
}

TEST(DrivePicker, EveryRootIsKnownWithItsFolderAndTheWindowsDrive) {
  auto picker = LoadedPicker(kWizardTypes);
  const std::vector<std::string> all = Roots(picker->AllDrives());
  for (const char* root : {"C:\\", "D:\\", "E:\\", "F:\\"})
    EXPECT_NE(std::find(all.begin(), all.end(), root), all.end()) << root;
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
  ASSERT_GE(picker->SystemDriveIndex(), 0);
  EXPECT_EQ(picker->AllDrives().Strings(picker->SystemDriveIndex()), WindowsPath.substr(0, 3));
  auto* card = dynamic_cast<TShellFolder*>(picker->AllDrives().Objects(picker->AllDrives().IndexOf("E:\\")));
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(card->Parent(), picker->MyComputerFolder());
  EXPECT_EQ(card->Level(), 1);
  EXPECT_EQ(GetDisplayName(*picker->MyComputerFolder()), "My Computer");
}

TEST(DrivePicker, AnEmptyFilterListsNothingAndLeavesNoDrive) {
  int changes = 0;
  auto picker = LoadedPicker(0, true, {}, &changes);
  EXPECT_EQ(picker->ItemsEx().Count(), 0);
  EXPECT_EQ(picker->ItemIndex(), -1);
  EXPECT_EQ(picker->Drive(), "");
  EXPECT_EQ(picker->GetSelectedDrive(), "");
}

TEST(DrivePicker, WithFixedDrivesInTheFilterTheWindowsDriveIsSelected) {
  auto picker = LoadedPicker(DriveTypeSet({dtRemovable, dtFixed}));
  EXPECT_EQ(picker->Drive(), WindowsPath.substr(0, 3));
  EXPECT_EQ(picker->GetSelectedDrive(), picker->Drive());
  for (const std::string& root : Roots(picker->ShownDrives()))
    EXPECT_TRUE(GetDriveTypeA(root.c_str()) == DRIVE_FIXED || root == "E:\\") << root;
}

TEST(DrivePicker, NetworkDrivesComeOnlyWithTheirType) {
  auto picker = LoadedPicker(DriveTypeSet({dtRemote}));
  EXPECT_EQ(Roots(picker->ShownDrives()), (std::vector<std::string>{"F:\\"}));
  picker->SetDriveTypes(DriveTypeSet({dtCDROM}));
  EXPECT_EQ(Roots(picker->ShownDrives()), (std::vector<std::string>{"D:\\"})) << "a new filter applies at once";
  EXPECT_EQ(picker->ItemsEx().Count(), 1);
}

TEST(DrivePicker, OnGetImageIndexRemapsTheImageOnlyWithShellImages) {
  std::vector<std::pair<int32_t, int32_t>> calls;
  TGetImageIndexEvent remap = [&](TObject*, int32_t index, int32_t& image) {
    calls.emplace_back(index, image);
    image = 100 + index;
  };
  auto shellImages = LoadedPicker(kWizardTypes, true, remap);
  ASSERT_EQ(shellImages->ItemsEx().Count(), 2);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), std::make_pair(1, ShellInfo("E:\\").iIcon));
  EXPECT_EQ(shellImages->ItemsEx().Items(0)->ImageIndex(), 100);
  EXPECT_EQ(shellImages->ItemsEx().Items(1)->ImageIndex(), 101);
  EXPECT_EQ(shellImages->ItemsEx().Items(1)->SelectedImageIndex(), ShellInfo("E:\\").iIcon)
      << "the selected image keeps the shell's icon";

  calls.clear();
  auto noImages = LoadedPicker(kWizardTypes, false, remap);
  EXPECT_TRUE(calls.empty()) << "never called without shell images";
  ASSERT_EQ(noImages->ItemsEx().Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(noImages->ItemsEx().Items(i)->ImageIndex(), -1);
    EXPECT_EQ(noImages->ItemsEx().Items(i)->SelectedImageIndex(), -1);
  }
  EXPECT_EQ(SendMessageA(noImages->Handle(), CBEM_GETIMAGELIST, 0, 0), 0) << "no list is shown";
}

class TPickerForm : public TForm {
  ORV_CLASSINFO(TPickerForm)

public:
  explicit TPickerForm(TComponent* owner) : TForm(owner) {}
  void DriveBoxChange(TObject*) {
    drives.push_back(static_cast<TKLDriveComboBox*>(FindComponent("DriveBox"))->Drive());
  }
  std::vector<std::string> drives;
};

const TClassInfo& TPickerForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPickerForm>("TPickerForm", &TForm::StaticClassInfo())
                                     .Method("DriveBoxChange", &TPickerForm::DriveBoxChange)
                                     .Info();
  return info;
}

TEST(DrivePicker, ADefinitionSetsTheFilterWhichLoadedAppliesOnce) {
  const std::string text =
      "object PickerForm: TPickerForm\n"
      "  object DriveBox: TKLDriveComboBox\n    Left = 8\n    Top = 8\n    Width = 160\n    Height = 22\n"
      "    DropDownCount = 8\n    DriveTypes = [dtUnknown, dtNoRoot, dtRemovable, dtCDROM, dtRAMDISK]\n"
      "    OnChange = DriveBoxChange\n  end\nend\n";
  auto form = std::make_unique<TPickerForm>(Application);
  testsupport::ReadRootFromText(text, form.get());
  auto* box = dynamic_cast<TKLDriveComboBox*>(form->FindComponent("DriveBox"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->DriveTypes(), kWizardTypes);
  EXPECT_EQ(Roots(box->ShownDrives()), (std::vector<std::string>{"D:\\", "E:\\"}));
  EXPECT_EQ(form->drives, (std::vector<std::string>{"D:\\"})) << "one change notification, after loading";
  EXPECT_EQ(SendMessageA(box->Handle(), CB_GETCOUNT, 0, 0), 2);
}

TEST(DrivePicker, RefreshShowsADriveAddedAfterConstructionAndKeepsTheSelection) {
  const char* spare = std::getenv("ORVASIL_SHELL_SPARE_ROOT");
  ASSERT_TRUE(spare && *spare) << "run under tests/win/shell/shell-drives";
  std::vector<std::string> changes;
  auto picker = LoadedPicker(kWizardTypes);
  picker->OnChange = [&](TObject*) { changes.push_back(picker->Drive()); };
  picker->SetItemIndex(1);
  picker->Change();
  changes.clear();

  ASSERT_TRUE(DefineUnixDrive(L'g', spare, DRIVE_REMOVABLE)) << "mount manager: error " << GetLastError();
  struct TRemoveDrive {
    ~TRemoveDrive() { DefineUnixDrive(L'g', "", DRIVE_NO_ROOT_DIR); }
  } removeDrive;
  EXPECT_EQ(GetDriveTypeA("G:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
  EXPECT_EQ(Roots(picker->ShownDrives()), (std::vector<std::string>{"D:\\", "E:\\"})) << "nothing re-reads on its own";

  picker->Refresh();
  EXPECT_EQ(Roots(picker->ShownDrives()), (std::vector<std::string>{"D:\\", "E:\\", "G:\\"}));
  ASSERT_EQ(picker->ItemsEx().Count(), 3);
  EXPECT_NE(picker->ItemsEx().Items(2)->Caption().find("G:"), std::string::npos);
  EXPECT_EQ(picker->GetSelectedDrive(), "E:\\");
  EXPECT_TRUE(changes.empty()) << "the selected drive is still there: no change";

  picker->SetItemIndex(2);
  picker->Change();
  changes.clear();
  ASSERT_TRUE(DefineUnixDrive(L'g', "", DRIVE_NO_ROOT_DIR));
  picker->Refresh();
  EXPECT_EQ(Roots(picker->ShownDrives()), (std::vector<std::string>{"D:\\", "E:\\"}));
  EXPECT_EQ(picker->GetSelectedDrive(), "D:\\");
  EXPECT_EQ(changes, (std::vector<std::string>{"D:\\"})) << "the selected drive went: the first one is picked";
}

}  // namespace
