#include "base/Filer.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/Collection.h"
#include "base/Component.h"
#include "base/Exceptions.h"
#include "base/LittleEndian.h"
#include "base/ScopeGuard.h"
#include "base/StringList.h"

namespace orv {

namespace {

const char kSignature[4] = {'T', 'P', 'F', '0'};

std::string ComponentPath(TComponent* c) { return c->Name().empty() ? c->ClassName() : c->Name(); }

}  // namespace

// ---- reader primitives

uint8_t TReader::ReadByte() {
  uint8_t b;
  stream_.ReadBuffer(&b, 1);
  return b;
}

std::string TReader::ReadShortString() {
  uint8_t n = ReadByte();
  std::string s(n, '\0');
  stream_.ReadBuffer(s.data(), n);
  return s;
}

std::string TReader::ReadLongBytes(int64_t count) {
  if (count < 0 || count > stream_.Size() - stream_.Position()) throw EReadError();
  std::string s(static_cast<size_t>(count), '\0');
  stream_.ReadBuffer(s.data(), count);
  return s;
}

TValueType TReader::ReadValue() { return static_cast<TValueType>(ReadByte()); }

TValueType TReader::NextValue() {
  TValueType v = ReadValue();
  stream_.Seek(-1, SeekOrigin::Current);
  return v;
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

void TReader::CheckValue(TValueType expected) {
  if (ReadValue() != expected) {
    stream_.Seek(-1, SeekOrigin::Current);
    RaiseInvalidPropertyValue();
  }
}

void TReader::ReadListBegin() { CheckValue(vaList); }
void TReader::ReadListEnd() { CheckValue(vaNull); }

int64_t TReader::ReadOrdinalOf(TValueType type) {
  switch (type) {
    case vaInt8: return ReadLE<int8_t>(stream_);
    case vaInt16: return ReadLE<int16_t>(stream_);
    case vaInt32: return ReadLE<int32_t>(stream_);
    case vaInt64: return ReadLE<int64_t>(stream_);
    default: stream_.Seek(-1, SeekOrigin::Current); RaiseInvalidPropertyValue();
  }
}

int32_t TReader::ReadInteger() {
  int64_t v = ReadOrdinalOf(ReadValue());
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) RaiseInvalidPropertyValue();
  return static_cast<int32_t>(v);
}

int64_t TReader::ReadInt64() { return ReadOrdinalOf(ReadValue()); }

bool TReader::ReadBoolean() {
  TValueType v = ReadValue();
  if (v == vaTrue || v == vaFalse) return v == vaTrue;
  stream_.Seek(-1, SeekOrigin::Current);
  RaiseInvalidPropertyValue();
}

std::string TReader::ReadString() {
  switch (ReadValue()) {
    case vaString: return ReadShortString();
    case vaLString:
    case vaUTF8String: return ReadLongBytes(ReadOrdinalOf(vaInt32));
    default: stream_.Seek(-1, SeekOrigin::Current); RaiseInvalidPropertyValue();
  }
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent: return ReadShortString();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: stream_.Seek(-1, SeekOrigin::Current); RaiseInvalidPropertyValue();
  }
}

std::vector<std::string> TReader::ReadSetNames() {
  std::vector<std::string> names;
  for (std::string s = ReadShortString(); !s.empty(); s = ReadShortString()) names.push_back(s);
  return names;
}

void TReader::SkipValue() {
  const TNestingLevel level(depth_);
  if (level.TooDeep()) throw EReadError();
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil: break;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadValue();
      break;
    case vaInt8: stream_.Seek(1, SeekOrigin::Current); break;
    case vaInt16: stream_.Seek(2, SeekOrigin::Current); break;
    case vaInt32:
    case vaSingle: stream_.Seek(4, SeekOrigin::Current); break;
    case vaInt64:
    case vaCurrency:
    case vaDate:
    case vaDouble: stream_.Seek(8, SeekOrigin::Current); break;
    case vaExtended: stream_.Seek(10, SeekOrigin::Current); break;
    case vaString:
    case vaIdent: stream_.Seek(ReadByte(), SeekOrigin::Current); break;
    case vaBinary:
    case vaLString:
    case vaUTF8String: ReadLongBytes(ReadOrdinalOf(vaInt32)); break;
    case vaWString: ReadLongBytes(ReadOrdinalOf(vaInt32) * 2); break;
    case vaSet: ReadSetNames(); break;
    case vaCollection:
      while (!EndOfList()) {
        TValueType t = NextValue();
        if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadInteger();
        ReadListBegin();
        SkipProperties();
      }
      ReadValue();
      break;
    default: throw EReadError();
  }
  if (stream_.Position() > stream_.Size()) throw EReadError();
}

void TReader::SkipProperties() {
  for (std::string name = ReadShortString(); !name.empty(); name = ReadShortString()) SkipValue();
}

// ---- reading components

void TReader::Error(const std::string& message) {
  bool handled = false;
  if (OnError) OnError(*this, message, handled);
  if (!handled) throw EReadError(message);
}

void TReader::ReadSignature() {
  char sig[4];
  stream_.ReadBuffer(sig, 4);
  if (std::memcmp(sig, kSignature, 4) != 0) throw EReadError("Invalid stream format");
}

uint8_t TReader::ReadPrefix(int32_t& childPos) {
  uint8_t flags = 0;
  childPos = 0;
  if ((NextValue() & 0xF0) == 0xF0) {
    flags = ReadByte() & 0x0F;
    if (flags & ffChildPos) childPos = ReadInteger();
  }
  return flags;
}

void TReader::ReadRootComponent(TComponent* root) {
  if (!root) throw EReadError("No root component");
  root_ = root;
  loaded_.clear();
  fixups_.clear();
  depth_ = 0;
  try {
    ReadSignature();
    int32_t childPos;
    ReadPrefix(childPos);
    ReadShortString();  // the class name: the root already exists
    std::string name = ReadShortString();
    root->SetState(csLoading | csReading);
    loaded_.push_back(root);
    if (root->Name().empty() && !name.empty()) root->SetName(name);
    ReadComponentBody(root);
    ResolveFixups();
  } catch (...) {
    for (TComponent* c : loaded_) c->ClearState(csLoading | csReading);
    loaded_.clear();
    throw;
  }
  std::vector<TComponent*> loaded;
  loaded.swap(loaded_);
  for (TComponent* c : loaded) c->ClearState(csReading);
  for (TComponent* c : loaded) c->Loaded();
}

void TReader::ReadComponentBody(TComponent* instance) {
  const TNestingLevel level(depth_);
  if (level.TooDeep()) throw EReadError("Definition nested too deeply");
  current_ = instance;
  while (!EndOfList()) ReadProperty(instance);
  ReadValue();
  while (!EndOfList()) ReadChild(instance);
  ReadValue();
}

void TReader::ReadChild(TComponent* parent) {
  const int64_t start = stream_.Position();
  int32_t childPos;
  uint8_t flags = ReadPrefix(childPos);
  std::string className = ReadShortString();
  std::string name = ReadShortString();
  TComponent* child = nullptr;
  try {
    if ((flags & ffInherited) && root_->FindComponent(name)) {
      child = root_->FindComponent(name);
    } else {
      const TClassInfo* info = GetClass(className);
      if (!info) throw EClassNotFound("Class " + className + " not found");
      if (!info->CreateComponent) throw EReadError("Class " + className + " is not a component class");
      child = info->CreateComponent(root_);
      try {
        child->SetName(name);
      } catch (...) {
        delete child;
        throw;
      }
    }
  } catch (const Exception& e) {
    bool handled = false;
    if (OnError) OnError(*this, e.Message(), handled);
    if (!handled) throw;
    stream_.SetPosition(start);
    SkipComponent();
    return;
  }
  child->SetState(csLoading | csReading);
  loaded_.push_back(child);
  child->SetParentComponent(parent);
  ReadComponentBody(child);
}

void TReader::SkipComponent() {
  const TNestingLevel level(depth_);
  if (level.TooDeep()) throw EReadError("Definition nested too deeply");
  int32_t childPos;
  ReadPrefix(childPos);
  ReadShortString();
  ReadShortString();
  SkipProperties();
  while (!EndOfList()) SkipComponent();
  ReadValue();
}

void TReader::ReadProperty(TPersistent* instance) {
  const std::string fullName = ReadShortString();
  const int64_t valueStart = stream_.Position();
  try {
    TPersistent* target = instance;
    std::string name = fullName;
    for (size_t dot; (dot = name.find('.')) != std::string::npos; name.erase(0, dot + 1)) {
      const TPropInfo* sub = target->ClassInfo().FindProp(name.substr(0, dot));
      if (!sub || sub->Kind != TPropKind::Object) throw EReadError("Property " + fullName + " does not exist");
      target = sub->GetObject(*target);
      if (!target) throw EReadError("Property " + fullName + " does not exist");
    }
    if (const TPropInfo* prop = target->ClassInfo().FindProp(name)) {
      ReadPropValue(target, *prop);
      return;
    }
    if (auto* strings = dynamic_cast<TStrings*>(target); strings && SameText(name, "Strings")) {
      ReadStrings(*strings);
      return;
    }
    propName_ = name;
    propDone_ = false;
    target->DefineProperties(*this);
    if (!propDone_) throw EReadError("Property " + fullName + " does not exist");
  } catch (const Exception& e) {
    bool handled = false;
    if (OnError) OnError(*this, e.Message(), handled);
    if (!handled) {
      const std::string prefix = "Error reading ";
      if (e.Message().compare(0, prefix.size(), prefix) == 0) throw;
      throw EReadError(prefix + ComponentPath(current_) + "." + fullName + ": " + e.Message());
    }
    stream_.SetPosition(valueStart);
    SkipValue();
  }
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo& prop) {
  switch (prop.Kind) {
    case TPropKind::Integer: return ReadIntegerProp(*instance, prop);
    case TPropKind::Boolean: return prop.SetOrd(*instance, ReadBoolean() ? 1 : 0);
    case TPropKind::Char: return ReadCharProp(*instance, prop);
    case TPropKind::Enum: return ReadEnumProp(*instance, prop);
    case TPropKind::Set: return ReadSetProp(*instance, prop);
    case TPropKind::String: return prop.SetStr(*instance, ReadString());
    case TPropKind::Object: return ReadObjectProp(*instance, prop);
    case TPropKind::Component: return ReadComponentProp(*instance, prop);
    case TPropKind::Event: return ReadEventProp(*instance, prop);
  }
}

void TReader::ReadIntegerProp(TPersistent& instance, const TPropInfo& prop) {
  if (!prop.Idents || NextValue() != vaIdent) return prop.SetOrd(instance, ReadInt64());
  const std::string ident = ReadIdent();
  for (const auto& [text, value] : *prop.Idents)
    if (SameText(text, ident)) return prop.SetOrd(instance, value);
  RaiseInvalidPropertyValue();
}

void TReader::ReadCharProp(TPersistent& instance, const TPropInfo& prop) {
  const std::string s = ReadString();
  if (s.size() != 1) RaiseInvalidPropertyValue();
  prop.SetOrd(instance, static_cast<uint8_t>(s[0]));
}

void TReader::ReadEnumProp(TPersistent& instance, const TPropInfo& prop) {
  const std::string ident = ReadIdent();
  for (size_t i = 0; i < prop.Names->size(); ++i)
    if (SameText((*prop.Names)[i], ident)) return prop.SetOrd(instance, static_cast<int64_t>(i));
  RaiseInvalidPropertyValue();
}

void TReader::ReadSetProp(TPersistent& instance, const TPropInfo& prop) {
  CheckValue(vaSet);
  int64_t mask = 0;
  for (const std::string& element : ReadSetNames()) {
    size_t i = 0;
    while (i < prop.Names->size() && !SameText((*prop.Names)[i], element)) ++i;
    if (i == prop.Names->size() || i >= 32) RaiseInvalidPropertyValue();
    mask |= int64_t{1} << i;
  }
  prop.SetOrd(instance, mask);
}

void TReader::ReadObjectProp(TPersistent& instance, const TPropInfo& prop) {
  auto* collection = dynamic_cast<TCollection*>(prop.GetObject(instance));
  if (!collection || NextValue() != vaCollection) RaiseInvalidPropertyValue();
  ReadCollection(*collection);
}

void TReader::ReadComponentProp(TPersistent& instance, const TPropInfo& prop) {
  if (NextValue() != vaNil) {
    fixups_.push_back({&instance, &prop, ReadIdent(), collections_});
    return;
  }
  ReadValue();
  prop.SetComponent(instance, nullptr);
}

void TReader::ReadEventProp(TPersistent& instance, const TPropInfo& prop) {
  if (NextValue() != vaNil) return BindMethod(&instance, prop, ReadIdent());
  ReadValue();
  prop.SetMethod(instance, {});
}

void TReader::ReadStrings(TStrings& strings) {
  ReadListBegin();
  WithUpdate(strings, [&] {
    strings.Clear();
    while (!EndOfList()) strings.Add(ReadString());
    ReadListEnd();
  });
}

// References still waiting inside items that are about to go would dangle.
void TReader::DropFixupsWithin(const TCollection& collection) {
  std::erase_if(fixups_, [&](const Fixup& f) {
    return std::find(f.Within.begin(), f.Within.end(), &collection) != f.Within.end();
  });
}

void TReader::ReadCollection(TCollection& collection) {
  const TNestingLevel level(depth_);
  if (level.TooDeep()) throw EReadError("Definition nested too deeply");
  ReadValue();
  collections_.push_back(&collection);
  const TScopeGuard leave{[&] { collections_.pop_back(); }};
  WithUpdate(collection, [&] {
    DropFixupsWithin(collection);
    collection.Clear();
    while (!EndOfList()) {
      TValueType t = NextValue();
      if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadInteger();  // item order, unused
      ReadListBegin();
      TCollectionItem* item = collection.Add();
      while (!EndOfList()) ReadProperty(item);
      ReadListEnd();
    }
    ReadListEnd();
  });
}

void TReader::BindMethod(TPersistent* instance, const TPropInfo& prop, const std::string& name) {
  TMethodValue method;
  bool error = true;
  if (auto found = FindPublishedMethod(*root_, name)) {
    method = std::move(*found);
    error = false;
  }
  if (OnFindMethod) OnFindMethod(*this, name, method, error);
  if (error || !method.Code.has_value()) RaiseInvalidPropertyValue("method " + name + " not found");
  if (method.Name.empty()) method.Name = name;
  prop.SetMethod(*instance, method);
}

void TReader::ResolveFixups() {
  std::vector<Fixup> fixups;
  fixups.swap(fixups_);
  for (const Fixup& f : fixups) {
    std::string name = f.Name;
    size_t dot = name.find('.');
    if (dot != std::string::npos && SameText(name.substr(0, dot), root_->Name())) name.erase(0, dot + 1);
    TComponent* target = SameText(name, root_->Name()) ? root_ : root_->FindComponent(name);
    try {
      if (!target) throw EReadError("Component " + f.Name + " not found");
      f.Prop->SetComponent(*f.Instance, target);
    } catch (const Exception& e) {
      Error(e.Message());
    }
  }
}

void TReader::DefineProperty(const std::string& name, const std::function<void(TReader&)>& readData,
                             const std::function<void(TWriter&)>&, bool) {
  if (propDone_ || !SameText(name, propName_) || !readData) return;
  propDone_ = true;
  readData(*this);
}

void TReader::DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& readData,
                                   const std::function<void(TStream&)>&, bool) {
  if (propDone_ || !SameText(name, propName_) || !readData) return;
  propDone_ = true;
  CheckValue(vaBinary);
  std::string bytes = ReadLongBytes(ReadLE<int32_t>(stream_));
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  data.SetPosition(0);
  readData(data);
}

// ---- writer

void TWriter::WriteValue(TValueType type) {
  uint8_t b = type;
  stream_.WriteBuffer(&b, 1);
}

void TWriter::WriteShortString(const std::string& s) {
  if (s.size() > 255) throw EWriteError("Identifier too long: " + s.substr(0, 32) + "...");
  uint8_t n = static_cast<uint8_t>(s.size());
  stream_.WriteBuffer(&n, 1);
  stream_.WriteBuffer(s.data(), n);
}

void TWriter::WriteInteger(int64_t value) {
  if (value >= INT8_MIN && value <= INT8_MAX) {
    WriteValue(vaInt8);
    WriteLE(stream_, static_cast<int8_t>(value));
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    WriteValue(vaInt16);
    WriteLE(stream_, static_cast<int16_t>(value));
  } else if (value >= INT32_MIN && value <= INT32_MAX) {
    WriteValue(vaInt32);
    WriteLE(stream_, static_cast<int32_t>(value));
  } else {
    WriteValue(vaInt64);
    WriteLE(stream_, value);
  }
}

void TWriter::WriteString(const std::string& value) {
  if (value.size() <= 255) {
    WriteValue(vaString);
    WriteShortString(value);
    return;
  }
  if (value.size() > static_cast<size_t>(INT32_MAX)) throw EWriteError();
  WriteValue(vaLString);
  WriteLE(stream_, static_cast<int32_t>(value.size()));
  stream_.WriteBuffer(value.data(), static_cast<int64_t>(value.size()));
}

void TWriter::WriteIdent(const std::string& ident) {
  if (SameText(ident, "False")) return WriteValue(vaFalse);
  if (SameText(ident, "True")) return WriteValue(vaTrue);
  if (SameText(ident, "nil")) return WriteValue(vaNil);
  if (SameText(ident, "Null")) return WriteValue(vaNull);
  WriteValue(vaIdent);
  WriteShortString(ident);
}

void TWriter::WriteBinary(const void* data, int64_t size) {
  if (size < 0 || size > INT32_MAX) throw EWriteError();
  WriteValue(vaBinary);
  WriteLE(stream_, static_cast<int32_t>(size));
  stream_.WriteBuffer(data, size);
}

void TWriter::WriteSignature() { stream_.WriteBuffer(kSignature, 4); }

void TWriter::WriteRootComponent(TComponent* root) {
  root_ = root;
  WriteSignature();
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
  WithState(*component, csWriting, [&] {
    WriteShortString(component->ClassName());
    WriteShortString(component->Name());
    propPath_.clear();
    WriteProperties(component);
    WriteListEnd();
    component->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
    WriteListEnd();
  });
}

void TWriter::WriteProperties(TPersistent* instance) {
  for (const TPropInfo* prop : instance->ClassInfo().AllProps()) WriteProperty(instance, *prop);
  instance->DefineProperties(*this);
}

void TWriter::WritePropName(const std::string& name) { WriteShortString(propPath_ + name); }

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo& prop) {
  switch (prop.Kind) {
    case TPropKind::Integer:
    case TPropKind::Boolean:
    case TPropKind::Char:
    case TPropKind::Enum:
    case TPropKind::Set: return WriteOrdinalProp(*instance, prop);
    case TPropKind::String: return WriteStringProp(*instance, prop);
    case TPropKind::Object: return WriteObjectProp(*instance, prop);
    case TPropKind::Component: return WriteComponentProp(*instance, prop);
    case TPropKind::Event: return WriteEventProp(*instance, prop);
  }
}

void TWriter::WriteOrdinalProp(TPersistent& instance, const TPropInfo& prop) {
  const int64_t v = prop.GetOrd(instance);
  if (prop.Default && *prop.Default == v) return;
  WritePropName(prop.Name);
  switch (prop.Kind) {
    case TPropKind::Boolean: return WriteBoolean(v != 0);
    case TPropKind::Char: return WriteString(std::string(1, static_cast<char>(v)));
    case TPropKind::Enum: return WriteEnumValue(prop, v);
    case TPropKind::Set: return WriteSetValue(prop, v);
    default: return WriteIntegerValue(prop, v);
  }
}

void TWriter::WriteEnumValue(const TPropInfo& prop, int64_t value) {
  if (value < 0 || value >= static_cast<int64_t>(prop.Names->size())) throw EWriteError(InvalidPropertyValue);
  WriteIdent((*prop.Names)[static_cast<size_t>(value)]);
}

void TWriter::WriteSetValue(const TPropInfo& prop, int64_t value) {
  WriteValue(vaSet);
  for (size_t i = 0; i < prop.Names->size() && i < 32; ++i)
    if (value & (int64_t{1} << i)) WriteShortString((*prop.Names)[i]);
  WriteShortString("");
}

void TWriter::WriteIntegerValue(const TPropInfo& prop, int64_t value) {
  if (prop.Idents)
    for (const auto& [text, v] : *prop.Idents)
      if (v == value) return WriteIdent(text);
  WriteInteger(value);
}

void TWriter::WriteStringProp(TPersistent& instance, const TPropInfo& prop) {
  const std::string s = prop.GetStr(instance);
  if (s.empty()) return;
  WritePropName(prop.Name);
  WriteString(s);
}

void TWriter::WriteObjectProp(TPersistent& instance, const TPropInfo& prop) {
  TPersistent* sub = prop.GetObject(instance);
  if (!sub) return;
  if (auto* collection = dynamic_cast<TCollection*>(sub)) {
    if (collection->Count() == 0) return;
    WritePropName(prop.Name);
    return WriteCollection(*collection);
  }
  if (auto* strings = dynamic_cast<TStrings*>(sub)) {
    if (strings->Count() == 0) return;
    WritePropName(prop.Name + ".Strings");
    return WriteStrings(*strings);
  }
  const std::string saved = propPath_;
  propPath_ += prop.Name + ".";
  WriteProperties(sub);
  propPath_ = saved;
}

// A component of another form is written with its owner's name in front.
void TWriter::WriteComponentProp(TPersistent& instance, const TPropInfo& prop) {
  TComponent* c = prop.GetComponent(instance);
  if (!c || c->Name().empty()) return;
  std::string name = c->Name();
  if (c != root_ && c->Owner() != root_) {
    if (!c->Owner() || c->Owner()->Name().empty()) return;
    name = c->Owner()->Name() + "." + name;
  }
  WritePropName(prop.Name);
  WriteIdent(name);
}

void TWriter::WriteEventProp(TPersistent& instance, const TPropInfo& prop) {
  const std::string name = prop.GetMethodName(instance);
  if (name.empty()) return;
  WritePropName(prop.Name);
  WriteIdent(name);
}

void TWriter::WriteCollection(TCollection& collection) {
  const std::string saved = propPath_;
  WriteValue(vaCollection);
  for (int i = 0; i < collection.Count(); ++i) {
    WriteListBegin();
    propPath_.clear();
    WriteProperties(collection.Items(i));
    WriteListEnd();
  }
  WriteListEnd();
  propPath_ = saved;
}

void TWriter::WriteStrings(TStrings& strings) {
  WriteListBegin();
  for (int i = 0; i < strings.Count(); ++i) WriteString(strings.Strings(i));
  WriteListEnd();
}

void TWriter::DefineProperty(const std::string& name, const std::function<void(TReader&)>&,
                             const std::function<void(TWriter&)>& writeData, bool hasData) {
  if (!hasData || !writeData) return;
  WritePropName(name);
  writeData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>&,
                                   const std::function<void(TStream&)>& writeData, bool hasData) {
  if (!hasData || !writeData) return;
  TMemoryStream data;
  writeData(data);
  WritePropName(name);
  WriteBinary(data.Memory(), data.Size());
}

// ---- entry points

void ReadRootComponent(TStream& stream, TComponent* root) {
  TReader reader(stream);
  reader.ReadRootComponent(root);
}

TComponent* ReadComponent(TStream& stream, TComponent* owner) {
  const int64_t start = stream.Position();
  TReader probe(stream);
  char sig[4];
  stream.ReadBuffer(sig, 4);
  if (std::memcmp(sig, kSignature, 4) != 0) throw EReadError("Invalid stream format");
  uint8_t first;
  stream.ReadBuffer(&first, 1);
  if ((first & 0xF0) == 0xF0) {
    if (first & ffChildPos) probe.ReadInteger();
    stream.ReadBuffer(&first, 1);
  }
  std::string className(first, '\0');
  stream.ReadBuffer(className.data(), first);
  stream.SetPosition(start);
  TComponent* root = CreateComponent(className, owner);
  try {
    ReadRootComponent(stream, root);
  } catch (...) {
    delete root;
    throw;
  }
  return root;
}

void WriteRootComponent(TStream& stream, TComponent* root) {
  TWriter writer(stream);
  writer.WriteRootComponent(root);
}

}  // namespace orv
