#pragma once
// Skin data and component skins. A skin data component is the registry of one skin: it knows
// every component skin and common-data skin attached to it, owns the strip image lists that
// skinned controls draw from, and keeps skin texts by form and component name. Every skinned
// component carries a skin, a persistent sub-object that ties it to a skin data; data shared by
// several controls lives in a common-data component that the skin data owns.
//
// Load protocol of a skin: BeginLoad (Loading set, before-load notifications), the properties
// are read, EndLoad (create-common-data hook, after-load notifications, Loading cleared).
//
// Owner hooks: the before-load and after-load hooks run the component's published methods
// "CompBeforeLoad" and "CompAfterLoad" when it publishes them (looked up by name when a load
// begins, once the component is fully built); the create-common-data hook is left to the
// component to assign (OwnerCreateCommonData), since running the component's own
// "CompCreateCommonData" on every load would replace the common data and the image selection
// that the program put into it.
#include <functional>
#include <string>
#include <vector>

#include "base/Component.h"
#include "skin/KLXImgList.h"
#include "sys/KLString.h"

namespace orv {

class TControl;
class TKLXSkinData;
class TKLXCommonData;
class TKLXCustomComponentSkin;

// Skins by index; the list does not own them, and an entry can be set to none in place.
class TKLXSkinObjectList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TKLXCustomComponentSkin* Items(int Index) const;
  void SetItems(int Index, TKLXCustomComponentSkin* Value);
  int Add(TKLXCustomComponentSkin* Item);
  int IndexOf(const TKLXCustomComponentSkin* Item) const;
  // Removes the first entry of Item; False when there is none.
  bool Remove(const TKLXCustomComponentSkin* Item);

private:
  std::vector<TKLXCustomComponentSkin*> items_;
};

// One skin text of the skin store.
class TKLXSkinText : public TObject {
public:
  explicit TKLXSkinText(std::string text) : Text(std::move(text)) {}
  std::string Text;
};

class TKLXSkinData : public TComponent {
  ORV_CLASSINFO(TKLXSkinData)
public:
  explicit TKLXSkinData(TComponent* owner);
  // Frees the common data it owns, then moves every skin still attached to GlobalSkinData
  // (the skins of GlobalSkinData itself are left without skin data).
  ~TKLXSkinData() override;

  TKLXSkinObjectList& ComponentSkins() { return componentSkins_; }
  TKLXSkinObjectList& CommonDataSkins() { return commonDataSkins_; }
  TKLXBmpImageList& ImageLists() { return imageLists_; }
  // Items are form names; each object is a TObjStringList of component names whose objects
  // are TKLXSkinText.
  TObjStringList& SkinStore() { return skinStore_; }
  // The owner's name when the owner is a form, else empty.
  std::string FormName() const;

private:
  TKLXSkinObjectList componentSkins_;
  TKLXSkinObjectList commonDataSkins_;
  TKLXBmpImageList imageLists_;
  TObjStringList skinStore_;
};

// The process-wide skin data; every new skin starts attached to it.
extern TKLXSkinData* GlobalSkinData;

class TKLXCustomComponentSkin : public TPersistent {
  ORV_CLASSINFO(TKLXCustomComponentSkin)
public:
  explicit TKLXCustomComponentSkin(TComponent* Component);
  ~TKLXCustomComponentSkin() override;

  TKLXSkinData* SkinData() const { return skinData_; }
  virtual void SetSkinData(TKLXSkinData* Value);
  const std::string& CommonDataName() const { return commonDataName_; }
  void SetCommonDataName(const std::string& Value);
  bool Loading() const { return loading_; }
  const std::string& FormName() const { return formName_; }
  TComponent* Component() const { return component_; }
  TKLXCommonData* CommonData() const { return commonData_; }
  void SetCommonData(TKLXCommonData* Value);

  virtual void TextApplied(const std::string& Text) {}
  virtual void RegisterSkin() {}
  virtual void UnregisterSkin() {}
  // With ReplaceHeader, the text's first line is replaced by the component's own header.
  virtual void LoadFromText(const std::string& Text, bool ReplaceHeader);
  // The text stored for the component under form Name (the skin's form when Name is empty).
  virtual void LoadFromStore(const std::string& Name);
  virtual void BeginLoad();
  virtual void EndLoad();
  virtual void BeforeLoad() {}
  virtual void AfterLoad() {}

  TNotifyEvent OnAfterLoad;
  TNotifyEvent OnBeforeLoad;
  std::function<void()> OwnerAfterLoad;
  std::function<void()> OwnerBeforeLoad;
  std::function<void()> OwnerCreateCommonData;

protected:
  void SetFormName(const std::string& Value) { formName_ = Value; }
  // Attaches without registering (the control skins' own SetSkinData does the registering).
  void AttachSkinData(TKLXSkinData* Value) { skinData_ = Value; }
  void ApplyText(const std::string& Text);
  void ApplyStoredText(const std::string& Name);
  void DoBeforeLoad();
  void DoAfterLoad();
  void CreateCommonDataIfHooked();

private:
  friend class TKLXSkinData;
  friend class TKLXCommonData;
  void ConnectOwnerHooks();

  TKLXSkinData* skinData_ = nullptr;
  std::string commonDataName_;
  bool loading_ = false;
  std::string formName_;
  TComponent* component_;
  TKLXCommonData* commonData_ = nullptr;
};

class TKLXCommonDataSkin : public TKLXCustomComponentSkin {
  ORV_CLASSINFO(TKLXCommonDataSkin)
public:
  explicit TKLXCommonDataSkin(TComponent* Component);
  ~TKLXCommonDataSkin() override;
  void RegisterSkin() override;
  void UnregisterSkin() override;
  // Every control whose skin names this common data (exact comparison) is invalidated, or,
  // with Recreate, has its window made again (a windowless one is invalidated). Nothing while
  // loading.
  void RefreshControls(bool Recreate);
};

class TKLXComponentSkin : public TKLXCustomComponentSkin {
  ORV_CLASSINFO(TKLXComponentSkin)
public:
  explicit TKLXComponentSkin(TComponent* Component);
  ~TKLXComponentSkin() override;
  void RegisterSkin() override;
  void UnregisterSkin() override;
};

class TKLXCustomControlSkin : public TKLXComponentSkin {
  ORV_CLASSINFO(TKLXCustomControlSkin)
public:
  TKLXCustomControlSkin(TComponent* Component, TControl* Control);
  TControl* Control() const { return control_; }
  // A control skin may be left without skin data.
  void SetSkinData(TKLXSkinData* Value) override;
  void EndLoad() override;

private:
  TControl* control_ = nullptr;
};

class TKLXControlSkin : public TKLXCustomControlSkin {
  ORV_CLASSINFO(TKLXControlSkin)
public:
  explicit TKLXControlSkin(TControl* Control);
};

class TKLXCommonData : public TComponent {
  ORV_CLASSINFO(TKLXCommonData)
public:
  explicit TKLXCommonData(TComponent* owner);
  // Owned by SkinData, then named Name.
  TKLXCommonData(TKLXSkinData* SkinData, const std::string& Name);
  // Skins that draw with it are left without common data.
  ~TKLXCommonData() override;

  TKLXCommonDataSkin* Skin() const { return skin_; }
  // Whether the image differs between the two paint-state slots.
  virtual bool ImageChanged(int NewSlot, int OldSlot) { return false; }

private:
  friend class TKLXCustomComponentSkin;
  TKLXCommonDataSkin* skin_;
  std::vector<TKLXCustomComponentSkin*> users_;
};

// Unit start-up and end: GlobalSkinData.
void InitializeKLXSkin();
void FinalizeKLXSkin();

}  // namespace orv
