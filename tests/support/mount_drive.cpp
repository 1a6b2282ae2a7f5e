#include "mount_drive.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

namespace testsupport {

bool DefineUnixDrive(wchar_t Letter, const std::string& UnixPath, ULONG Type) {
  // The request Wine's mount manager takes for "define a drive from a Unix path".
  struct Header {
    ULONG size, type, fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset, device_offset, label_offset;
  };
  static_assert(sizeof(Header) == 32);
  std::vector<char> buffer(sizeof(Header) + UnixPath.size() + 1, '\0');
  auto* h = reinterpret_cast<Header*>(buffer.data());
  h->size = static_cast<ULONG>(buffer.size());
  h->type = Type;
  h->letter = Letter;
  h->mount_point_offset = UnixPath.empty() ? 0 : sizeof(Header);
  std::memcpy(buffer.data() + sizeof(Header), UnixPath.c_str(), UnixPath.size());
  HANDLE mgr = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
  if (mgr == INVALID_HANDLE_VALUE) return false;
  const DWORD code = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
  DWORD returned = 0;
  const BOOL ok =
      DeviceIoControl(mgr, code, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  CloseHandle(mgr);
  return ok;
}

}  // namespace testsupport
