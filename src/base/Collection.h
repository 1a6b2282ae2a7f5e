#pragma once
// Collections: lists of items of one class that definitions hold as "<item ... end>".
#include <string>
#include <vector>

#include "base/Component.h"

namespace orv {

class TCollection;

class TCollectionItem : public TPersistent {
  ORV_CLASSINFO(TCollectionItem)
public:
  // Joins Collection (when given) at its end.
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  void SetCollection(TCollection* value);
  int Index() const;
  void SetIndex(int value);
  int ID() const { return id_; }
  virtual std::string DisplayName() const { return ClassName(); }
  virtual void SetDisplayName(const std::string&) {}

protected:
  // Tells the collection that this item changed (All: that the whole list changed).
  void Changed(bool all);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
  ORV_CLASSINFO(TCollection)
public:
  explicit TCollection(const TClassInfo& itemClass);
  ~TCollection() override;

  const TClassInfo& ItemClass() const { return itemClass_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  // Copies Source's items (each through its Assign) when Source is a collection.
  void Assign(const TPersistent* source) override;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  // The owner of an owned collection; none for a plain one.
  virtual TPersistent* GetOwner() const { return nullptr; }

protected:
  // Item is the changed item, or none when the list as a whole changed. Not called while
  // an update is in progress; EndUpdate calls it once.
  virtual void Update(TCollectionItem* item) {}
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);

  const TClassInfo& itemClass_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};

class TOwnedCollection : public TCollection {
  ORV_CLASSINFO(TOwnedCollection)
public:
  TOwnedCollection(TPersistent* owner, const TClassInfo& itemClass) : TCollection(itemClass), owner_(owner) {}
  TPersistent* GetOwner() const override { return owner_; }

private:
  TPersistent* owner_;
};

}  // namespace orv
