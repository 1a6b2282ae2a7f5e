#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lang/KLXLang.h"
#include "shell/KLShellUtils.h"
#include "shell_env.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

struct TShownBox {
  std::string Msg, Caption;
  int32_t Icon, DefaultButton;
  size_t ButtonCount;
  int32_t FirstResult;
};
std::vector<TShownBox> gBoxes;

int32_t RecordBox(const std::string& msg, const std::string& caption, int32_t icon, int32_t defaultButton,
                  std::span<const TKLMsgButton> buttons) {
  gBoxes.push_back({msg, caption, icon, defaultButton, buttons.size(), buttons.empty() ? 0 : buttons[0].ModalResult});
  return mrOk;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Registers the recorder (or a program that does not exist) as the open command of "http"
// and "mailto", and puts the former commands back afterwards.
class LauncherTest : public ::testing::Test {
protected:
  void SetUp() override {
    shelltest::LoadEnglish();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    record_ = std::string(temp) + "orvasil-launch-record.txt";
    DeleteFileA(record_.c_str());
    SetEnvironmentVariableA("ORVASIL_RECORDER_FILE", record_.c_str());
    recorder_ = shelltest::WinPath(ORVASIL_RECORDER_UNIX);
    for (const char* protocol : {"http", "mailto"}) saved_.push_back({protocol, ReadCommand(protocol)});
    gBoxes.clear();
    MessageBoxProc = RecordBox;
  }
  void TearDown() override {
    MessageBoxProc = ShowMessageBox;
    for (const auto& [protocol, command] : saved_) WriteCommand(protocol, command);
    DeleteFileA(record_.c_str());
  }

  static std::string Key(const std::string& protocol) { return protocol + "\\shell\\open\\command"; }
  static std::pair<bool, std::string> ReadCommand(const std::string& protocol) {
    char value[1024] = {};
    LONG size = sizeof(value);
    const bool found = RegQueryValueA(HKEY_CLASSES_ROOT, Key(protocol).c_str(), value, &size) == ERROR_SUCCESS;
    return {found, value};
  }
  static void WriteCommand(const std::string& protocol, const std::pair<bool, std::string>& command) {
    if (!command.first) {
      RegDeleteKeyA(HKEY_CLASSES_ROOT, Key(protocol).c_str());
      return;
    }
    RegSetValueA(HKEY_CLASSES_ROOT, Key(protocol).c_str(), REG_SZ, command.second.c_str(),
                 static_cast<DWORD>(command.second.size()));
  }
  void RegisterAll(const std::string& program) {
    for (const char* protocol : {"http", "mailto"}) WriteCommand(protocol, {true, "\"" + program + "\" \"%1\""});
  }
  // The lines the recorder wrote, once it has written them.
  std::string Recorded(size_t lines = 1) {
    for (int i = 0; i < 200; ++i) {
      const std::string s = ReadFile(record_);
      if (static_cast<size_t>(std::count(s.begin(), s.end(), '\n')) >= lines) return s;
      Sleep(50);
    }
    return ReadFile(record_);
  }

  std::string record_;
  std::string recorder_;
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

TEST_F(LauncherTest, AWebLinkReachesTheRegisteredProgramExactly) {
  RegisterAll(recorder_);
  const std::string link = "http://www.example.com/page?a=1&b=two";
  EXPECT_TRUE(OpenWebLink(link));
  EXPECT_EQ(Recorded(), link + "\n");
  EXPECT_TRUE(gBoxes.empty());
}

TEST_F(LauncherTest, AMailAddressGetsItsMailtoPrefixOnce) {
  RegisterAll(recorder_);
  EXPECT_TRUE(SendMail("someone@example.com"));
  ASSERT_EQ(Recorded(1), "mailto:someone@example.com\n");
  EXPECT_TRUE(SendMail("mailto:other@example.com"));
  EXPECT_EQ(Recorded(2), "mailto:someone@example.com\nmailto:other@example.com\n");
}

TEST_F(LauncherTest, AProgramPathWithSpacesIsQuotedOnceAndTrimmed) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "orvasil recorder dir";
  const std::string copy = dir + "\\rec.exe";
  CreateDirectoryA(dir.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(recorder_.c_str(), copy.c_str(), FALSE));
  EXPECT_TRUE(ShellOpen(0, "  " + copy + " ", "first"));
  EXPECT_EQ(Recorded(1), "first\n") << "the launches run apart: one at a time";
  EXPECT_TRUE(ShellOpen(0, "\"" + copy + "\"", "second"));
  EXPECT_EQ(Recorded(2), "first\nsecond\n");
  EXPECT_FALSE(ShellOpen(3, copy, "third")) << "no fourth verb";
  DeleteFileA(copy.c_str());
  RemoveDirectoryA(dir.c_str());
}

TEST_F(LauncherTest, WithoutAWorkingProgramTheTranslatedErrorBoxNamesTheLink) {
  RegisterAll("C:\\nowhere\\missing-browser.exe");
  const std::string link = "http://www.example.com/";
  EXPECT_FALSE(OpenWebLink(link));
  ASSERT_EQ(gBoxes.size(), 1u);
  EXPECT_EQ(gBoxes[0].Msg, "Unable to connect to " + link + "\r\nDefault web browser not found!");
  EXPECT_EQ(gBoxes[0].Caption, "Error");
  EXPECT_EQ(gBoxes[0].Icon, 32515);
  EXPECT_EQ(gBoxes[0].DefaultButton, 0);
  EXPECT_EQ(gBoxes[0].ButtonCount, 1u);
  EXPECT_EQ(gBoxes[0].FirstResult, mrOk);

  EXPECT_FALSE(SendMail("someone@example.com"));
  ASSERT_EQ(gBoxes.size(), 2u);
  EXPECT_EQ(gBoxes[1].Msg, "Unable to send mail to mailto:someone@example.com\r\nDefault mail program not found!");

  EXPECT_FALSE(OpenWebLink(link, "", false));
  EXPECT_EQ(gBoxes.size(), 2u) << "no box without ShowError";
}

}  // namespace
