#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/Filer.h"
#include "base/Streams.h"
#include "gui/ComboBoxEx.h"
#include "gui/Forms.h"
#include "gui/ImgList.h"
#include "test_files.h"

using namespace orv;

namespace {

struct TShownItem {
  std::string Caption;
  int Image, SelectedImage, Indent;
};

TShownItem ShownItem(HWND combo, int index) {
  char text[256] = {};
  COMBOBOXEXITEMA item{};
  item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
  item.iItem = index;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  EXPECT_TRUE(SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  return {text, item.iImage, item.iSelectedImage, item.iIndent};
}

int WindowCount(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0)); }

void PumpMessages() {
  for (int i = 0; i < 20; ++i) {
    Application->ProcessMessages();
    Sleep(10);
  }
}

class ComboBoxExTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = std::make_unique<TForm>(Application);
    form_->SetBounds(100, 100, 300, 200);
    images_ = new TCustomImageList(form_.get());
    images_->AddIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING)));
    images_->AddIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_INFORMATION)));
    combo_ = new TComboBoxEx(form_.get());
    combo_->SetStyle(TComboBoxExStyle::csExDropDownList);
    combo_->SetBounds(10, 10, 200, 22);
    combo_->SetParent(form_.get());
    combo_->SetImages(images_);
  }
  std::unique_ptr<TForm> form_;
  TCustomImageList* images_ = nullptr;
  TComboBoxEx* combo_ = nullptr;
};

TEST_F(ComboBoxExTest, TheWindowShowsTheItemsWithTheirImagesOncePerUpdateBracket) {
  form_->Show();
  HWND wnd = combo_->Handle();
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(wnd, CBEM_GETIMAGELIST, 0, 0)), images_->Handle());
  combo_->BeginUpdate();
  combo_->ItemsEx().AddItem("Warning", 0, 1, 0, nullptr);
  combo_->ItemsEx().AddItem("Information", 1, 1, 2, nullptr);
  EXPECT_EQ(WindowCount(wnd), 0) << "nothing reaches the window inside the bracket";
  combo_->EndUpdate();
  ASSERT_EQ(WindowCount(wnd), 2);
  const TShownItem first = ShownItem(wnd, 0), second = ShownItem(wnd, 1);
  EXPECT_EQ(first.Caption, "Warning");
  EXPECT_EQ(first.Image, 0);
  EXPECT_EQ(first.SelectedImage, 1);
  EXPECT_EQ(second.Caption, "Information");
  EXPECT_EQ(second.Indent, 2);

  combo_->ItemsEx().Items(1)->SetCaption("Info");
  EXPECT_EQ(ShownItem(wnd, 1).Caption, "Info") << "a changed item is changed in the window";
}

TEST_F(ComboBoxExTest, ABorrowedListIsShownUntilImagesIsAssignedAndAgainWhenImagesGoes) {
  HIMAGELIST borrowed = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
  combo_->SetImages(nullptr);
  combo_->SetImageListHandle(borrowed);
  HWND wnd = combo_->Handle();
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(wnd, CBEM_GETIMAGELIST, 0, 0)), borrowed);
  combo_->SetImages(images_);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(wnd, CBEM_GETIMAGELIST, 0, 0)), images_->Handle());
  delete images_;
  EXPECT_EQ(combo_->Images(), nullptr);
  EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(wnd, CBEM_GETIMAGELIST, 0, 0)), borrowed);
  form_.reset();
  EXPECT_TRUE(ImageList_Destroy(borrowed)) << "the borrowed list was not freed by the control";
}

TEST_F(ComboBoxExTest, ItemIndexFollowsTheUsersPickAndOnChangeRunsForIt) {
  for (const char* caption : {"A", "B", "C"}) combo_->ItemsEx().AddItem(caption, 0, 0, 0, nullptr);
  int changes = 0;
  combo_->OnChange = [&](TObject*) { ++changes; };
  form_->Show();
  combo_->SetItemIndex(0);
  EXPECT_EQ(changes, 0) << "setting the index is no change by the user";
  EXPECT_EQ(SendMessageA(combo_->Handle(), CB_GETCURSEL, 0, 0), 0);

  HWND inner = reinterpret_cast<HWND>(SendMessageA(combo_->Handle(), CBEM_GETCOMBOCONTROL, 0, 0));
  ASSERT_TRUE(inner);
  PostMessageA(inner, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(inner, WM_KEYUP, VK_DOWN, 0);
  PumpMessages();
  EXPECT_EQ(combo_->ItemIndex(), 1);
  EXPECT_GE(changes, 1);

  combo_->ItemsEx().Delete(1);
  EXPECT_EQ(combo_->ItemIndex(), -1) << "deleting the selected item leaves nothing selected";
  combo_->SetItemIndex(1);
  combo_->ItemsEx().Delete(0);
  EXPECT_EQ(combo_->ItemIndex(), 0) << "the selection moves with its item";
  EXPECT_EQ(SendMessageA(combo_->Handle(), CB_GETCURSEL, 0, 0), 0);
}

TEST(ComboBoxExDefinition, ADefinitionHoldsItsStyleItemsAndImages) {
  const std::string text =
      "object Host: TForm\n"
      "  object Icons: TCustomImageList\n    Width = 20\n  end\n"
      "  object Box: TComboBoxEx\n    Style = csExDropDownList\n    DropDownCount = 5\n    Images = Icons\n"
      "    ItemsEx = <\n      item\n        Caption = 'One'\n        ImageIndex = 3\n      end\n"
      "      item\n        Caption = 'Two'\n        Indent = 1\n      end>\n  end\nend\n";
  auto form = std::make_unique<TForm>(Application);
  testsupport::ReadRootFromText(text, form.get());
  auto* box = dynamic_cast<TComboBoxEx*>(form->FindComponent("Box"));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->Style(), TComboBoxExStyle::csExDropDownList);
  EXPECT_EQ(box->DropDownCount(), 5);
  ASSERT_NE(box->Images(), nullptr);
  EXPECT_EQ(box->Images()->Width(), 20);
  ASSERT_EQ(box->ItemsEx().Count(), 2);
  EXPECT_EQ(box->ItemsEx().Items(0)->ImageIndex(), 3);
  EXPECT_EQ(box->ItemsEx().Items(1)->ImageIndex(), -1);
  EXPECT_EQ(box->ItemsEx().Items(1)->Indent(), 1);
  EXPECT_EQ(WindowCount(box->Handle()), 2);
  EXPECT_TRUE(GetWindowLongA(box->Handle(), GWL_STYLE) & CBS_DROPDOWNLIST);
}

}  // namespace
