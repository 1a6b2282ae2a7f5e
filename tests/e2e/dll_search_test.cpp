// The program runs with administrator rights, often from a downloads folder: a DLL planted
// beside it under a system DLL's name must never be loaded. Wine prefers its builtin DLLs;
// with riched20 and riched32 set to "native, then builtin" (WINEDLLOVERRIDES=riched20,riched32=n,b)
// a load by bare name takes the planted file, as Windows would, while a load by the system
// path still takes the system's. A Wine process does not hand that variable on to the ones it
// starts, so the same setting goes into the registry, for the two programs started here only.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_util.h"

namespace {

class PlantedDll : public ::testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    dir_ = std::string(temp) + "orvasil-planted-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
    for (const char* name : {"RICHED20.DLL", "RICHED32.DLL"}) Copy(e2e::WinPath(ORVASIL_PLANTED_DLL), name);
    Copy(e2e::WinPath(ORVASIL_DLL_PROBE), "dll_probe.exe");
    Copy(e2e::ProgramPath(), "orvasil.exe");
    for (const char* exe : kPrograms) PreferNative(exe);
    GetCurrentDirectoryA(MAX_PATH, temp);
    savedDirectory_ = temp;
    // Started from its own folder, as from a downloads folder: the current directory is searched too.
    SetCurrentDirectoryA(dir_.c_str());
  }

  void TearDown() override {
    SetCurrentDirectoryA(savedDirectory_.c_str());
    for (const char* exe : kPrograms) {
      RegDeleteKeyA(HKEY_CURRENT_USER, (AppKey(exe) + "\\DllOverrides").c_str());
      RegDeleteKeyA(HKEY_CURRENT_USER, AppKey(exe).c_str());
    }
    for (const std::string& f : files_) DeleteFileA((dir_ + "\\" + f).c_str());
    for (const char* marker : {"RICHED20.DLL.loaded", "RICHED32.DLL.loaded"})
      DeleteFileA((dir_ + "\\" + marker).c_str());
    RemoveDirectoryA(dir_.c_str());
  }

  static constexpr const char* kPrograms[] = {"dll_probe.exe", "orvasil.exe"};

  static std::string AppKey(const char* exe) { return std::string("Software\\Wine\\AppDefaults\\") + exe; }

  static void PreferNative(const char* exe) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (AppKey(exe) + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    static const char kNativeFirst[] = "native,builtin";
    for (const char* dll : {"riched20", "riched32"})
      RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeFirst), sizeof kNativeFirst);
    RegCloseKey(key);
  }

  void Copy(const std::string& from, const std::string& name) {
    ASSERT_TRUE(CopyFileA(from.c_str(), (dir_ + "\\" + name).c_str(), FALSE)) << from;
    files_.push_back(name);
  }

  bool Loaded(const char* dll) const {
    return GetFileAttributesA((dir_ + "\\" + dll + ".loaded").c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  long RunProbe(const char* mode) {
    e2e::Process probe;
    if (!probe.Start(dir_ + "\\dll_probe.exe", mode)) return -2;
    return probe.WaitExit(60000);
  }

  std::string dir_;

private:
  std::vector<std::string> files_;
  std::string savedDirectory_;
};

// Without this the other tests would prove nothing.
TEST_F(PlantedDll, ALoadByBareNameTakesThePlantedFileHere) {
  EXPECT_EQ(RunProbe("bare"), 0);
  EXPECT_TRUE(Loaded("RICHED20.DLL"));
}

TEST_F(PlantedDll, TheRichTextViewerTakesTheSystemsLibraryAndShowsItsDocument) {
  EXPECT_EQ(RunProbe("viewer"), 0) << "2: no text, 3: no version 2 library, 4: not the system's";
  EXPECT_FALSE(Loaded("RICHED20.DLL"));
  EXPECT_FALSE(Loaded("RICHED32.DLL"));
}

TEST_F(PlantedDll, TheProgramStartedBesideThemLoadsNeither) {
  e2e::Process program;
  ASSERT_TRUE(program.Start(dir_ + "\\orvasil.exe"));
  HWND main = e2e::WaitForWindow(program.Id(), nullptr, "Orvasil", 20000);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(Loaded("RICHED20.DLL"));
  EXPECT_FALSE(Loaded("RICHED32.DLL"));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitExit(20000), 0);
}

}  // namespace
