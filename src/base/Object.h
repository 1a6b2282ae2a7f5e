#pragma once
// The root of the framework's classes: anything a list may own or a stream may name.
#include <string>

#include "base/TypeInfo.h"

namespace orv {

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  // The class's published properties and methods (see base/TypeInfo.h).
  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
  virtual std::string ClassName() const { return ClassInfo().Name; }
};

}  // namespace orv
