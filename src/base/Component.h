#pragma once
// Persistent objects and components: an owner frees what it owns; components that refer
// to each other are told when one goes away.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Object.h"
#include "base/TypeInfo.h"

namespace orv {

class TFiler;

class TPersistent : public TObject {
public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  std::string ClassName() const override { return ClassInfo().Name; }
  // Copies Source into this object; a source that cannot be copied raises the conversion
  // error "Cannot assign a %s to a %s".
  virtual void Assign(const TPersistent* source);
  // Hook for binary and other non-published properties of a window definition.
  virtual void DefineProperties(TFiler& filer) {}

protected:
  // Called by Assign when this class does not know Source: Source may copy itself into Dest.
  virtual void AssignTo(TPersistent* dest) const;
};

enum class TOperation { opInsert, opRemove };

enum ComponentStateFlag : uint32_t {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
};

class TComponent : public TPersistent {
  ORV_CLASSINFO(TComponent)
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& name);
  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(index); }
  TComponent* FindComponent(const std::string& name) const;

  uint32_t ComponentState() const { return state_; }
  bool HasState(ComponentStateFlag f) const { return (state_ & f) != 0; }
  void SetState(uint32_t flags) { state_ |= flags; }
  void ClearState(uint32_t flags) { state_ &= ~flags; }

  // Asks to be told (through Notification) when Other goes away.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // Runs after a window definition has been read completely.
  virtual void Loaded() { ClearState(csLoading); }
  virtual void Notification(TComponent* component, TOperation operation);

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // The design-time position of a non-visual component: Left in the low, Top in the high
  // 16 bits. Definitions hold it as "Left" and "Top".
  int32_t DesignInfo() const { return designInfo_; }
  void SetDesignInfo(int32_t value) { designInfo_ = value; }
  void DefineProperties(TFiler& filer) override;

  // Definition tree: a component read inside another one is given that one as parent
  // component; the writer asks each component for the children to write inside it. By
  // default the root writes the components it owns that have no parent.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* parent) {}
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);

private:
  void Insert(TComponent* c);
  void Remove(TComponent* c);

  TComponent* owner_ = nullptr;
  std::string name_;
  uint32_t state_ = 0;
  int32_t designInfo_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
};

}  // namespace orv
