#include <windows.h>

#include "sys/Registry.h"

#include <vector>

namespace orv {

void TRegistry::SetRootKey(HKEY value) {
  CloseKey();
  root_ = value;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  const bool absolute = !key.empty() && key[0] == '\\';
  std::string path = absolute ? key.substr(1) : key;
  HKEY base = (absolute || !current_) ? root_ : current_.Get();
  HKEY opened = nullptr;
  LONG rc = canCreate ? RegCreateKeyExA(base, path.c_str(), 0, nullptr, 0, access_, nullptr, &opened, nullptr)
                      : RegOpenKeyExA(base, path.c_str(), 0, access_, &opened);
  if (rc != ERROR_SUCCESS) return false;
  current_.Reset(opened);
  return true;
}

bool TRegistry::ValueExists(const std::string& name) const {
  HKEY key = current_ ? current_.Get() : root_;
  return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) const {
  HKEY key = current_ ? current_.Get() : root_;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return "";
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
  std::vector<char> buf(size + 1, '\0');
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) != ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for '" + name + "'");
  return std::string(buf.data());
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  HKEY key = current_ ? current_.Get() : root_;
  if (RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '" + name + "'");
}

}  // namespace orv
