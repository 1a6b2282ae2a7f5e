// Stands in for a browser or mail program: appends each argument it was given, one per line,
// to the file named by ORVASIL_RECORDER_FILE.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("ORVASIL_RECORDER_FILE", path, MAX_PATH)) return 2;
  FILE* out = std::fopen(path, "ab");
  if (!out) return 3;
  for (int i = 1; i < __argc; ++i) std::fprintf(out, "%s\n", __argv[i]);
  std::fclose(out);
  return 0;
}
