#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/KLShellUtils.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

// An identifier list of items whose payloads are the given strings.
std::vector<BYTE> MakeIdList(const std::vector<std::string>& items) {
  std::vector<BYTE> bytes;
  for (const std::string& s : items) {
    const USHORT cb = static_cast<USHORT>(sizeof(USHORT) + s.size() + 1);
    bytes.push_back(static_cast<BYTE>(cb & 0xFF));
    bytes.push_back(static_cast<BYTE>(cb >> 8));
    bytes.insert(bytes.end(), s.begin(), s.end());
    bytes.push_back(0);
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

LPCITEMIDLIST AsList(const std::vector<BYTE>& bytes) { return reinterpret_cast<LPCITEMIDLIST>(bytes.data()); }

TEST(IdLists, SizesCopiesAndConcatenations) {
  const auto ab = MakeIdList({"a", "bb"});
  const auto c = MakeIdList({"ccc"});
  EXPECT_EQ(IdListSize(nullptr), 0u);
  EXPECT_EQ(IdListSize(AsList(ab)), ab.size());
  EXPECT_EQ(reinterpret_cast<const BYTE*>(NextIdItem(AsList(ab))), ab.data() + 4);

  TIdList copy = CopyIdList(AsList(ab));
  ASSERT_TRUE(copy);
  EXPECT_EQ(std::memcmp(copy.get(), ab.data(), ab.size()), 0);
  EXPECT_FALSE(CopyIdList(nullptr));

  TIdList joined = ConcatIdLists(AsList(ab), AsList(c));
  const auto abc = MakeIdList({"a", "bb", "ccc"});
  ASSERT_EQ(IdListSize(joined.get()), abc.size());
  EXPECT_EQ(std::memcmp(joined.get(), abc.data(), abc.size()), 0);
  TIdList alone = ConcatIdLists(nullptr, AsList(c));
  EXPECT_EQ(std::memcmp(alone.get(), c.data(), c.size()), 0) << "an absent first list adds nothing";

  TIdList zeros = AllocIdList(8);
  EXPECT_EQ(IdListSize(zeros.get()), 2u) << "a fresh block is zero-filled: an empty list";
}

TEST(PathTokens, EveryTokenInAnyLetterCaseAndTextWithoutTokensUnchanged) {
  EXPECT_EQ(ExpandPathTokens("<PF>App\\x.exe"), ProgramFilesPath + "App\\x.exe");
  EXPECT_EQ(ExpandPathTokens("<Tmp>a|<WIN>b|<sys>c|<MyDoc>d|<EXE>e|<AppData>f"),
            TempPath + "a|" + WindowsPath + "b|" + SystemPath + "c|" + MyDocumentsPath + "d|" + ExePath + "e|" +
                AppDataPath + "f");
  EXPECT_EQ(ExpandPathTokens("<exe>1<EXE>2"), ExePath + "1" + ExePath + "2");
  EXPECT_EQ(ExpandPathTokens("http://example.com/<unknown>"), "http://example.com/<unknown>");
}

TEST(UserFolders, AreFoldersWithABackslashAndAnUndefinedAppDataFallsBackToMyDocuments) {
  ASSERT_FALSE(MyDocumentsPath.empty());
  EXPECT_EQ(MyDocumentsPath.back(), '\\');
  EXPECT_EQ(AppDataPath.back(), '\\');
  EXPECT_EQ(HomePath.back(), '\\');
  EXPECT_EQ(GetSpecialFolderPath(CSIDL_PERSONAL), MyDocumentsPath);
  EXPECT_EQ(GetSpecialFolderPath(CSIDL_DRIVES), "") << "My Computer has no file-system path";

  char appData[MAX_PATH] = {};
  ASSERT_TRUE(GetEnvironmentVariableA("APPDATA", appData, MAX_PATH));
  SetEnvironmentVariableA("APPDATA", nullptr);
  FinalizeKLShellUtils();
  InitializeKLShellUtils();
  EXPECT_EQ(AppDataPath, MyDocumentsPath);
  SetEnvironmentVariableA("APPDATA", appData);
  FinalizeKLShellUtils();
  InitializeKLShellUtils();
  EXPECT_EQ(AppDataPath, std::string(appData) + "\\");
  ASSERT_NE(DesktopFolder, nullptr);
}

// A parent folder that names every item as it is told, in one of the three name forms.
class TNamingFolder : public IShellFolder {
public:
  std::string Name;
  std::string NormalName;
  UINT Kind = STRRET_WSTR;
  std::vector<SHGDNF> Asked;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*, ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*, void**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD item, SHGDNF flags, STRRET* name) override {
    Asked.push_back(flags);
    const std::string& text = flags == SHGDN_NORMAL && !NormalName.empty() ? NormalName : Name;
    name->uType = Kind;
    if (Kind == STRRET_CSTR) {
      std::strncpy(name->cStr, text.c_str(), sizeof(name->cStr) - 1);
    } else if (Kind == STRRET_OFFSET) {
      name->uOffset = sizeof(USHORT);  // the item's own payload holds the name
    } else {
      std::wstring wide(text.begin(), text.end());
      name->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(wchar_t)));
      std::memcpy(name->pOleStr, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override {
    return E_NOTIMPL;
  }
};

std::string NameUnder(TNamingFolder& naming, const std::string& itemPayload = "x") {
  naming.AddRef();
  TShellFolder parent(nullptr, nullptr, TShellFolderRef(&naming));
  const auto item = MakeIdList({itemPayload});
  TShellFolder child(&parent, AsList(item), {});
  return GetDisplayName(child);
}

TEST(DisplayNames, AllThreeNameFormsAreRead) {
  TNamingFolder naming;
  naming.Name = "Card (E:)";
  for (UINT kind : {STRRET_WSTR, STRRET_CSTR}) {
    naming.Kind = kind;
    EXPECT_EQ(NameUnder(naming), "Card (E:)") << "kind " << kind;
  }
  naming.Kind = STRRET_OFFSET;
  EXPECT_EQ(NameUnder(naming, "Inline name"), "Inline name");
}

TEST(DisplayNames, AClassPathIsAskedAgainAndNumberMarksGo) {
  TNamingFolder naming;
  naming.Name = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
  naming.NormalName = "My Computer";
  EXPECT_EQ(NameUnder(naming), "My Computer");
  EXPECT_EQ(naming.Asked, (std::vector<SHGDNF>{SHGDN_INFOLDER, SHGDN_NORMAL}));

  naming.NormalName.clear();
  naming.Name = "?12?3";
  EXPECT_EQ(NameUnder(naming), "123");
  naming.Name = "?x?";
  EXPECT_EQ(NameUnder(naming), "?x?") << "only a mark followed by a digit";
  naming.Name = "?";
  EXPECT_EQ(NameUnder(naming), "?");
}

TEST(ShellFolders, TheDesktopAndAFolderBuiltFromItsAbsoluteList) {
  ASSERT_NE(DesktopFolder, nullptr);
  EXPECT_EQ(DesktopFolder->Parent(), nullptr);
  EXPECT_EQ(IdListSize(DesktopFolder->AbsoluteIdList()), 2u);
  LPITEMIDLIST raw = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &raw)));
  TIdList drives(raw);
  auto myComputer = CreateFolderFromIdList(drives.get());
  EXPECT_EQ(myComputer->Parent(), DesktopFolder);
  EXPECT_EQ(myComputer->Level(), 0);
  EXPECT_NE(myComputer->Folder(), nullptr);
  EXPECT_EQ(IdListSize(myComputer->AbsoluteIdList()), IdListSize(drives.get()));
  EXPECT_EQ(GetDisplayName(*myComputer), "My Computer");
  EXPECT_GE(GetShellIconIndex(myComputer->AbsoluteIdList(), false, false), 0);
}

}  // namespace
