#include "base/Component.h"

#include <algorithm>
#include <cctype>

#include "base/Exceptions.h"
#include "base/Filer.h"

namespace orv {

const TClassInfo& TObject::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TObject>("TObject", nullptr).Info();
  return info;
}

const TClassInfo& TPersistent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPersistent>("TPersistent", &TObject::StaticClassInfo()).Info();
  return info;
}

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TComponent>("TComponent", &TPersistent::StaticClassInfo()).Info();
  return info;
}

void TComponent::DefineProperties(TFiler& filer) {
  const auto left = static_cast<int16_t>(designInfo_ & 0xFFFF);
  const auto top = static_cast<int16_t>((static_cast<uint32_t>(designInfo_) >> 16) & 0xFFFF);
  auto setHalf = [this](int shift, int32_t v) {
    uint32_t d = static_cast<uint32_t>(designInfo_) & ~(0xFFFFu << shift);
    designInfo_ = static_cast<int32_t>(d | ((static_cast<uint32_t>(v) & 0xFFFFu) << shift));
  };
  filer.DefineProperty(
      "Left", [setHalf](TReader& r) { setHalf(0, r.ReadInteger()); }, [left](TWriter& w) { w.WriteInteger(left); },
      left != 0);
  filer.DefineProperty(
      "Top", [setHalf](TReader& r) { setHalf(16, r.ReadInteger()); }, [top](TWriter& w) { w.WriteInteger(top); },
      top != 0);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  if (root != this) return;
  for (TComponent* c : std::vector<TComponent*>(components_))
    if (!c->HasParent()) proc(c);
}

void TPersistent::Assign(const TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  RaiseAssignError("nil", ClassName());
}

void TPersistent::AssignTo(TPersistent* dest) const { RaiseAssignError(ClassName(), dest->ClassName()); }

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  SetState(csDestroying);
  // Everyone who asked is told first, then the owned components go, last first.
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    auto& back = other->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    other->Notification(this, TOperation::opRemove);
  }
  while (!components_.empty()) {
    TComponent* c = components_.back();
    Remove(c);
    delete c;
  }
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (!name.empty() && owner_) {
    TComponent* clash = owner_->FindComponent(name);
    if (clash && clash != this) throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    const std::string& n = c->Name();
    if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
          return std::tolower((unsigned char)a) == std::tolower((unsigned char)b);
        }))
      return c;
  }
  return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
    freeNotifies_.push_back(other);
    other->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), other);
  if (it == freeNotifies_.end()) return;
  freeNotifies_.erase(it);
  other->RemoveFreeNotification(this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == TOperation::opRemove && component) RemoveFreeNotification(component);
  for (TComponent* c : std::vector<TComponent*>(components_)) c->Notification(component, operation);
}

void TComponent::InsertComponent(TComponent* component) {
  Insert(component);
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  Notification(component, TOperation::opRemove);
  Remove(component);
}

void TComponent::Insert(TComponent* c) {
  components_.push_back(c);
  c->owner_ = this;
}

void TComponent::Remove(TComponent* c) {
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
  c->owner_ = nullptr;
}

}  // namespace orv
