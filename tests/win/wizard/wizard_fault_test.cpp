// The wizard on a card that fails: built once per kind of card (wizard.cmake), each program
// holding the test for its card.
#include <windows.h>

#include <gtest/gtest.h>

#include "wizard_env.h"

using namespace orv;
using namespace wizardtest;

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class WizardFaultTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("ORVASIL_CARD_IMAGE"), nullptr) << "run through scripts/lib/vcard";
    before = ReadCardImage();
    w = Wizard();
    w->NextBtn->Click();
    ASSERT_EQ(CurrentPage, pgDrive);
    ASSERT_NO_FATAL_FAILURE(PickCard());
  }
  void EraseWithYes() {
    gBoxes.clear();
    AnswerWith(mrYes);
    w->NextBtn->Click();
    ASSERT_EQ(CurrentPage, pgFinish);
  }
  TShredForm* w = nullptr;
  std::vector<uint8_t> before;
};

#ifdef ORVASIL_FAULT_NO_VOLUME
// The drive's volume link points nowhere.
TEST_F(WizardFaultTest, AVolumeThatCannotBeOpenedIsReportedAndNothingIsWritten) {
  ASSERT_NO_FATAL_FAILURE(EraseWithYes());
  ASSERT_EQ(gBoxes.size(), 2u) << "the erase question, then the warning";
  // Wine may still open the drive's device without its volume; then every write fails instead.
  const std::string& warning = gBoxes[1].Text;
  EXPECT_TRUE(Has(warning, "drive E: could not be opened for writing") ||
              Has(warning, "of the card in drive E: could not be overwritten"))
      << warning;
  EXPECT_EQ(gBoxes[1].Icon, 32515);
  EXPECT_EQ(w->PageLabel->Caption(), "Erase failed!");
  EXPECT_FALSE(Has(w->FinishLabel->Caption(), "FORMAT")) << w->FinishLabel->Caption();
  EXPECT_EQ(w->LastOutcome().BytesWritten, 0);
  EXPECT_TRUE(ReadCardImage() == before);
}
#endif

#ifdef ORVASIL_FAULT_DISK_FULL
// A sparse 8 MB image on a 1 MB tmpfs: writes fail with ERROR_DISK_FULL from byte 1 MiB on.
TEST_F(WizardFaultTest, WritesThatStartFailingMidCardAreReportedAsAFailure) {
  ASSERT_NO_FATAL_FAILURE(EraseWithYes());
  ASSERT_EQ(gBoxes.size(), 2u) << "the erase question, then the warning";
  const std::string& warning = gBoxes[1].Text;
  EXPECT_TRUE(Has(warning, "of the card in drive E: could not be overwritten (")) << warning;
  EXPECT_FALSE(Has(warning, ".).")) << "one full stop: " << warning;
  EXPECT_EQ(w->LastOutcome().LastSystemError, static_cast<uint32_t>(ERROR_DISK_FULL));
  EXPECT_GT(w->LastOutcome().BytesNotWritten, 0);
  EXPECT_EQ(w->PageLabel->Caption(), "Erase failed!");
  EXPECT_TRUE(Has(w->FinishLabel->Caption(), "could not be overwritten")) << w->FinishLabel->Caption();
  EXPECT_FALSE(Has(w->FinishLabel->Caption(), "FORMAT"));
  EXPECT_EQ(ReadCardImage().size(), before.size()) << "the image keeps its size";
}
#endif

#ifdef ORVASIL_FAULT_NO_GEOMETRY
// The drive reports no geometry; the chosen size (16 MB) is larger than the volume.
TEST_F(WizardFaultTest, AnAssumedSizeLargerThanTheVolumeDoesNotGrowIt) {
  EXPECT_TRUE(w->GroupBox2->Visible()) << "the size list is shown";
  w->SizeBox->SetItemIndex(1);
  ASSERT_NO_FATAL_FAILURE(EraseWithYes());
  const TEraseOutcome& out = w->LastOutcome();
  EXPECT_TRUE(out.GeometryAssumed);
  const std::vector<uint8_t> after = ReadCardImage();
  ASSERT_EQ(after.size(), before.size()) << "the image must not grow";
  const int64_t whole = static_cast<int64_t>(after.size()) / 512 * 512;
  EXPECT_EQ(FirstNot(after, 0, whole, 0), -1);
  EXPECT_EQ(out.BytesWritten, whole);
  // The volume's own length was known, so all of it was erased: that is told as it is.
  EXPECT_EQ(w->PageLabel->Caption(), "Finished!");
  EXPECT_TRUE(Has(w->FinishLabel->Caption(), "were overwritten")) << w->FinishLabel->Caption();
}
#endif

}  // namespace
