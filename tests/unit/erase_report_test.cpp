// What the wizard tells the user after a run, with the program's English texts.
#include <gtest/gtest.h>

#include "lang/KLXLang.h"
#include "test_files.h"
#include "wizard/EraseReport.h"

using namespace orv;

namespace {

class EraseReportTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeKLXLang();
    ASSERT_TRUE(testsupport::LoadEnglish()) << "english.lng not found";
    context.Drive = "E:";
    context.ElapsedMs = 65'000;
  }
  void TearDown() override { FinalizeKLXLang(); }

  static TEraseOutcome Walked(int64_t bytes) {
    TEraseOutcome o;
    o.VolumeOpened = o.VolumeLocked = o.EndReached = true;
    o.VolumeLength = o.BytesToCover = o.BytesWritten = bytes;
    o.Verified = true;
    o.BytesVerified = bytes;
    return o;
  }
  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  TEraseContext context;
};

TEST_F(EraseReportTest, ACompleteRunIsFinishedAndRemindsToFormatWithoutAWarning) {
  const TEraseOutcome o = Walked(8 * 1024 * 1024);
  ASSERT_TRUE(o.Complete());
  const TEraseReport r = ReportErase(o, context);
  EXPECT_FALSE(r.Failed);
  EXPECT_EQ(r.Title, "Finished!");
  EXPECT_TRUE(r.Warning.empty());
  EXPECT_TRUE(Has(r.Summary, "8.00 MB of 8.00 MB were overwritten with zeros in 1:05.")) << r.Summary;
  EXPECT_TRUE(Has(r.Summary, "FORMAT it there")) << r.Summary;
  EXPECT_TRUE(Has(r.Summary, "8.0 MB read back, all zero.")) << r.Summary;
}

TEST_F(EraseReportTest, ACardThatDoesNotReadBackAsZeroIsAFailure) {
  TEraseOutcome o = Walked(8 * 1024 * 1024);
  o.Verified = false;
  o.BytesVerified = 4096;
  o.VerifyFailedAt = 8192;
  TEraseReport r = ReportErase(o, context);
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(r.Title, "Erase failed!");
  EXPECT_TRUE(Has(r.Warning, "did not read back as zero at byte 8192")) << r.Warning;
  EXPECT_FALSE(Has(r.Summary, "FORMAT"));
  o.VerifyUnreadable = true;
  r = ReportErase(o, context);
  EXPECT_TRUE(Has(r.Warning, "could not be read back at byte 8192")) << r.Warning;

  o = Walked(4096);
  o.Verified = false;
  o.VerifyCancelled = true;
  r = ReportErase(o, context);
  EXPECT_FALSE(r.Failed) << "all was written";
  EXPECT_TRUE(Has(r.Summary, "reading it back to check it was cancelled")) << r.Summary;
}

TEST_F(EraseReportTest, AVolumeThatDidNotOpenOrWasHeldIsAFailureThatSaysWhatToDo) {
  TEraseOutcome o;
  o.LastSystemError = 3;
  context.SystemError = "The system cannot find the path specified.";
  TEraseReport r = ReportErase(o, context);
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(r.Title, "Erase failed!");
  EXPECT_TRUE(Has(r.Warning, "drive E: could not be opened for writing (The system cannot find the path specified.)"))
      << r.Warning;
  EXPECT_TRUE(Has(r.Warning, "not write-protected")) << r.Warning;
  EXPECT_TRUE(Has(r.Summary, "Nothing was written")) << r.Summary;
  EXPECT_FALSE(Has(r.Summary, "FORMAT")) << "no reminder for a card that was not erased";

  o.VolumeInUse = true;
  context.SystemError.clear();
  r = ReportErase(o, context);
  EXPECT_TRUE(r.Failed);
  EXPECT_TRUE(Has(r.Warning, "Another program is using the card in drive E:")) << r.Warning;
  EXPECT_FALSE(Has(r.Warning, "could not be opened")) << "one cause, told once";
}

TEST_F(EraseReportTest, ADriveThatNoLongerHoldsTheConfirmedCardIsAFailureThatSaysWhy) {
  TEraseOutcome o;
  o.Refusal = TEraseRefusal::VolumeChanged;
  const TEraseReport r = ReportErase(o, context);
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(r.Title, "Erase failed!");
  EXPECT_TRUE(Has(r.Warning, "Drive E: no longer holds the card you confirmed")) << r.Warning;
  EXPECT_FALSE(Has(r.Warning, "it is gone, or its size is not known")) << r.Warning;
  EXPECT_TRUE(Has(r.Summary, "Nothing was written")) << r.Summary;
}

TEST_F(EraseReportTest, WritesThatFailedInsideTheCardAreCountedAndTheErrorNamed) {
  TEraseOutcome o = Walked(8 * 1024 * 1024);
  o.BytesWritten = 1024 * 1024;
  o.BytesNotWritten = 7 * 1024 * 1024;
  o.LastSystemError = 112;
  context.SystemError = "There is not enough space on the disk.";
  const TEraseReport r = ReportErase(o, context);
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(r.Title, "Erase failed!");
  EXPECT_TRUE(Has(r.Warning, "7.00 MB of the card in drive E: could not be overwritten (There is not enough space"))
      << r.Warning;
  EXPECT_TRUE(Has(r.Summary, "1.00 MB of 8.00 MB were overwritten")) << r.Summary;
  EXPECT_TRUE(Has(r.Summary, "7.00 MB of the card could not be overwritten.")) << r.Summary;
  EXPECT_FALSE(Has(r.Summary, "FORMAT"));
}

TEST_F(EraseReportTest, ACancelledRunSaysWhereItStoppedAndIsNeitherFinishedNorFailed) {
  TEraseOutcome o = Walked(4096);
  o.BytesWritten = 1024;
  o.EndReached = false;
  o.Cancelled = true;
  const TEraseReport r = ReportErase(o, context);
  EXPECT_FALSE(r.Failed);
  EXPECT_EQ(r.Title, "Cancelled!");
  EXPECT_TRUE(r.Warning.empty());
  EXPECT_TRUE(Has(r.Summary, "cancelled after 1.00 KB of 4.00 KB (1:05)")) << r.Summary;
  EXPECT_FALSE(Has(r.Summary, "FORMAT"));
}

TEST_F(EraseReportTest, ARaisingHookStopsTheRunAndItsTextIsShown) {
  TEraseOutcome o = Walked(4096);
  o.BytesWritten = 2048;
  o.EndReached = false;
  o.Error = "window gone";
  const TEraseReport r = ReportErase(o, context);
  EXPECT_TRUE(r.Failed);
  EXPECT_TRUE(Has(r.Warning, "error: window gone")) << r.Warning;
}

TEST_F(EraseReportTest, AnAssumedSizeWhoseWritesStoppedWarnsButIsNoFailure) {
  TEraseOutcome o = Walked(0);
  o.GeometryAssumed = true;
  o.VolumeLength = -1;
  o.BytesToCover = 16 * 1024 * 1024 + 1024;
  o.BytesWritten = o.WritesStoppedAt = 8 * 1024 * 1024;
  o.StopCauseUnknown = true;
  const TEraseReport r = ReportErase(o, context);
  EXPECT_FALSE(r.Failed);
  EXPECT_EQ(r.Title, "Finished!");
  EXPECT_TRUE(Has(r.Warning, "Writing stopped at 8.00 MB of the chosen 16.0 MB")) << r.Warning;
  EXPECT_TRUE(Has(r.Summary, "Writing stopped at 8.00 MB")) << r.Summary;
  EXPECT_FALSE(Has(r.Summary, "could not be reached")) << "the chosen size, not the card's own";
}

TEST_F(EraseReportTest, AVolumeOfUnknownLengthIsAFailureThatSaysHowMuchWasNotReached) {
  TEraseOutcome o = Walked(8196096);
  o.VolumeLength = -1;
  TEraseReport r = ReportErase(o, context);
  EXPECT_TRUE(r.Failed);
  EXPECT_EQ(r.Title, "Erase failed!");
  EXPECT_TRUE(Has(r.Summary, "The end of the card, after its data area, could not be reached")) << r.Summary;
  EXPECT_FALSE(Has(r.Summary, "FORMAT")) << r.Summary;
  EXPECT_TRUE(Has(r.Warning, "Only the first 7.82 MB of the card in drive E: were overwritten")) << r.Warning;

  o.BytesNotReached = 1600ll << 20;
  r = ReportErase(o, context);
  EXPECT_TRUE(Has(r.Warning, "At least 1.56 GB of the card in drive E: lies past the 7.82 MB")) << r.Warning;

  // A size the user chose has no end of the card's own to reach; nor has a cancelled run.
  o.GeometryAssumed = true;
  EXPECT_EQ(ReportErase(o, context).Title, "Finished!");
  o.GeometryAssumed = false;
  o.Cancelled = true;
  EXPECT_EQ(ReportErase(o, context).Title, "Cancelled!");
}

TEST_F(EraseReportTest, FiguresAndSizesReadAsAPersonWritesThem) {
  EXPECT_EQ(SizeText(512), "512 bytes");
  EXPECT_EQ(SizeText(1536), "1.50 KB");
  EXPECT_EQ(SizeText(8'500'000), "8.11 MB");
  EXPECT_EQ(SizeText(int64_t{4096} * 1024 * 1024 * 10), "40.0 GB");
  EXPECT_EQ(DurationText(7), "0:07");
  EXPECT_EQ(DurationText(3723), "1:02:03");
  EXPECT_EQ(FormatText("%s of %s%s", {"a", "b"}), "a of b");
  EXPECT_EQ(EraseProgressText(1024 * 1024, 4 * 1024 * 1024, 2000),
            "Written: 1.00 MB of 4.00 MB\r\nSpeed: 512 KB/s\r\nTime left: 0:06");
  EXPECT_EQ(EraseProgressText(0, 4096, 0), "Written: 0 bytes of 4.00 KB\r\nSpeed: -\r\nTime left: -");
}

}  // namespace
