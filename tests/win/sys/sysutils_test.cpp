#include <gtest/gtest.h>

#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "sys/KLSysUtils.h"

using namespace orv;

namespace {

// Writes open commands under the classes root for made-up protocol names, and removes them.
class DefaultProgramTest : public ::testing::Test {
protected:
  void TearDown() override {
    for (const std::string& name : written_) RegDeleteTreeA(HKEY_CLASSES_ROOT, name.c_str());
  }
  void Register(const std::string& name, const std::string& command) {
    written_.push_back(name);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, (name + "\\shell\\open\\command").c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
  }
  struct Result {
    bool ok;
    std::string program, params;
  };
  Result Get(const std::string& name) {
    Result r{false, "stale", "stale"};
    r.ok = GetDefaultProgram(name, r.program, r.params);
    return r;
  }
  std::vector<std::string> written_;
};

TEST_F(DefaultProgramTest, QuotedPathWithSwitchAndPlaceholderSplitsIntoPathAndSwitch) {
  Register("orvtest-mail", "\"C:\\Program Files\\Mail Tool\\mailer.exe\" -compose \"%1\"");
  Result r = Get("orvtest-mail");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.program, "C:\\Program Files\\Mail Tool\\mailer.exe");
  EXPECT_EQ(r.params, "-compose");
}

TEST_F(DefaultProgramTest, PlaceholdersAreRemovedWordByWordAndOtherParametersStay) {
  Register("orvtest-multi", "C:\\Apps\\RUN.BAT /a %1 /b:%2x /c");
  Result r = Get("orvtest-multi");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.program, "C:\\Apps\\RUN.BAT");
  EXPECT_EQ(r.params, "/a  /b: /c");
}

TEST_F(DefaultProgramTest, AnEnvironmentVariableInThePathIsExpanded) {
  SetEnvironmentVariableA("ORVTEST_TOOLS", "C:\\Tools");
  Register("orvtest-env", "%ORVTEST_TOOLS%\\web\\browser.exe %1");
  Result r = Get("orvtest-env");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.program, "C:\\Tools\\web\\browser.exe");
  EXPECT_EQ(r.params, "");
}

TEST_F(DefaultProgramTest, APathThatEndsTheValueHasNoParameters) {
  Register("orvtest-plain", "C:\\Apps\\viewer.Com");
  Result r = Get("orvtest-plain");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.program, "C:\\Apps\\viewer.Com");
  EXPECT_EQ(r.params, "");
}

TEST_F(DefaultProgramTest, TheRightMostExtensionEndsThePath) {
  Register("orvtest-dots", "\"C:\\old.exe files\\app.exe\" --url=%1");
  Result r = Get("orvtest-dots");
  EXPECT_EQ(r.program, "C:\\old.exe files\\app.exe");
  EXPECT_EQ(r.params, "--url=");
}

TEST_F(DefaultProgramTest, WithoutAKnownExtensionAQuotedPathEndsAtItsQuote) {
  Register("orvtest-noext", "\"C:\\Apps\\launcher\" --open \"%1\"");
  Result r = Get("orvtest-noext");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.program, "C:\\Apps\\launcher");
  EXPECT_EQ(r.params, "--open");

  Register("orvtest-bare", "launch");
  r = Get("orvtest-bare");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.program, "launch");
  EXPECT_EQ(r.params, "");
}

TEST_F(DefaultProgramTest, AMissingKeyOrAnEmptyValueGivesFalseAndEmptyOutputs) {
  Result r = Get("orvtest-not-registered");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.program, "");
  EXPECT_EQ(r.params, "");

  Register("orvtest-empty", "");
  r = Get("orvtest-empty");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.program, "");
}

TEST(ReadRegString, GivesTheDefaultForAMissingValueOrOneThatIsNotAString) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\OrvasilTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  DWORD number = 7;
  RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("value"), 6);
  RegCloseKey(key);

  TKLRegistry reg;
  EXPECT_EQ(reg.Access(), 0x20019u);
  reg.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey("Software\\OrvasilTest", false));
  EXPECT_EQ(ReadRegString(reg, "Text", "dflt"), "value");
  EXPECT_EQ(ReadRegString(reg, "Number", "dflt"), "dflt");
  EXPECT_EQ(ReadRegString(reg, "Missing", "dflt"), "dflt");
  EXPECT_FALSE(reg.OpenKey("Software\\OrvasilTest\\NotThere", false));
  reg.CloseKey();
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\OrvasilTest");
}

TEST(StandardFolders, EndWithABackslashAndPointAtTheSystemFolders) {
  for (const std::string* p : {&TempPath, &WindowsPath, &SystemPath, &ProgramFilesPath, &ExePath}) {
    ASSERT_FALSE(p->empty());
    EXPECT_EQ(p->back(), '\\') << *p;
  }
  EXPECT_EQ(GetFileAttributesA(WindowsPath.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributesA((ExePath + "gui_tests.exe").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(ProgramFilesPath.find("Program Files"), std::string::npos);
}

TEST(ScreenCursors, TheProgramsThreeCursorsAreLoaded) {
  HCURSOR arrow = Screen->Cursors(crDefault);
  HCURSOR c1 = Screen->Cursors(crKLHandMove), c2 = Screen->Cursors(crKLHandPoint), c3 = Screen->Cursors(crKLPick);
  EXPECT_NE(c1, arrow);
  EXPECT_NE(c2, arrow);
  EXPECT_NE(c3, arrow);
  EXPECT_NE(c1, c2);
  EXPECT_NE(c2, c3);
  EXPECT_EQ(Screen->Cursors(12345), arrow);
}

TEST(SystemFonts, ComeFromTheNonClientMetrics) {
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0));
  EXPECT_EQ(MessageFont->Name(), ncm.lfMessageFont.lfFaceName);
  EXPECT_EQ(MessageFont->Height(), ncm.lfMessageFont.lfHeight);
  EXPECT_EQ(CaptionFont->Name(), ncm.lfCaptionFont.lfFaceName);
  EXPECT_EQ(CaptionButtonWidth, ncm.iCaptionWidth);
}

TEST(CenterInParent, CentresWithinTheParentAndStopsAtZeroWhenTooBig) {
  TForm form(Application);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(0, 0, 201, 100);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetBounds(5, 5, 50, 20);
  CenterInParent(label);
  EXPECT_EQ(label->Left(), 75);
  EXPECT_EQ(label->Top(), 40);
  label->SetBounds(5, 5, 300, 20);
  CenterInParent(label);
  EXPECT_EQ(label->Left(), 0);
  EXPECT_EQ(label->Top(), 40);

  TLabel orphan(nullptr);
  orphan.SetBounds(9, 9, 10, 10);
  CenterInParent(&orphan);
  EXPECT_EQ(orphan.Left(), 9);
}

}  // namespace
