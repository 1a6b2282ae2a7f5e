#pragma once
// A stand-in for the browser and the mail program: the tests' recorder program, registered
// for "http" and "mailto" while a TLinkRecorder lives. Each start of it appends its argument,
// one a line, to a file in the temp folder; the protocols' former commands are put back at
// the end.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

class TLinkRecorder {
public:
  // FileName: the record's name in the temp folder (one a test program, so that programs run
  // apart never share one).
  explicit TLinkRecorder(const std::string& FileName);
  ~TLinkRecorder();
  TLinkRecorder(const TLinkRecorder&) = delete;
  TLinkRecorder& operator=(const TLinkRecorder&) = delete;

  // Registers Program (a Windows path) as the command of both protocols.
  void Register(const std::string& Program);
  // The record, once it holds Lines lines (or after ten seconds, as it is then).
  std::string Recorded(size_t Lines = 1) const;

private:
  std::string record_;
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

}  // namespace testsupport
