#include "base/TypeInfo.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "base/Component.h"
#include "base/Exceptions.h"

namespace orv {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    if (c == &other) return true;
  return false;
}

const TPropInfo* TClassInfo::FindProp(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (const TPropInfo& p : c->Props)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const TMethodEntry* TClassInfo::FindMethod(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    for (const TMethodEntry& m : c->Methods)
      if (SameText(m.Name, name)) return &m;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
  std::vector<const TClassInfo*> chain;
  for (const TClassInfo* c = this; c; c = c->Parent) chain.push_back(c);
  std::vector<const TPropInfo*> out;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    for (const TPropInfo& p : (*it)->Props)
      // A redeclared property replaces the inherited one in place.
      if (std::none_of(out.begin(), out.end(), [&](const TPropInfo* q) { return SameText(q->Name, p.Name); }))
        out.push_back(FindProp(p.Name));
  return out;
}

namespace {

struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
  }
};

std::map<std::string, const TClassInfo*, NoCase>& Registry() {
  static std::map<std::string, const TClassInfo*, NoCase> classes;
  return classes;
}

}  // namespace

void RegisterClass(const TClassInfo& info) { Registry()[info.Name] = &info; }

void UnRegisterClass(const TClassInfo& info) {
  auto it = Registry().find(info.Name);
  if (it != Registry().end() && it->second == &info) Registry().erase(it);
}

const TClassInfo* GetClass(const std::string& name) {
  auto it = Registry().find(name);
  return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo& FindClass(const std::string& name) {
  const TClassInfo* info = GetClass(name);
  if (!info) throw EClassNotFound("Class " + name + " not found");
  return *info;
}

TComponent* CreateComponent(const std::string& className, TComponent* owner) {
  const TClassInfo& info = FindClass(className);
  if (!info.CreateComponent) throw EComponentError("Class " + className + " is not a component class");
  return info.CreateComponent(owner);
}

std::optional<TMethodValue> FindPublishedMethod(TPersistent& instance, const std::string& name) {
  const TMethodEntry* m = instance.ClassInfo().FindMethod(name);
  if (!m) return std::nullopt;
  return TMethodValue{m->Name, m->Bind(instance)};
}

void RaiseInvalidPropertyValue(const std::string& Detail) {
  throw EReadError(Detail.empty() ? std::string(InvalidPropertyValue) : InvalidPropertyValue + (": " + Detail));
}

}  // namespace orv
