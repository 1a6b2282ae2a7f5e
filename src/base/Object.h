#pragma once
// The root of the framework's classes: anything a list may own or a stream may name.
#include <string>

namespace orv {

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
  virtual std::string ClassName() const { return "TObject"; }
};

}  // namespace orv
