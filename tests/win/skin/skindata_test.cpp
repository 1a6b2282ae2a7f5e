// Skin data and component skins, the image selection and the skin objects, the skinned control
// base and the arrow images.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "skin/KLXSkinCtrls.h"
#include "skin/KLXSkinData.h"
#include "skin/KLXSkinMaps.h"
#include "skin_env.h"
#include "units_env.h"

using namespace orv;

namespace {

// The units run once for the whole skin test program.
[[maybe_unused]] auto* const kUnits = testsupport::AddUnitsEnvironment();

// Counts the invalidations that reach it.
class TCountingControl : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  void Invalidate() override { ++invalidations; }
  int invalidations = 0;
};

// A skinned control whose after-load method is published, as the image map's is.
class THookedControl : public TKLXSkinGraphicControl {
  ORV_CLASSINFO(THookedControl)
public:
  using TKLXSkinGraphicControl::TKLXSkinGraphicControl;
  void CompBeforeLoad() { log.push_back("owner before"); }
  void CompAfterLoad() { log.push_back("owner after"); }
  std::vector<std::string> log;
};

const TClassInfo& THookedControl::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<THookedControl>("THookedControl", &TKLXSkinGraphicControl::StaticClassInfo())
          .Method("CompBeforeLoad", &THookedControl::CompBeforeLoad)
          .Method("CompAfterLoad", &THookedControl::CompAfterLoad)
          .Info();
  return info;
}

TEST(SkinObjects, TheSlotFollowsDisabledClickedOverOnOff) {
  EXPECT_EQ(StateSlot(ssOn | ssOver), 3);
  EXPECT_EQ(StateSlot(ssClicked | ssOver), 4);
  EXPECT_EQ(StateSlot(ssDisabled | ssClicked), 2);
  EXPECT_EQ(StateSlot(ssOn), 1);
  EXPECT_EQ(StateSlot(ssOff), 0);
  EXPECT_EQ(StateSlot(0), 0);
}

TEST(SkinObjects, UpdateStateIndexTellsWhetherTheImageChanges) {
  TComponent owner(nullptr);
  auto* map = new TKLXSkinMap(&owner);
  TKLXImageData& images = *map->Images();
  images.SetImageIndex(0, 7);  // Off
  images.SetImageIndex(3, 7);  // Over: the same image
  images.SetImageIndex(4, 9);  // Clicked
  TKLXMapArea& area = *map->Areas().Add();
  area.PaintObj().Include(ssOver);
  EXPECT_FALSE(area.PaintObj().UpdateStateIndex()) << "Off and Over show the same image";
  EXPECT_EQ(area.PaintObj().StateIndex(), 3);
  area.PaintObj().Include(ssClicked);
  EXPECT_TRUE(area.PaintObj().UpdateStateIndex());
  EXPECT_EQ(area.PaintObj().StateIndex(), 4);
  EXPECT_FALSE(area.PaintObj().UpdateStateIndex()) << "no change the second time";

  TKLXSkinMapAreaPaintObj orphan(nullptr);
  orphan.SetState(ssOn);
  EXPECT_FALSE(orphan.UpdateStateIndex()) << "no skin, no common data: no change";
  EXPECT_EQ(orphan.StateIndex(), 1);
}

TEST(SkinObjects, ListIndexIsSetThroughSlotFive) {
  TKLXImageData images;
  EXPECT_EQ(images.ListIndex(), 0);
  images.SetImageIndex(5, -1);
  images.SetImageIndex(2, 4);
  images.SetImageIndex(6, 99);
  EXPECT_EQ(images.ListIndex(), -1);
  EXPECT_EQ(images.idxDisabled(), 4);
  EXPECT_EQ(images.GetImageIndex(5), -1) << "the getter knows only the five slots";
}

TEST(SkinObjects, EnableDragAddsTheOwnControlEachTime) {
  TComponent owner(nullptr);
  auto* map = new TKLXSkinMap(&owner);
  TKLXSkinMapMouseObj& mouse = map->MouseObj();
  EXPECT_FALSE(mouse.DragEnabled());
  mouse.EnableDrag(true);
  mouse.EnableDrag(true);
  EXPECT_EQ(mouse.DragControls().Count(), 2);
  mouse.DisableDrag();
  EXPECT_FALSE(mouse.DragEnabled());
  auto* other = new TCountingControl(&owner);
  mouse.DragControls().Add(other);
  delete other;
  EXPECT_EQ(mouse.DragControls().Count(), 2) << "a freed control drops out";
}

TEST(SkinData, SkinsMoveBetweenRegistriesAndAControlSkinMayHaveNone) {
  TComponent owner(nullptr);
  auto* data = new TKLXSkinData(&owner);
  auto* control = new TCountingControl(&owner);
  TKLXControlSkin controlSkin(control);
  TKLXComponentSkin plainSkin(&owner);
  EXPECT_EQ(plainSkin.SkinData(), GlobalSkinData);
  EXPECT_GE(GlobalSkinData->ComponentSkins().IndexOf(&controlSkin), 0);

  plainSkin.SetSkinData(data);
  EXPECT_EQ(GlobalSkinData->ComponentSkins().IndexOf(&plainSkin), -1);
  EXPECT_GE(data->ComponentSkins().IndexOf(&plainSkin), 0);
  plainSkin.SetSkinData(nullptr);
  EXPECT_EQ(plainSkin.SkinData(), GlobalSkinData) << "a plain skin goes back to the global one";
  EXPECT_EQ(data->ComponentSkins().IndexOf(&plainSkin), -1);

  control->invalidations = 0;
  controlSkin.SetSkinData(nullptr);
  EXPECT_EQ(controlSkin.SkinData(), nullptr);
  EXPECT_EQ(GlobalSkinData->ComponentSkins().IndexOf(&controlSkin), -1);
  EXPECT_EQ(control->invalidations, 1);
  controlSkin.SetSkinData(data);
  EXPECT_GE(data->ComponentSkins().IndexOf(&controlSkin), 0);
}

TEST(SkinData, AFreedSkinDataLeavesItsControlsWithTheGlobalOne) {
  TComponent owner(nullptr);
  auto* data = new TKLXSkinData(&owner);
  auto* map = new TKLXSkinMap(&owner);
  map->Skin()->SetSkinData(data);
  TKLXComponentSkin plainSkin(&owner);
  plainSkin.SetSkinData(data);
  auto* shared = new TKLXMapData(data, "Shared");
  map->Skin()->SetCommonData(shared);
  delete data;
  EXPECT_EQ(map->Skin()->SkinData(), GlobalSkinData);
  EXPECT_GE(GlobalSkinData->ComponentSkins().IndexOf(map->Skin()), 0);
  EXPECT_EQ(plainSkin.SkinData(), GlobalSkinData);
  EXPECT_EQ(map->Skin()->CommonData(), nullptr) << "its common data went with the skin data";
  map->Areas().Add()->PaintObj().Include(ssOver);
  map->RepaintArea(*map->Areas().Items(0));  // draws nothing, raises nothing
}

TEST(SkinData, CommonDataNameCallsTheCreateHookOnlyForANewNameOutsideALoad) {
  TComponent owner(nullptr);
  TKLXComponentSkin skin(&owner);
  int created = 0;
  skin.OwnerCreateCommonData = [&] { ++created; };
  skin.SetCommonDataName("");
  EXPECT_EQ(created, 0);
  skin.SetCommonDataName("Map");
  skin.SetCommonDataName("Map");
  EXPECT_EQ(created, 1);
  skin.BeginLoad();
  skin.SetCommonDataName("map");
  EXPECT_EQ(created, 1) << "not while loading";
  skin.EndLoad();
  EXPECT_EQ(created, 2) << "EndLoad calls it";
}

TEST(SkinData, RefreshControlsReachesOnlyExactNamesAndPaintSettingsRefreshOnChange) {
  TComponent owner(nullptr);
  auto* data = new TKLXMapData(GlobalSkinData, "TopData");
  std::unique_ptr<TKLXMapData> freeData(data);
  auto* exact = new TCountingControl(&owner);
  auto* otherCase = new TCountingControl(&owner);
  TKLXControlSkin exactSkin(exact), otherSkin(otherCase);
  exactSkin.SetCommonDataName("TopData");
  otherSkin.SetCommonDataName("topdata");
  exact->invalidations = otherCase->invalidations = 0;

  TKLXSkinDataMapPaintObj& paint = data->PaintObj();
  paint.SetTransparency(255);
  paint.SetPaintType(TKLXSkinPaintType::ptWindows);
  EXPECT_EQ(exact->invalidations, 0) << "the same values refresh nothing";
  paint.SetTransparency(128);
  paint.SetPaintType(TKLXSkinPaintType::ptNone);
  EXPECT_EQ(exact->invalidations, 2);
  EXPECT_EQ(otherCase->invalidations, 0);
  data->Skin()->BeginLoad();
  data->Skin()->RefreshControls(false);
  EXPECT_EQ(exact->invalidations, 2) << "nothing while loading";
  data->Skin()->EndLoad();
}

TEST(SkinData, LoadFromTextUsesTheOwnHeaderAndSkipsUnknownProperties) {
  TComponent owner(nullptr);
  auto* map = new TKLXSkinMap(&owner);
  map->SetName("TopMap");
  std::vector<std::string> log;
  map->Skin()->OnBeforeLoad = [&](TObject* s) { log.push_back(s == map->Skin() ? "before" : "?"); };
  map->Skin()->OnAfterLoad = [&](TObject* s) { log.push_back(s == map->Skin() ? "after" : "?"); };
  map->Skin()->LoadFromText(
      "object SomethingElse: TOtherClass\n"
      "  Width = 321\n"
      "  NoSuchProperty = 5\n"
      "  OutAreaHint = 'outside'\n"
      "  Areas = <\n"
      "    item\n"
      "      DisplayName = 'photo'\n"
      "      Area = '1,2,3,4'\n"
      "    end>\n"
      "end\n",
      true);
  EXPECT_EQ(map->Name(), "TopMap");
  EXPECT_EQ(map->Width(), 321);
  EXPECT_EQ(map->OutAreaHint(), "outside");
  ASSERT_EQ(map->Areas().Count(), 1);
  EXPECT_EQ(map->Areas().Items(0)->Area(), (TRect{1, 2, 3, 4}));
  EXPECT_EQ(log, (std::vector<std::string>{"before", "after"}));
  EXPECT_FALSE(map->Skin()->Loading());

  EXPECT_THROW(map->Skin()->LoadFromText("object TopMap: TKLXSkinMap\n  Width = \nend\n", false), EParserError);
  EXPECT_TRUE(map->Skin()->Loading()) << "a syntax error leaves the load open";
}

TEST(SkinData, TheOwnersLoadMethodsRunInsideTheNotifications) {
  TComponent owner(nullptr);
  auto* control = new THookedControl(&owner);
  control->Skin()->OnAfterLoad = [&](TObject*) { control->log.push_back("event after"); };
  control->Skin()->LoadFromText("", false);
  EXPECT_EQ(control->log, (std::vector<std::string>{"owner before", "owner after", "event after"}));
}

TEST(SkinData, LoadFromStoreFindsTheFormAndComponentExactly) {
  TComponent owner(nullptr);
  auto* map = new TKLXSkinMap(&owner);
  map->SetName("TopMap");
  auto* forms = new TObjStringList;
  forms->AddObject("TopMap", new TKLXSkinText("object TopMap: TKLXSkinMap\n  Width = 77\nend\n"));
  forms->AddObject("topmap", new TKLXSkinText("object TopMap: TKLXSkinMap\n  Width = 5\nend\n"));
  GlobalSkinData->SkinStore().AddObject("MainForm", forms);
  map->Skin()->LoadFromStore("mainform");
  EXPECT_EQ(map->Width(), 100) << "form names compare exactly";
  map->Skin()->LoadFromStore("MainForm");
  EXPECT_EQ(map->Width(), 77);
  GlobalSkinData->SkinStore().Clear();
}

TEST(SkinCtrls, ArrowImagesHoldTheSixArrowsOnMagenta) {
  ASSERT_NE(ArrowImages, nullptr);
  EXPECT_EQ(ArrowImages->TransparentColor(), static_cast<TColor>(0xFF00FF));
  ASSERT_EQ(ArrowImages->Images().Count(), 6);
  TBitmap b;
  ArrowImages->Images().GetBitmap(5, b);
  EXPECT_EQ(b.Width(), 15);
  EXPECT_EQ(b.Height(), 15);
  EXPECT_EQ(b.Canvas().Pixels(0, 0), static_cast<TColor>(0xFF00FF));
}

}  // namespace
