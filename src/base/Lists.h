#pragma once
// Object lists: a list that may own its objects, and a component list whose members drop
// out when they are destroyed elsewhere.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Exceptions.h"

namespace orv {

[[noreturn]] void RaiseListIndexError(int index);

template <class T>
class TObjectList {
public:
  explicit TObjectList(bool ownsObjects = true) : ownsObjects_(ownsObjects) {}
  TObjectList(const TObjectList&) = delete;
  TObjectList& operator=(const TObjectList&) = delete;
  virtual ~TObjectList() { Clear(); }

  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }
  int Count() const { return static_cast<int>(items_.size()); }
  T* Items(int index) const { return items_[Check(index)]; }
  int Add(T* item) {
    items_.push_back(item);
    Notify(item, TOperation::opInsert);
    return Count() - 1;
  }
  void Insert(int index, T* item) {
    if (index != Count()) Check(index);
    items_.insert(items_.begin() + index, item);
    Notify(item, TOperation::opInsert);
  }
  int IndexOf(const T* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  }
  // Removes the entry without freeing its object.
  T* Extract(T* item) {
    int i = IndexOf(item);
    if (i < 0) return nullptr;
    items_.erase(items_.begin() + i);
    Notify(item, TOperation::opRemove);
    return item;
  }
  void Delete(int index) {
    T* item = items_[Check(index)];
    items_.erase(items_.begin() + index);
    Notify(item, TOperation::opRemove);
    if (ownsObjects_) delete item;
  }
  int Remove(T* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
    return i;
  }
  void Move(int from, int to) {
    T* item = items_[Check(from)];
    Check(to);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, item);
  }
  void Clear() {
    while (!items_.empty()) Delete(Count() - 1);
  }

protected:
  virtual void Notify(T* item, TOperation operation) {}

private:
  size_t Check(int index) const {
    if (index < 0 || index >= Count()) RaiseListIndexError(index);
    return static_cast<size_t>(index);
  }

  std::vector<T*> items_;
  bool ownsObjects_;
};

class TComponentList : public TObjectList<TComponent> {
public:
  explicit TComponentList(bool ownsObjects = true);
  ~TComponentList() override;

protected:
  void Notify(TComponent* item, TOperation operation) override;

private:
  class Nexus;
  std::unique_ptr<Nexus> nexus_;
};

}  // namespace orv
