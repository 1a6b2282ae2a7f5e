#pragma once
// Window definitions in binary form: reading a component tree from a stream and writing it.
//
// Layout: "TPF0", then one component: [flags byte 0xF0|f] class name, component name (both
// length-prefixed), its properties (name + typed value) up to an empty name, its children
// the same way up to a zero byte. Values start with a TValueType byte; binary data is
// vaBinary, a 32-bit little-endian count and the bytes.
//
// For the GUI layer: create the form object, then call ReadRootComponent(stream, form) with
// the RCDATA bytes named after the form class. Properties and handlers are found through the
// virtual ClassInfo(), so the read must run once the most-derived class is constructed (at the
// end of its constructor or from a creation function), not from a base constructor. Child
// components are created by class name from the registry (RegisterClass) with the root as
// owner, and SetParentComponent tells each one the component it was written inside. Component
// references ("ActivePage = WelcomePage") are resolved after the whole tree was read. Then
// Loaded runs for the root first and every other component in definition order; until then
// each has csLoading set.
//
// Component references read inside a collection's items (also in their sub-objects and in
// collections nested in them) are dropped when that collection is read again and its items
// are freed.
#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "base/TypeInfo.h"

namespace orv {

class TComponent;
class TPersistent;
class TCollection;
class TStrings;
class TReader;
class TWriter;

enum TValueType : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
  vaDouble = 21,
};

// Definitions nested deeper than this (components, values, collections) are taken for damaged
// data, not for a real form: the reader and the text converter both count against it.
inline constexpr int MaxNestingDepth = 200;

// One level of nesting, counted for as long as it lives.
class TNestingLevel {
public:
  explicit TNestingLevel(int& depth) : depth_(depth) { ++depth_; }
  ~TNestingLevel() { --depth_; }
  TNestingLevel(const TNestingLevel&) = delete;
  TNestingLevel& operator=(const TNestingLevel&) = delete;
  bool TooDeep() const { return depth_ > MaxNestingDepth; }

private:
  int& depth_;
};

enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

// What DefineProperties sees: one interface for reading and writing.
class TFiler {
public:
  explicit TFiler(TStream& stream) : stream_(stream) {}
  virtual ~TFiler() = default;
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

  virtual void DefineProperty(const std::string& name, const std::function<void(TReader&)>& readData,
                              const std::function<void(TWriter&)>& writeData, bool hasData) = 0;
  // The callbacks see a stream holding exactly the property's bytes.
  virtual void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& readData,
                                    const std::function<void(TStream&)>& writeData, bool hasData) = 0;

  TComponent* Root() const { return root_; }
  TStream& Stream() { return stream_; }

protected:
  TStream& stream_;
  TComponent* root_ = nullptr;
};

class TReader : public TFiler {
public:
  explicit TReader(TStream& stream) : TFiler(stream) {}

  // Every reading error goes here first; Handled = true skips the property (or the child
  // component) concerned and reading goes on. Unhandled, the error is raised as EReadError.
  std::function<void(TReader&, const std::string& message, bool& handled)> OnError;
  // Called for each event binding after the root's published methods were searched; Error
  // tells whether Method was found. A hook may fill Method and clear Error.
  std::function<void(TReader&, const std::string& methodName, TMethodValue& method, bool& error)> OnFindMethod;

  // Reads the definition into Root, which must exist; its children are created.
  void ReadRootComponent(TComponent* root);

  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& readData,
                      const std::function<void(TWriter&)>& writeData, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& readData,
                            const std::function<void(TStream&)>& writeData, bool hasData) override;

  // Value primitives (for DefineProperty callbacks).
  TValueType ReadValue();
  TValueType NextValue();
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  int32_t ReadInteger();
  int64_t ReadInt64();
  bool ReadBoolean();
  std::string ReadString();
  std::string ReadIdent();
  void SkipValue();

private:
  struct Fixup {
    TPersistent* Instance;
    const TPropInfo* Prop;
    std::string Name;
    std::vector<const TCollection*> Within;  // the collections being read when it was met
  };

  uint8_t ReadByte();
  std::string ReadShortString();
  std::string ReadLongBytes(int64_t count);
  void CheckValue(TValueType expected);
  int64_t ReadOrdinalOf(TValueType type);
  std::vector<std::string> ReadSetNames();
  void ReadSignature();
  uint8_t ReadPrefix(int32_t& childPos);
  void ReadComponentBody(TComponent* instance);
  void ReadChild(TComponent* parent);
  void SkipComponent();
  void SkipProperties();
  void ReadProperty(TPersistent* instance);
  void ReadPropValue(TPersistent* instance, const TPropInfo& prop);
  void ReadIntegerProp(TPersistent& instance, const TPropInfo& prop);
  void ReadCharProp(TPersistent& instance, const TPropInfo& prop);
  void ReadEnumProp(TPersistent& instance, const TPropInfo& prop);
  void ReadSetProp(TPersistent& instance, const TPropInfo& prop);
  void ReadObjectProp(TPersistent& instance, const TPropInfo& prop);
  void ReadComponentProp(TPersistent& instance, const TPropInfo& prop);
  void ReadEventProp(TPersistent& instance, const TPropInfo& prop);
  void DropFixupsWithin(const TCollection& collection);
  void ReadCollection(TCollection& collection);
  void ReadStrings(TStrings& strings);
  void BindMethod(TPersistent* instance, const TPropInfo& prop, const std::string& name);
  void ResolveFixups();
  // Raises unless OnError handles it.
  void Error(const std::string& message);

  std::string propName_;
  bool propDone_ = false;
  std::vector<TComponent*> loaded_;
  std::vector<Fixup> fixups_;
  TComponent* current_ = nullptr;
  std::vector<const TCollection*> collections_;  // being read, outermost first
  int depth_ = 0;
};

class TWriter : public TFiler {
public:
  explicit TWriter(TStream& stream) : TFiler(stream) {}

  void WriteRootComponent(TComponent* root);

  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& readData,
                      const std::function<void(TWriter&)>& writeData, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& readData,
                            const std::function<void(TStream&)>& writeData, bool hasData) override;

  void WriteValue(TValueType type);
  void WriteListBegin() { WriteValue(vaList); }
  void WriteListEnd() { WriteValue(vaNull); }
  void WriteInteger(int64_t value);
  void WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }
  void WriteString(const std::string& value);
  void WriteIdent(const std::string& ident);
  void WriteBinary(const void* data, int64_t size);
  // A length-prefixed name (class, component or property name, set element).
  void WriteShortString(const std::string& s);
  void WriteSignature();

private:
  void WriteComponent(TComponent* component);
  void WriteProperties(TPersistent* instance);
  void WriteProperty(TPersistent* instance, const TPropInfo& prop);
  void WriteOrdinalProp(TPersistent& instance, const TPropInfo& prop);
  void WriteEnumValue(const TPropInfo& prop, int64_t value);
  void WriteSetValue(const TPropInfo& prop, int64_t value);
  void WriteIntegerValue(const TPropInfo& prop, int64_t value);
  void WriteStringProp(TPersistent& instance, const TPropInfo& prop);
  void WriteObjectProp(TPersistent& instance, const TPropInfo& prop);
  void WriteComponentProp(TPersistent& instance, const TPropInfo& prop);
  void WriteEventProp(TPersistent& instance, const TPropInfo& prop);
  void WritePropName(const std::string& name);
  void WriteCollection(TCollection& collection);
  void WriteStrings(TStrings& strings);

  std::string propPath_;
};

// Reads a whole binary definition into an existing root component.
void ReadRootComponent(TStream& stream, TComponent* root);
// Creates the root from the class named in the definition (a registered component class,
// created with Owner), then reads it.
TComponent* ReadComponent(TStream& stream, TComponent* owner);
void WriteRootComponent(TStream& stream, TComponent* root);

}  // namespace orv
