#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lang/KLXLang.h"
#include "link_recorder.h"
#include "shell/KLShellUtils.h"
#include "sys/KLSysUtils.h"
#include "test_files.h"

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

// Registers the recorder (or a program that does not exist) as the open command of "http"
// and "mailto", and puts the former commands back afterwards.
class LauncherTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::LoadEnglish()) << "english.lng not found";
    links_ = std::make_unique<testsupport::TLinkRecorder>("orvasil-launch-record.txt");
    recorder_ = testsupport::WinPath(ORVASIL_RECORDER_UNIX);
    gBoxes.clear();
    MessageBoxProc = RecordBox;
  }
  void TearDown() override {
    MessageBoxProc = ShowMessageBox;
    links_.reset();
  }
  void RegisterAll(const std::string& program) { links_->Register(program); }
  std::string Recorded(size_t lines = 1) { return links_->Recorded(lines); }

  std::unique_ptr<testsupport::TLinkRecorder> links_;
  std::string recorder_;
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
