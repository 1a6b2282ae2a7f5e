#include "app/MainF.h"

#include <memory>

#include "base/Exceptions.h"
#include "gui/Pictures.h"
#include "gui/StdCtrls.h"
#include "lang/KLXLang.h"
#include "skin/KLClasses.h"
#include "skin/KLXImgList.h"
#include "skin/KLXSkin.h"
#include "skin/KLXSkinMaps.h"
#include "sys/KLSysUtils.h"
#include "wizard/ShredF.h"

namespace orv {

namespace {
constexpr int32_t kTopBarHeight = 24;
constexpr int32_t kPictureHeight = 413;
constexpr int32_t kWindowWidth = 625;
// The programs panel covers the cover's bottom rows from here.
constexpr int32_t kProgramsPanelTop = 257;
constexpr int32_t kIdiExclamation = 32515;

// Image selection: the strip list, then the Off, On, Over and Clicked slots.
void SelectMapImages(TKLXSkinMap& Map, int32_t List, int32_t Off, int32_t On, int32_t Over, int32_t Clicked) {
  TKLXImageData* images = Map.Images();
  if (!images) return;
  images->SetImageIndex(5, List);
  images->SetidxOff(Off);
  images->SetidxOn(On);
  images->SetidxOver(Over);
  images->SetidxClicked(Clicked);
}
}  // namespace

const TClassInfo& TMainForm::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMainForm>("TMainForm", &TForm::StaticClassInfo())
                                     .Method("FormCreate", &TMainForm::FormCreate)
                                     .Method("FormCloseQuery", &TMainForm::FormCloseQuery)
                                     .Method("TopMapMapClick", &TMainForm::TopMapMapClick)
                                     .Info();
  return info;
}

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {}

void TMainForm::Loaded() {
  TForm::Loaded();
  TopMap = Part<TKLXSkinMap>("TopMap");
  CoverMap = Part<TKLXSkinMap>("CoverMap");
  ProgramsMap = Part<TKLXSkinMap>("ProgramsMap");
  lgStream = Part<TKLStoredStream>("lgStream");
  imgStream = Part<TKLStoredStream>("imgStream");
  AllImages = Part<TKLXImages>("AllImages");
}

void TMainForm::FormCreate(TObject*) {
  SetClientHeight(kTopBarHeight + kPictureHeight);
  SetClientWidth(kWindowWidth);
  lgStream->BinStream()->SetPosition(0);
  GlobalLanguage->LoadText(*lgStream->BinStream());
  imgStream->BinStream()->SetPosition(0);
  AllImages->LoadFromStream(*imgStream->BinStream());
  LoadImageLists();
  TopMap->MouseObj().DragControls().Add(this);
  TopMap->MouseObj().EnableDrag(false);
  SelectImages();
  ProgramsMap->SetBounds(CoverMap->Left(), CoverMap->Top(), ProgramsMap->Width(), ProgramsMap->Height());
}

// List 0: the top bar and its lit version. List 1: the cover, its lit version, and the
// cover with the programs panel drawn over its bottom rows.
void TMainForm::LoadImageLists() {
  TPicture picture;
  TKLBitmap bitmap;
  TKLXImageCollection& all = AllImages->Images();

  auto* topBar = new TKLXBmpImages(this);
  for (int item : {0, 1}) {
    all.GetPicture(item, picture);
    topBar->Images().AddPicture(picture);
  }
  GlobalSkinData->ImageLists().Add(topBar);
  topBar->Rebuild();
  topBar->ReleaseImages();

  // The covers go into list 1 as the bitmaps just decoded, so that its rebuild copies them
  // instead of decoding each JPEG a second time (the list's pictures are let go right after).
  auto* cover = new TKLXBmpImages(this);
  all.GetPicture(2, picture);
  bitmap.Assign(picture.Graphic());
  cover->Images().AddBitmap(bitmap);
  TKLBitmap lit;
  all.GetPicture(3, picture);
  lit.Assign(picture.Graphic());
  cover->Images().AddBitmap(lit);
  all.GetPicture(4, picture);
  if (picture.Graphic()) bitmap.Canvas().Draw(0, kProgramsPanelTop, *picture.Graphic());
  cover->Images().AddBitmap(bitmap);
  GlobalSkinData->ImageLists().Add(cover);
  cover->Rebuild();
  cover->ReleaseImages();
}

void TMainForm::SelectImages() {
  SelectMapImages(*TopMap, 0, 0, 0, 1, 1);
  SelectMapImages(*CoverMap, 1, 0, 0, 1, 1);
  SelectMapImages(*ProgramsMap, 1, 2, 2, 2, 2);
}

void TMainForm::TopMapMapClick(TObject*, const std::string& AreaName, int32_t) {
  if (AreaName == "exit") {
    Close();
  } else if (AreaName == "photo") {
    ShowShredForm();
  } else if (AreaName == "programs") {
    ProgramsMap->SetVisible(true);
    CoverMap->SetVisible(false);
  } else if (AreaName == "back") {
    ProgramsMap->SetVisible(!ProgramsMap->Visible());
    CoverMap->SetVisible(!CoverMap->Visible());
  }
}

void TMainForm::ShowShredForm() {
  if (!ShredForm) {
    TShredForm* form = nullptr;
    Application->CreateForm(form);
  }
  if (CurrentPage == pgAbout) ShredForm->RestartBtn->Click();
  if (ShredForm->WindowState() == TWindowState::wsMinimized) ShredForm->SetWindowState(TWindowState::wsNormal);
  ShredForm->Show();
  ShredForm->BringToFront();
}

void TMainForm::FormCloseQuery(TObject*, bool& CanClose) {
  if (!ShredForm || !ShredForm->Visible()) return;
  CanClose = false;
  MessageBoxProc(GlobalLanguage->GetWord("MsgCannotExitWhileRecoveryActive"), std::string(), kIdiExclamation, 0,
                 OkButtons);
  ShowShredForm();
}

}  // namespace orv
