#include "base/Lists.h"

namespace orv {

void RaiseListIndexError(int index) { throw EListError("List index out of bounds (" + std::to_string(index) + ")"); }

// Receives the free notifications of the members on the list's behalf.
class TComponentList::Nexus : public TComponent {
public:
  explicit Nexus(TComponentList& list) : TComponent(nullptr), list_(list) {}
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == TOperation::opRemove)
      while (list_.Extract(component)) {
      }
    TComponent::Notification(component, operation);
  }

private:
  TComponentList& list_;
};

TComponentList::TComponentList(bool ownsObjects)
    : TObjectList<TComponent>(ownsObjects), nexus_(std::make_unique<Nexus>(*this)) {}

TComponentList::~TComponentList() {
  Clear();
  nexus_.reset();
}

void TComponentList::Notify(TComponent* item, TOperation operation) {
  if (!nexus_ || !item) return;
  if (operation == TOperation::opInsert)
    nexus_->FreeNotification(item);
  else if (IndexOf(item) < 0)
    nexus_->RemoveFreeNotification(item);
}

}  // namespace orv
