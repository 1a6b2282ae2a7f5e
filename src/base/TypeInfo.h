#pragma once
// Published properties and methods, declared once per class, and the class registry.
//
// How a class takes part in window definitions:
//
//   class TMyButton : public TComponent {
//     ORV_CLASSINFO(TMyButton)
//   public:
//     explicit TMyButton(TComponent* owner);
//     TEvent<void(TObject*)> OnClick;
//     ...
//   };
//
//   const TClassInfo& TMyButton::StaticClassInfo() {
//     static const TClassInfo info = TClassBuilder<TMyButton>("TMyButton", &TComponent::StaticClassInfo())
//       .String("Caption", &TMyButton::Caption, &TMyButton::SetCaption)
//       .Integer("Width", &TMyButton::Width, &TMyButton::SetWidth, 75)   // stored when not 75
//       .Boolean("Default", &TMyButton::Default, &TMyButton::SetDefault) // no default: always stored
//       .Enum("Align", &TMyButton::Align, &TMyButton::SetAlign, kAlignNames, 0)
//       .Object("Font", &TMyButton::Font)       // sub-object: "Font.Name = ..." in a definition
//       .Object("Items", &TMyCombo::Items)      // a TStrings: "Items.Strings = ('a' 'b')"
//       .Component<TImageList>("Images", &TMyButton::Images, &TMyButton::SetImages)
//       .Event("OnClick", &TMyButton::OnClick)
//       .Info();
//     return info;
//   }
//
// A form publishes its handlers with .Method("NextBtnClick", &TMyForm::NextBtnClick); a definition
// line "OnClick = NextBtnClick" then binds the button's event to that method of the root
// component. The handler's signature must be the event's. A class that a definition may name
// is registered once by its unit's start-up code: RegisterClass(TMyButton::StaticClassInfo()).
#include <any>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// <windows.h> maps RegisterClass to RegisterClassA; ours is the class registry's.
#ifdef RegisterClass
#undef RegisterClass
#endif

namespace orv {

class TObject;
class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;

// An event member: a callable plus, when it was bound from a definition, the method's name
// (so that writing the definition back gives the same binding).
template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> {
public:
  using Handler = std::function<R(A...)>;
  TEvent() = default;
  TEvent(std::nullptr_t) {}
  template <class F,
            class = std::enable_if_t<std::is_constructible_v<Handler, F> && !std::is_same_v<std::decay_t<F>, TEvent>>>
  TEvent(F&& f) : handler_(std::forward<F>(f)) {}

  explicit operator bool() const { return static_cast<bool>(handler_); }
  R operator()(A... args) const { return handler_(std::forward<A>(args)...); }

  void Bind(std::string methodName, Handler handler) {
    handler_ = std::move(handler);
    methodName_ = handler_ ? std::move(methodName) : std::string();
  }
  const std::string& MethodName() const { return methodName_; }
  const Handler& Code() const { return handler_; }

private:
  Handler handler_;
  std::string methodName_;
};

using TNotifyEvent = TEvent<void(TObject*)>;

// A published method found by name: Code holds a std::function of the method's signature,
// bound to the object that publishes it.
struct TMethodValue {
  std::string Name;
  std::any Code;
};

enum class TPropKind { Integer, Boolean, Char, Enum, Set, String, Object, Component, Event };

// Identifier spellings of integer values (for example colour names).
using TIdentMap = std::vector<std::pair<std::string, int64_t>>;

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  // Ordinal kinds only: the value is written only when it differs; none means always written.
  std::optional<int64_t> Default;
  // Enum identifiers and set element identifiers, by ordinal.
  const std::vector<std::string>* Names = nullptr;
  const TIdentMap* Idents = nullptr;

  std::function<int64_t(TPersistent&)> GetOrd;
  std::function<void(TPersistent&, int64_t)> SetOrd;
  std::function<std::string(TPersistent&)> GetStr;
  std::function<void(TPersistent&, const std::string&)> SetStr;
  // Object: a sub-object that the owner keeps (its properties are read and written as
  // "Prop.Sub"; a collection's items as one collection value; a string list's lines as
  // "Prop.Strings").
  std::function<TPersistent*(TPersistent&)> GetObject;
  std::function<TComponent*(TPersistent&)> GetComponent;
  std::function<void(TPersistent&, TComponent*)> SetComponent;
  std::function<std::string(TPersistent&)> GetMethodName;
  std::function<void(TPersistent&, const TMethodValue&)> SetMethod;
};

struct TMethodEntry {
  std::string Name;
  std::function<std::any(TPersistent&)> Bind;
};

class TClassInfo {
public:
  std::string Name;
  const TClassInfo* Parent = nullptr;
  std::vector<TPropInfo> Props;
  std::vector<TMethodEntry> Methods;
  std::function<TComponent*(TComponent* owner)> CreateComponent;
  std::function<TCollectionItem*(TCollection* collection)> CreateItem;
  std::function<TPersistent*()> CreateObject;

  bool InheritsFrom(const TClassInfo& other) const;
  // Looks through this class and its ancestors; names compare without regard to case.
  const TPropInfo* FindProp(const std::string& name) const;
  const TMethodEntry* FindMethod(const std::string& name) const;
  // Inherited properties first, each in declaration order.
  std::vector<const TPropInfo*> AllProps() const;
};

bool SameText(const std::string& a, const std::string& b);

// The registry of classes that definitions may name.
void RegisterClass(const TClassInfo& info);
void UnRegisterClass(const TClassInfo& info);
const TClassInfo* GetClass(const std::string& name);
// As GetClass, but raises EClassNotFound ("Class %s not found").
const TClassInfo& FindClass(const std::string& name);
// Creates a component of a registered class; raises EClassNotFound, or EComponentError when
// the class is not a component class.
TComponent* CreateComponent(const std::string& className, TComponent* owner);

// The published method Name of Instance's class, bound to Instance.
std::optional<TMethodValue> FindPublishedMethod(TPersistent& instance, const std::string& name);

// The one text of a property value that does not fit its property, read or written.
inline constexpr char InvalidPropertyValue[] = "Invalid property value";
// Raises EReadError with that text, and ": Detail" after it when Detail is given.
[[noreturn]] void RaiseInvalidPropertyValue(const std::string& Detail = {});

namespace detail {
template <class V, class T, class S>
void SetVia(T& obj, S setter, V value) {
  if constexpr (std::is_member_object_pointer_v<S>)
    obj.*setter = std::move(value);
  else
    (obj.*setter)(std::move(value));
}

template <class M>
struct MethodTraits;
template <class C, class R, class... A>
struct MethodTraits<R (C::*)(A...)> {
  using Function = std::function<R(A...)>;
};

template <class E>
struct EventTraits;
template <class Sig>
struct EventTraits<TEvent<Sig>> {
  using Function = std::function<Sig>;
  static std::string Name(const TEvent<Sig>& e) { return e.MethodName(); }
  static void Set(TEvent<Sig>& e, const std::string& name, Function f) { e.Bind(name, std::move(f)); }
};
template <class Sig>
struct EventTraits<std::function<Sig>> {
  using Function = std::function<Sig>;
  static std::string Name(const std::function<Sig>&) { return {}; }
  static void Set(std::function<Sig>& e, const std::string&, Function f) { e = std::move(f); }
};
}  // namespace detail

// Fills a TClassInfo for class T. Getters are member functions or data members; setters are
// member functions taking the value or data members.
template <class T>
class TClassBuilder {
public:
  TClassBuilder(std::string name, const TClassInfo* parent) {
    info_.Name = std::move(name);
    info_.Parent = parent;
    if constexpr (!std::is_abstract_v<T>) {
      if constexpr (std::is_base_of_v<TComponent, T> && std::is_constructible_v<T, TComponent*>)
        info_.CreateComponent = [](TComponent* owner) -> TComponent* { return new T(owner); };
      else if constexpr (std::is_base_of_v<TCollectionItem, T> && std::is_constructible_v<T, TCollection*>)
        info_.CreateItem = [](TCollection* c) -> TCollectionItem* { return new T(c); };
      else if constexpr (std::is_base_of_v<TPersistent, T> && std::is_default_constructible_v<T>)
        info_.CreateObject = []() -> TPersistent* { return new T(); };
    }
  }

  template <class G, class S>
  TClassBuilder& Integer(std::string name, G get, S set, std::optional<int64_t> def = std::nullopt,
                         const TIdentMap* idents = nullptr) {
    TPropInfo p = Ordinal(std::move(name), TPropKind::Integer, get, set, def);
    p.Idents = idents;
    return Add(std::move(p));
  }
  template <class G, class S>
  TClassBuilder& Boolean(std::string name, G get, S set, std::optional<bool> def = std::nullopt) {
    return Add(Ordinal(std::move(name), TPropKind::Boolean, get, set,
                       def ? std::optional<int64_t>(*def ? 1 : 0) : std::nullopt));
  }
  // A single byte, written as a one-character string ("#0" in text).
  template <class G, class S>
  TClassBuilder& Char(std::string name, G get, S set, std::optional<char> def = std::nullopt) {
    return Add(Ordinal(std::move(name), TPropKind::Char, get, set,
                       def ? std::optional<int64_t>(static_cast<uint8_t>(*def)) : std::nullopt));
  }
  template <class G, class S>
  TClassBuilder& Enum(std::string name, G get, S set, const std::vector<std::string>& names,
                      std::optional<int64_t> def = std::nullopt) {
    TPropInfo p = Ordinal(std::move(name), TPropKind::Enum, get, set, def);
    p.Names = &names;
    return Add(std::move(p));
  }
  // A set of up to 32 elements held as a bit mask; bit i is Names[i].
  template <class G, class S>
  TClassBuilder& Set(std::string name, G get, S set, const std::vector<std::string>& names,
                     std::optional<int64_t> def = std::nullopt) {
    TPropInfo p = Ordinal(std::move(name), TPropKind::Set, get, set, def);
    p.Names = &names;
    return Add(std::move(p));
  }
  // Written when not empty.
  template <class G, class S>
  TClassBuilder& String(std::string name, G get, S set) {
    TPropInfo p = NewProp(std::move(name), TPropKind::String);
    p.GetStr = [get](TPersistent& o) { return std::string(std::invoke(get, static_cast<T&>(o))); };
    p.SetStr = [set](TPersistent& o, const std::string& v) { detail::SetVia(static_cast<T&>(o), set, v); };
    return Add(std::move(p));
  }
  // A sub-object owned by the instance (a font, a collection, a string list).
  template <class G>
  TClassBuilder& Object(std::string name, G get) {
    TPropInfo p = NewProp(std::move(name), TPropKind::Object);
    p.GetObject = [get](TPersistent& o) -> TPersistent* { return ToPointer(std::invoke(get, static_cast<T&>(o))); };
    return Add(std::move(p));
  }
  // A reference to another component of the same definition, of class C or a descendant.
  template <class C, class G, class S>
  TClassBuilder& Component(std::string name, G get, S set) {
    TPropInfo p = NewProp(std::move(name), TPropKind::Component);
    p.GetComponent = [get](TPersistent& o) -> TComponent* { return std::invoke(get, static_cast<T&>(o)); };
    p.SetComponent = [set](TPersistent& o, TComponent* c) {
      C* typed = dynamic_cast<C*>(c);
      if (c && !typed) RaiseInvalidPropertyValue();
      detail::SetVia(static_cast<T&>(o), set, typed);
    };
    return Add(std::move(p));
  }
  // An event member (TEvent<Sig> or std::function<Sig>).
  template <class E>
  TClassBuilder& Event(std::string name, E T::*member) {
    using Traits = detail::EventTraits<E>;
    TPropInfo p = NewProp(std::move(name), TPropKind::Event);
    p.GetMethodName = [member](TPersistent& o) { return Traits::Name(static_cast<T&>(o).*member); };
    p.SetMethod = [member](TPersistent& o, const TMethodValue& m) {
      E& event = static_cast<T&>(o).*member;
      if (!m.Code.has_value()) {
        Traits::Set(event, {}, nullptr);
        return;
      }
      const auto* fn = std::any_cast<typename Traits::Function>(&m.Code);
      if (!fn) RaiseInvalidPropertyValue();
      Traits::Set(event, m.Name, *fn);
    };
    return Add(std::move(p));
  }
  template <class M>
  TClassBuilder& Method(std::string name, M method) {
    using Function = typename detail::MethodTraits<M>::Function;
    info_.Methods.push_back({std::move(name), [method](TPersistent& o) -> std::any {
                               T* self = static_cast<T*>(&o);
                               return Function([self, method](auto&&... args) {
                                 return (self->*method)(std::forward<decltype(args)>(args)...);
                               });
                             }});
    return *this;
  }

  TClassInfo Info() { return std::move(info_); }

private:
  static TPropInfo NewProp(std::string name, TPropKind kind) {
    TPropInfo p;
    p.Name = std::move(name);
    p.Kind = kind;
    return p;
  }
  template <class P>
  static TPersistent* ToPointer(P* p) {
    return p;
  }
  template <class P>
  static TPersistent* ToPointer(P& p) {
    return &p;
  }

  template <class G, class S>
  static TPropInfo Ordinal(std::string name, TPropKind kind, G get, S set, std::optional<int64_t> def) {
    TPropInfo p = NewProp(std::move(name), kind);
    p.Default = def;
    p.GetOrd = [get](TPersistent& o) {
      auto v = std::invoke(get, static_cast<T&>(o));
      if constexpr (std::is_same_v<std::remove_cvref_t<decltype(v)>, char>)
        return static_cast<int64_t>(static_cast<uint8_t>(v));
      else
        return static_cast<int64_t>(v);
    };
    p.SetOrd = [set](TPersistent& o, int64_t v) {
      using V = std::remove_cvref_t<decltype(std::invoke(std::declval<G>(), std::declval<T&>()))>;
      if constexpr (std::is_same_v<V, bool>) {
        detail::SetVia(static_cast<T&>(o), set, v != 0);
      } else if constexpr (std::is_same_v<V, char>) {
        if (v < 0 || v > 255) RaiseInvalidPropertyValue();
        detail::SetVia(static_cast<T&>(o), set, static_cast<char>(static_cast<uint8_t>(v)));
      } else if constexpr (std::is_integral_v<V>) {
        if (!std::in_range<V>(v)) RaiseInvalidPropertyValue();
        detail::SetVia(static_cast<T&>(o), set, static_cast<V>(v));
      } else {
        detail::SetVia(static_cast<T&>(o), set, static_cast<V>(v));
      }
    };
    return p;
  }
  TClassBuilder& Add(TPropInfo p) {
    info_.Props.push_back(std::move(p));
    return *this;
  }

  TClassInfo info_;
};

}  // namespace orv

// Declares a class's place in the class-info tree; the .cpp defines StaticClassInfo().
#define ORV_CLASSINFO(T)                                                            \
public:                                                                             \
  static const ::orv::TClassInfo& StaticClassInfo();                                \
  const ::orv::TClassInfo& ClassInfo() const override { return StaticClassInfo(); } \
  std::string ClassName() const override { return #T; }                             \
                                                                                    \
private:
