#include <gtest/gtest.h>

#include <stdexcept>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "lang/KLXLang.h"
#include "test_files.h"

using namespace orv;

namespace {

std::vector<std::string> Entries(const TKLXLanguage& lang) {
  std::vector<std::string> r;
  for (int i = 0; i < lang.Words()->Count(); ++i) r.push_back(lang.Words()->Get(i));
  return r;
}

class LanguageTest : public ::testing::Test {
protected:
  void SetUp() override { InitializeKLXLang(); }
  void TearDown() override { FinalizeKLXLang(); }
  void Load(const std::string& text) {
    stream_.FromString(text);
    GlobalLanguage->LoadText(stream_);
  }
  void Merge(const std::string& text) {
    stream_.FromString(text);
    GlobalLanguage->MergeText(stream_);
  }
  std::string Word(const std::string& key) { return GlobalLanguage->GetWord(key); }
  TMemoryStream stream_;
};

TEST_F(LanguageTest, OnlyTheFullEscapeBecomesALineBreak) {
  Load("A=one#13#10two\r\nB=x#13y#10z\r\nC=#13#10#13#10\r\nD=#13#13#10#10\r\n");
  EXPECT_EQ(Word("A"), "one\r\ntwo");
  EXPECT_EQ(Word("B"), "x#13y#10z");
  EXPECT_EQ(Word("C"), "\r\n\r\n");
  EXPECT_EQ(Word("D"), "#13\r\n#10");
}

TEST_F(LanguageTest, KeysMatchInAnyCaseButSpacesBelongToKeyAndValue) {
  Load("CapOK=OK\r\nSpaced = value \r\n");
  EXPECT_EQ(Word("capok"), "OK");
  EXPECT_EQ(Word("CAPOK"), "OK");
  EXPECT_EQ(Word("Spaced"), "");
  EXPECT_EQ(Word("Spaced "), " value ");
  EXPECT_EQ(Word("Missing"), "");
}

TEST_F(LanguageTest, TheValueIsEverythingAfterTheFirstEqualsSign) {
  Load("Url=http://x.example/?a=b&c=d\r\nEmpty=\r\n=no key\r\nno equals sign\r\n\r\n");
  EXPECT_EQ(Word("Url"), "http://x.example/?a=b&c=d");
  EXPECT_EQ(Word("Empty"), "");
  EXPECT_EQ(Word(""), "no key");
  EXPECT_EQ(Word("no equals sign"), "");
  EXPECT_EQ(GlobalLanguage->Words()->Count(), 5) << "lines without '=' are kept too";
}

TEST_F(LanguageTest, DuplicateLinesAreDroppedButTwoValuesOfOneKeyBothStay) {
  Load("CapOK=Okay\r\nCapOK=OK\r\ncapok=ok\r\nCapOK=OK\r\n");
  EXPECT_EQ(Entries(*GlobalLanguage), (std::vector<std::string>{"CapOK=OK", "CapOK=Okay"}));
  EXPECT_EQ(Word("CapOK"), "OK") << "the line that sorts first wins, whatever the order of loading";
}

TEST_F(LanguageTest, EveryKindOfLineEndReadsTheSame) {
  const std::vector<std::string> expected = {"A=1", "B=2", "C=3"};
  for (const std::string text : {"A=1\r\nB=2\r\nC=3\r\n", "A=1\nB=2\nC=3", "A=1\rB=2\rC=3\r", "C=3\nB=2\r\nA=1\r"}) {
    Load(text);
    EXPECT_EQ(Entries(*GlobalLanguage), expected) << text;
  }
  Load(std::string("A=1\r\nB=2\0C=3\r\n", 15));
  EXPECT_EQ(Entries(*GlobalLanguage), (std::vector<std::string>{"A=1", "B=2"})) << "a NUL ends the text";
}

TEST_F(LanguageTest, MergeTextAddsAndLoadTextReplacesReadingFromThePosition) {
  Load("A=1\r\nB=2\r\n");
  Merge("B=two\r\nC=3\r\n");
  EXPECT_EQ(Entries(*GlobalLanguage), (std::vector<std::string>{"A=1", "B=2", "B=two", "C=3"}));
  stream_.FromString("Skipped=1\r\nD=4\r\n");
  stream_.SetPosition(11);
  GlobalLanguage->LoadText(stream_);
  EXPECT_EQ(Entries(*GlobalLanguage), (std::vector<std::string>{"D=4"}));
}

TEST_F(LanguageTest, WordsLoadFromStreamAddsUnescapedLinesAndRunsNoCallbacks) {
  int calls = 0;
  RegisterLanguageMethod([&] { ++calls; });
  Load("B=2\r\n");
  stream_.FromString("A=x#13#10y\r\nB=2\r\n");
  GlobalLanguage->Words()->LoadFromStream(stream_);
  EXPECT_EQ(Entries(*GlobalLanguage), (std::vector<std::string>{"A=x\r\ny", "B=2"}));
  EXPECT_EQ(calls, 2) << "once at registration, once for LoadText";
}

int gProcCalls = 0;
std::string gSeenByProc;
void CountingProc() {
  ++gProcCalls;
  gSeenByProc = GlobalLanguage->GetWord("CapYes");
}

TEST_F(LanguageTest, CallbacksRunAtRegistrationAndAtEveryLoadOfTheGlobalTable) {
  gProcCalls = 0;
  gSeenByProc = "unset";
  TProcedureObject* proc = RegisterLanguageProc(CountingProc);
  EXPECT_EQ(gProcCalls, 1);
  EXPECT_EQ(gSeenByProc, "") << "the table is still empty";

  struct Window {
    int applied = 0;
    void ApplyTexts() { ++applied; }
  } window;
  TMethodObject* method = RegisterLanguageMethod(&window, &Window::ApplyTexts);
  EXPECT_EQ(window.applied, 1);

  Load("CapYes=Yes\r\n");
  EXPECT_EQ(gProcCalls, 2);
  EXPECT_EQ(gSeenByProc, "Yes");
  Merge("CapNo=No\r\n");
  EXPECT_EQ(gProcCalls, 3);
  EXPECT_EQ(window.applied, 3);

  GlobalLanguage->Clear();
  EXPECT_EQ(gProcCalls, 3) << "Clear runs no callbacks";
  GlobalLanguage->SetNotifyOnLoad(false);
  Load("CapYes=Ja\r\n");
  EXPECT_EQ(gProcCalls, 3);
  GlobalLanguage->SetNotifyOnLoad(true);

  TKLXLanguage other;
  stream_.FromString("CapYes=Oui\r\n");
  other.LoadText(stream_);
  EXPECT_EQ(gProcCalls, 3) << "only the global table runs callbacks";

  UnregisterLanguageInit(method);
  UnregisterLanguageInit(proc);
  Load("CapYes=Yes\r\n");
  EXPECT_EQ(gProcCalls, 3);
  EXPECT_EQ(window.applied, 3);
  EXPECT_TRUE(LanguageInitList->empty());
}

TEST_F(LanguageTest, ACallbackCanUnregisterALaterOneOrItselfDuringTheWalk) {
  std::vector<std::string> order;
  TMethodObject* third = nullptr;
  TMethodObject* second = nullptr;
  RegisterLanguageMethod([&] {
    order.push_back("first");
    if (third) {
      UnregisterLanguageInit(third);
      third = nullptr;
    }
  });
  second = RegisterLanguageMethod([&] {
    order.push_back("second");
    if (second && order.size() > 3) {
      UnregisterLanguageInit(second);
      second = nullptr;
    }
  });
  third = RegisterLanguageMethod([&] { order.push_back("third"); });
  order.clear();

  Load("A=1\r\n");
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second"}));
  order.push_back("-");
  Load("A=1\r\n");
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "-", "first", "second"}));
  EXPECT_EQ(LanguageInitList->size(), 1u);
}

TEST_F(LanguageTest, ACallbackRegisteredDuringTheWalkRunsOnceAndNotAgainInThatWalk) {
  int late = 0;
  bool added = false;
  RegisterLanguageMethod([&] {
    if (!GlobalLanguage->GetWord("A").empty() && !added) {
      added = true;
      RegisterLanguageMethod([&] { ++late; });
    }
  });
  Load("A=1\r\n");
  EXPECT_EQ(late, 1);
  Load("A=1\r\n");
  EXPECT_EQ(late, 2);
}

TEST_F(LanguageTest, ARaisingCallbackIsSkippedAndTheOthersStillRun) {
  int after = 0;
  RegisterLanguageMethod([&] {
    if (!GlobalLanguage->GetWord("A").empty()) throw std::runtime_error("bad window");
  });
  RegisterLanguageMethod([&] { ++after; });
  EXPECT_NO_THROW(Load("A=1\r\n"));
  EXPECT_EQ(after, 2);
}

TEST_F(LanguageTest, AssignCopiesEverythingDeeplyAndAlwaysNotifiesTheGlobalTable) {
  TKLXLanguage source;
  stream_.FromString("A=1\r\nB=2\r\n");
  source.LoadText(stream_);
  source.Header()->LanguageName = "English";
  source.Header()->LanguageID = 9;
  TKLXBinItem* item = source.BinItems()->Add();
  item->SetName(std::string(300, 'n'));
  item->Tag = 5;
  item->Stream().WriteBuffer("abc", 3);
  source.SetNotifyOnLoad(false);

  int calls = 0;
  RegisterLanguageMethod([&] { ++calls; });
  GlobalLanguage->Assign(&source);
  EXPECT_EQ(calls, 2) << "Assign notifies whatever NotifyOnLoad says";
  EXPECT_EQ(Entries(*GlobalLanguage), (std::vector<std::string>{"A=1", "B=2"}));
  EXPECT_EQ(GlobalLanguage->Header()->LanguageName, "English");
  EXPECT_EQ(GlobalLanguage->Header()->LanguageID, 9);
  EXPECT_FALSE(GlobalLanguage->NotifyOnLoad());
  ASSERT_EQ(GlobalLanguage->BinItems()->Count(), 1);
  TKLXBinItem* copy = GlobalLanguage->BinItems()->Items(0);
  EXPECT_EQ(copy->Name().size(), 255u);
  EXPECT_EQ(copy->Tag, 5);
  item->Stream().WriteBuffer("def", 3);
  source.Words()->Clear();
  EXPECT_EQ(copy->Stream().ToString(), "abc");
  EXPECT_EQ(GlobalLanguage->Words()->Count(), 2);

  TStringList notALanguage;
  try {
    GlobalLanguage->Assign(&notALanguage);
    FAIL() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TStringList to a TKLXLanguage");
  }
}

TEST_F(LanguageTest, TheEnglishTextHoldsEveryKeyInOrderWithCrLfLineEnds) {
  const std::string text = testsupport::EnglishText();
  ASSERT_FALSE(text.empty()) << "english.lng not found";
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    }
    if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
    }
  }
  const std::vector<std::string> keys = {"MsgConfirmEraseCard",
                                         "CapFinish",
                                         "CapFinished",
                                         "MsgErrorNoDefaultBrowser",
                                         "MsgErrorNoDefaultMail",
                                         "CapMemoryCardInformation",
                                         "CapSelectCardOrCamera",
                                         "TxtSelectCardOrCameraNote",
                                         "CapSelectCardSize",
                                         "CapProcessAnotherCard",
                                         "MsgDoYouReallyWantCancel",
                                         "CapStart",
                                         "CapDonateS",
                                         "MsgCannotExitWhileRecoveryActive",
                                         "CapTremalonSecureEraser",
                                         "TxtSecureEraserSelectCardSizeNote",
                                         "TxtSecureEraserPleaseWait",
                                         "CapVerifying",
                                         "MsgVerifyNotZeroAtS",
                                         "MsgVerifyUnreadableAtS",
                                         "TxtVerifiedSMB",
                                         "TxtVerifyCancelled",
                                         "CapClose",
                                         "CapExit",
                                         "CapNext",
                                         "CapBack",
                                         "CapYes",
                                         "CapNo",
                                         "CapRetry",
                                         "CapAppend",
                                         "CapReplace",
                                         "CapOverwrite",
                                         "CapRename",
                                         "CapContinue",
                                         "CapResume",
                                         "CapError",
                                         "CapWorking",
                                         "CapUpgradeToPRO",
                                         "ntCapUpTremalonWeb",
                                         "ntURLTremalonWeb",
                                         "ntURLTremalonDonate",
                                         "CapOK",
                                         "CapCancel",
                                         "CapEraseMemoryCard",
                                         "CapEraseFailed",
                                         "CapCancelled",
                                         "TxtNoCardDriveFound",
                                         "TxtEraseTargetS",
                                         "MsgDriveNotErasableS",
                                         "TxtEraseProgress",
                                         "MsgEraseNoDrive",
                                         "MsgEraseVolumeChanged",
                                         "MsgEraseVolumeInUse",
                                         "MsgEraseVolumeNotOpened",
                                         "MsgEraseWritesFailed",
                                         "MsgEraseNotReachedS",
                                         "MsgEraseEndUnknownS",
                                         "MsgEraseStopped",
                                         "MsgEraseWritesStoppedAt",
                                         "TxtEraseNothingWritten",
                                         "TxtEraseWritten",
                                         "TxtEraseCancelledAt",
                                         "TxtEraseNotWritten",
                                         "TxtEraseStoppedAt",
                                         "TxtEraseEndNotReached",
                                         "TxtEraseFormatReminder",
                                         "LangID",
                                         "LangName"};
  std::vector<std::string> fileKeys;
  for (const std::string& line : SplitLines(text.data(), text.size()))
    fileKeys.push_back(line.substr(0, line.find('=')));
  EXPECT_EQ(fileKeys, keys);

  Load(text);
  for (const std::string& k : keys) EXPECT_FALSE(Word(k).empty()) << k;
  EXPECT_EQ(Word("MsgConfirmEraseCard"),
            "Are you sure you want to erase the card content?\r\nTHIS ACTION CANNOT BE UNDONE!");
  EXPECT_EQ(Word("CapTremalonSecureEraser"), "Orvasil");
  EXPECT_EQ(Word("LangID"), "$0009");
  EXPECT_EQ(Word("ntURLTremalonDonate"), "http://www.tremalon.example/donate.htm");
}

}  // namespace
