#pragma once
// Registry access: one open key at a time under a root key, with the access rights chosen
// at construction.
#include <windows.h>

#include <string>

#include "base/Exceptions.h"
#include "base/Object.h"
#include "win/Handles.h"

namespace orv {

class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

class TRegistry : public TObject {
public:
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
  std::string ClassName() const override { return "TRegistry"; }

  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY value);
  HKEY CurrentKey() const { return current_.Get(); }
  REGSAM Access() const { return access_; }

  // A key starting with "\" is taken from the root, any other from the open key (or the root).
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey() { current_.Reset(); }
  bool ValueExists(const std::string& name) const;
  // A missing value reads as ""; a value that is not a string raises ERegistryException.
  std::string ReadString(const std::string& name) const;
  void WriteString(const std::string& name, const std::string& value);

private:
  HKEY root_ = HKEY_CURRENT_USER;
  REGSAM access_;
  TOwnedRegKey current_;
};

}  // namespace orv
