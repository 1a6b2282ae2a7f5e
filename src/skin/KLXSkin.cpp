#include "skin/KLXSkin.h"

#include <algorithm>

#include "base/StringList.h"
#include "gui/Controls.h"
#include "gui/Forms.h"
#include "skin/KLClasses.h"

namespace orv {

TKLXSkinData* GlobalSkinData = nullptr;

namespace {

std::string FormNameOf(const TComponent* c) { return dynamic_cast<const TForm*>(c) ? c->Name() : std::string(); }

// The item of List that equals Name letter for letter, or -1.
int IndexOfExact(const TStrings& List, const std::string& Name) {
  for (int i = 0; i < List.Count(); ++i)
    if (List.Get(i) == Name) return i;
  return -1;
}

}  // namespace

// ---- TKLXSkinObjectList

TKLXCustomComponentSkin* TKLXSkinObjectList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
  return items_[static_cast<size_t>(Index)];
}

void TKLXSkinObjectList::SetItems(int Index, TKLXCustomComponentSkin* Value) {
  if (Index < 0 || Index >= Count()) RaiseListIndexError(Index);
  items_[static_cast<size_t>(Index)] = Value;
}

int TKLXSkinObjectList::Add(TKLXCustomComponentSkin* Item) {
  items_.push_back(Item);
  return Count() - 1;
}

int TKLXSkinObjectList::IndexOf(const TKLXCustomComponentSkin* Item) const {
  auto it = std::find(items_.begin(), items_.end(), Item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

bool TKLXSkinObjectList::Remove(const TKLXCustomComponentSkin* Item) {
  const int i = IndexOf(Item);
  if (i < 0) return false;
  items_.erase(items_.begin() + i);
  return true;
}

// ---- TKLXSkinData

const TClassInfo& TKLXSkinData::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TKLXSkinData>("TKLXSkinData", &TComponent::StaticClassInfo()).Info();
  return info;
}

TKLXSkinData::TKLXSkinData(TComponent* owner) : TComponent(owner) {}

// The skins must not outlive their registry with a pointer into it: the common data goes
// first (its skins unregister from the lists while they exist), then the other skins move.
TKLXSkinData::~TKLXSkinData() {
  SetState(csDestroying);
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  TKLXSkinData* heir = GlobalSkinData == this ? nullptr : GlobalSkinData;
  for (TKLXSkinObjectList* list : {&componentSkins_, &commonDataSkins_}) {
    while (list->Count() > 0) {
      TKLXCustomComponentSkin* skin = list->Items(list->Count() - 1);
      list->Remove(skin);
      if (!skin) continue;
      skin->AttachSkinData(nullptr);
      if (heir) skin->SetSkinData(heir);
    }
  }
}

std::string TKLXSkinData::FormName() const { return FormNameOf(Owner()); }

// ---- TKLXCustomComponentSkin

const TClassInfo& TKLXCustomComponentSkin::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXCustomComponentSkin>("TKLXCustomComponentSkin", &TPersistent::StaticClassInfo())
          .Component<TKLXSkinData>("SkinData", &TKLXCustomComponentSkin::SkinData,
                                   &TKLXCustomComponentSkin::SetSkinData)
          .String("CommonDataName", &TKLXCustomComponentSkin::CommonDataName,
                  &TKLXCustomComponentSkin::SetCommonDataName)
          .Event("OnAfterLoad", &TKLXCustomComponentSkin::OnAfterLoad)
          .Event("OnBeforeLoad", &TKLXCustomComponentSkin::OnBeforeLoad)
          .Info();
  return info;
}

// Derived skins register themselves: a base constructor cannot reach their RegisterSkin. The
// owner hooks are connected when a load begins (ConnectOwnerHooks), once the component is whole.
TKLXCustomComponentSkin::TKLXCustomComponentSkin(TComponent* Component)
    : skinData_(GlobalSkinData),
      formName_(Component ? FormNameOf(Component->Owner()) : std::string()),
      component_(Component) {}

TKLXCustomComponentSkin::~TKLXCustomComponentSkin() { SetCommonData(nullptr); }

void TKLXCustomComponentSkin::SetSkinData(TKLXSkinData* Value) {
  if (Value == skinData_) return;
  UnregisterSkin();
  skinData_ = Value ? Value : GlobalSkinData;
  RegisterSkin();
  if (!loading_) CreateCommonDataIfHooked();
}

void TKLXCustomComponentSkin::SetCommonDataName(const std::string& Value) {
  if (Value == commonDataName_) return;
  commonDataName_ = Value;
  if (!loading_) CreateCommonDataIfHooked();
}

void TKLXCustomComponentSkin::SetCommonData(TKLXCommonData* Value) {
  if (Value == commonData_) return;
  if (commonData_) {
    auto& users = commonData_->users_;
    users.erase(std::remove(users.begin(), users.end(), this), users.end());
  }
  commonData_ = Value;
  if (commonData_) commonData_->users_.push_back(this);
}

void TKLXCustomComponentSkin::CreateCommonDataIfHooked() {
  if (OwnerCreateCommonData) OwnerCreateCommonData();
}

void TKLXCustomComponentSkin::ConnectOwnerHooks() {
  if (!component_) return;
  const auto connect = [this](std::function<void()>& hook, const char* name) {
    if (hook) return;
    if (auto m = FindPublishedMethod(*component_, name))
      if (auto* fn = std::any_cast<std::function<void()>>(&m->Code)) hook = *fn;
  };
  connect(OwnerBeforeLoad, "CompBeforeLoad");
  connect(OwnerAfterLoad, "CompAfterLoad");
}

void TKLXCustomComponentSkin::BeginLoad() {
  loading_ = true;
  ConnectOwnerHooks();
  DoBeforeLoad();
}

void TKLXCustomComponentSkin::DoBeforeLoad() {
  BeforeLoad();
  if (OwnerBeforeLoad) OwnerBeforeLoad();
  if (OnBeforeLoad) OnBeforeLoad(this);
}

void TKLXCustomComponentSkin::EndLoad() {
  CreateCommonDataIfHooked();
  DoAfterLoad();
  loading_ = false;
}

void TKLXCustomComponentSkin::DoAfterLoad() {
  AfterLoad();
  if (OwnerAfterLoad) OwnerAfterLoad();
  if (OnAfterLoad) OnAfterLoad(this);
}

void TKLXCustomComponentSkin::ApplyText(const std::string& Text) {
  if (Text.empty() || !component_) return;
  ReadComponentFromText(Text, component_);
  TextApplied(Text);
}

void TKLXCustomComponentSkin::LoadFromText(const std::string& Text, bool ReplaceHeader) {
  BeginLoad();
  if (!ReplaceHeader || !component_) {
    ApplyText(Text);
  } else {
    TStringList lines;
    lines.SetText(Text);
    if (lines.Count() > 0) {
      const std::string& name = component_->Name();
      lines.Put(0, "object " + (name.empty() ? std::string() : name + ": ") + component_->ClassName());
    }
    ApplyText(lines.Text());
  }
  EndLoad();
}

void TKLXCustomComponentSkin::ApplyStoredText(const std::string& Name) {
  if (!skinData_ || !component_) return;
  TObjStringList& store = skinData_->SkinStore();
  const int form = IndexOfExact(store, Name.empty() ? formName_ : Name);
  auto* components = form < 0 ? nullptr : dynamic_cast<TStrings*>(store.Objects(form));
  if (!components) return;
  const int entry = IndexOfExact(*components, component_->Name());
  auto* text = entry < 0 ? nullptr : dynamic_cast<TKLXSkinText*>(components->Objects(entry));
  if (text) ApplyText(text->Text);
}

void TKLXCustomComponentSkin::LoadFromStore(const std::string& Name) {
  BeginLoad();
  ApplyStoredText(Name);
  EndLoad();
}

// ---- TKLXCommonDataSkin

const TClassInfo& TKLXCommonDataSkin::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXCommonDataSkin>("TKLXCommonDataSkin", &TKLXCustomComponentSkin::StaticClassInfo()).Info();
  return info;
}

TKLXCommonDataSkin::TKLXCommonDataSkin(TComponent* Component) : TKLXCustomComponentSkin(Component) { RegisterSkin(); }

TKLXCommonDataSkin::~TKLXCommonDataSkin() { UnregisterSkin(); }

void TKLXCommonDataSkin::RegisterSkin() {
  if (SkinData()) SkinData()->CommonDataSkins().Add(this);
}

void TKLXCommonDataSkin::UnregisterSkin() {
  if (SkinData()) SkinData()->CommonDataSkins().Remove(this);
}

void TKLXCommonDataSkin::RefreshControls(bool Recreate) {
  if (Loading() || !SkinData() || !Component()) return;
  TKLXSkinObjectList& skins = SkinData()->ComponentSkins();
  for (int i = 0; i < skins.Count(); ++i) {
    auto* skin = dynamic_cast<TKLXCustomControlSkin*>(skins.Items(i));
    if (!skin || !skin->Control() || skin->CommonDataName() != Component()->Name()) continue;
    auto* windowed = dynamic_cast<TWinControl*>(skin->Control());
    if (Recreate && windowed)
      windowed->RecreateWnd();
    else
      skin->Control()->Invalidate();
  }
}

// ---- TKLXComponentSkin

const TClassInfo& TKLXComponentSkin::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXComponentSkin>("TKLXComponentSkin", &TKLXCustomComponentSkin::StaticClassInfo()).Info();
  return info;
}

TKLXComponentSkin::TKLXComponentSkin(TComponent* Component) : TKLXCustomComponentSkin(Component) { RegisterSkin(); }

TKLXComponentSkin::~TKLXComponentSkin() { UnregisterSkin(); }

void TKLXComponentSkin::RegisterSkin() {
  if (SkinData()) SkinData()->ComponentSkins().Add(this);
}

void TKLXComponentSkin::UnregisterSkin() {
  if (SkinData()) SkinData()->ComponentSkins().Remove(this);
}

// ---- TKLXCustomControlSkin

const TClassInfo& TKLXCustomControlSkin::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXCustomControlSkin>("TKLXCustomControlSkin", &TKLXComponentSkin::StaticClassInfo()).Info();
  return info;
}

TKLXCustomControlSkin::TKLXCustomControlSkin(TComponent* Component, TControl* Control)
    : TKLXComponentSkin(Component), control_(Control) {
  if (dynamic_cast<TForm*>(Control))
    SetFormName(Control->Name());
  else
    SetFormName(Control ? FormNameOf(Control->Owner()) : std::string());
}

void TKLXCustomControlSkin::SetSkinData(TKLXSkinData* Value) {
  if (Value == SkinData()) return;
  if (SkinData()) SkinData()->ComponentSkins().Remove(this);
  AttachSkinData(Value);
  if (Value) {
    Value->ComponentSkins().Add(this);
    if (control_) control_->FreeNotification(Value);
  }
  if (!Loading() && control_) control_->Invalidate();
}

void TKLXCustomControlSkin::EndLoad() {
  TKLXComponentSkin::EndLoad();
  if (control_) control_->Invalidate();
}

// ---- TKLXControlSkin

const TClassInfo& TKLXControlSkin::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXControlSkin>("TKLXControlSkin", &TKLXCustomControlSkin::StaticClassInfo()).Info();
  return info;
}

TKLXControlSkin::TKLXControlSkin(TControl* Control) : TKLXCustomControlSkin(Control, Control) {}

// ---- TKLXCommonData

const TClassInfo& TKLXCommonData::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TKLXCommonData>("TKLXCommonData", &TComponent::StaticClassInfo())
                                     .Object("Skin", &TKLXCommonData::Skin)
                                     .Info();
  return info;
}

TKLXCommonData::TKLXCommonData(TComponent* owner) : TComponent(owner), skin_(new TKLXCommonDataSkin(this)) {}

TKLXCommonData::TKLXCommonData(TKLXSkinData* SkinData, const std::string& Name) : TKLXCommonData(SkinData) {
  SetName(Name);
}

TKLXCommonData::~TKLXCommonData() {
  for (TKLXCustomComponentSkin* user : std::vector<TKLXCustomComponentSkin*>(users_)) user->SetCommonData(nullptr);
  delete skin_;
}

// ---- unit

void InitializeKLXSkin() {
  RegisterClass(TKLXSkinData::StaticClassInfo());
  GlobalSkinData = new TKLXSkinData(nullptr);
}

void FinalizeKLXSkin() {
  delete GlobalSkinData;
  GlobalSkinData = nullptr;
  UnRegisterClass(TKLXSkinData::StaticClassInfo());
}

}  // namespace orv
