// Never run: linked only so that the import check can be shown an import table with what it
// must refuse (a newer function, an ordinal, a DLL without a list).
#include <windows.h>

extern "C" __declspec(dllimport) void __stdcall ProbeByOrdinal();
extern "C" __declspec(dllimport) BOOL __stdcall ProbeUnlisted();

int main() {
  ProbeByOrdinal();
  ProbeUnlisted();
  return static_cast<int>(GetTickCount64() & 1) + static_cast<int>(GetTickCount());
}
