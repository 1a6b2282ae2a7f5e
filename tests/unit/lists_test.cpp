// Object lists, component lists, collections, registry and Assign.
#include <gtest/gtest.h>

#include "base/Collection.h"
#include "base/Exceptions.h"
#include "base/Lists.h"

using namespace orv;

namespace {

struct Counted : TPersistent {
  explicit Counted(int& alive) : alive_(alive) { ++alive_; }
  ~Counted() override { --alive_; }
  int& alive_;
};

class TNamedItem : public TCollectionItem {
  ORV_CLASSINFO(TNamedItem)
public:
  explicit TNamedItem(TCollection* c) : TCollectionItem(c) {}
  std::string Text;
  void Assign(const TPersistent* source) override {
    if (auto* other = dynamic_cast<const TNamedItem*>(source)) {
      Text = other->Text;
      return;
    }
    TCollectionItem::Assign(source);
  }
};

const TClassInfo& TNamedItem::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TNamedItem>("TNamedItem", &TCollectionItem::StaticClassInfo()).Info();
  return info;
}

class CountingCollection : public TCollection {
public:
  CountingCollection() : TCollection(TNamedItem::StaticClassInfo()) {}
  int updates = 0;

protected:
  void Update(TCollectionItem*) override { ++updates; }
};

}  // namespace

TEST(ObjectList, OwnershipDecidesWhetherRemovedObjectsAreFreed) {
  int alive = 0;
  {
    TObjectList<Counted> owning;
    owning.Add(new Counted(alive));
    Counted* kept = new Counted(alive);
    owning.Add(kept);
    owning.Add(new Counted(alive));
    owning.Delete(0);
    EXPECT_EQ(alive, 2);
    EXPECT_EQ(owning.Extract(kept), kept);
    delete kept;
    EXPECT_THROW(owning.Items(5), EListError);
    EXPECT_EQ(alive, 1);
  }
  EXPECT_EQ(alive, 0);
  Counted outside(alive);
  {
    TObjectList<Counted> borrowing(false);
    borrowing.Add(&outside);
  }
  EXPECT_EQ(alive, 1);
}

TEST(ComponentList, MembersDestroyedElsewhereDropOut) {
  auto* owner = new TComponent(nullptr);
  auto* a = new TComponent(owner);
  auto* b = new TComponent(owner);
  TComponentList list(false);
  list.Add(a);
  list.Add(b);
  list.Add(a);
  delete a;
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0), b);
  list.Remove(b);
  delete owner;  // b is no longer on the list: nothing to tell it
  EXPECT_EQ(list.Count(), 0);

  TComponentList owning;
  auto* c = new TComponent(nullptr);
  owning.Add(c);
  owning.Delete(0);  // frees c; no notification reaches the list afterwards
  EXPECT_EQ(owning.Count(), 0);
}

TEST(Collection, ItemsKeepOrderIdsAndTellTheCollectionOnce) {
  CountingCollection c;
  auto* first = static_cast<TNamedItem*>(c.Add());
  auto* second = static_cast<TNamedItem*>(c.Add());
  auto* inserted = c.Insert(0);
  EXPECT_EQ(inserted->Index(), 0);
  EXPECT_EQ(first->Index(), 1);
  EXPECT_EQ(second->ID(), 1);
  EXPECT_EQ(c.FindItemID(1), second);
  delete first;
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.FindItemID(0), nullptr);

  c.updates = 0;
  c.BeginUpdate();
  c.Add();
  c.Add();
  c.Delete(0);
  c.EndUpdate();
  EXPECT_EQ(c.updates, 1);
  EXPECT_THROW(c.Delete(7), EListError);
}

TEST(Collection, AssignCopiesItemsAndOtherSourcesRaiseTheConversionError) {
  CountingCollection a, b;
  for (const char* text : {"x", "y"}) static_cast<TNamedItem*>(a.Add())->Text = text;
  b.Add();
  b.Assign(&a);
  ASSERT_EQ(b.Count(), 2);
  EXPECT_EQ(static_cast<TNamedItem*>(b.Items(1))->Text, "y");
  TComponent comp(nullptr);
  try {
    b.Assign(&comp);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TCollection");
  }
}

TEST(ClassRegistry, FindsRegisteredClassesByNameWithoutRegardToCase) {
  RegisterClass(TComponent::StaticClassInfo());
  std::unique_ptr<TComponent> c(CreateComponent("tcomponent", nullptr));
  EXPECT_EQ(c->ClassName(), "TComponent");
  UnRegisterClass(TComponent::StaticClassInfo());
  try {
    FindClass("TComponent");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), "Class TComponent not found");
  }
  RegisterClass(TNamedItem::StaticClassInfo());
  EXPECT_THROW(CreateComponent("TNamedItem", nullptr), EComponentError);
  UnRegisterClass(TNamedItem::StaticClassInfo());
}
