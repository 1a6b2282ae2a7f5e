#include "link_recorder.h"

#include <algorithm>

#include "test_files.h"

namespace testsupport {

namespace {

const char* const kProtocols[] = {"http", "mailto"};

std::string Key(const std::string& protocol) { return protocol + "\\shell\\open\\command"; }

std::pair<bool, std::string> ReadCommand(const std::string& protocol) {
  char value[1024] = {};
  LONG size = sizeof value;
  const bool found = RegQueryValueA(HKEY_CLASSES_ROOT, Key(protocol).c_str(), value, &size) == ERROR_SUCCESS;
  return {found, value};
}

void WriteCommand(const std::string& protocol, const std::pair<bool, std::string>& command) {
  if (!command.first) {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, Key(protocol).c_str());
    return;
  }
  RegSetValueA(HKEY_CLASSES_ROOT, Key(protocol).c_str(), REG_SZ, command.second.c_str(),
               static_cast<DWORD>(command.second.size()));
}

}  // namespace

TLinkRecorder::TLinkRecorder(const std::string& FileName) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  record_ = std::string(temp) + FileName;
  DeleteFileA(record_.c_str());
  SetEnvironmentVariableA("ORVASIL_RECORDER_FILE", record_.c_str());
  for (const char* protocol : kProtocols) saved_.push_back({protocol, ReadCommand(protocol)});
}

TLinkRecorder::~TLinkRecorder() {
  for (const auto& [protocol, command] : saved_) WriteCommand(protocol, command);
  DeleteFileA(record_.c_str());
}

void TLinkRecorder::Register(const std::string& Program) {
  for (const char* protocol : kProtocols) WriteCommand(protocol, {true, "\"" + Program + "\" \"%1\""});
}

std::string TLinkRecorder::Recorded(size_t Lines) const {
  std::string s;
  for (int i = 0; i < 200; ++i) {
    s = ReadFile(record_);
    if (static_cast<size_t>(std::count(s.begin(), s.end(), '\n')) >= Lines) break;
    Sleep(50);
  }
  return s;
}

}  // namespace testsupport
