#pragma once
// What the wizard tells the user about an erase run: the Finish page's title and summary, and
// the warning for a run that left part of the card as it was. Texts come from the language
// table; numbers are written here.
#include <cstdint>
#include <string>
#include <vector>

#include "wizard/EraseRun.h"

namespace orv {

// The run as the user is told of it.
struct TEraseReport {
  bool Failed = false;  // the card, or a part of it, was not erased
  std::string Title;    // the Finish page's title
  std::string Summary;  // the Finish page's text
  std::string Warning;  // for the message box; empty when there is nothing to warn of
};

// Facts the outcome does not hold itself.
struct TEraseContext {
  std::string Drive;  // as the user knows it, e.g. "E:"
  uint32_t ElapsedMs = 0;
  std::string SystemError;  // the system's text for the outcome's LastSystemError, or ""
};

TEraseReport ReportErase(const TEraseOutcome& Outcome, const TEraseContext& Context);

// Whether any byte the run set out to cover is known not to have been written.
bool EraseFailed(const TEraseOutcome& Outcome);

// "512 bytes", "1.5 KB", "7.93 MB", "3.71 GB" (binary units).
std::string SizeText(int64_t Bytes);
// "0:07", "12:34", "1:02:03".
std::string DurationText(uint32_t Seconds);
// The Installing page's figures: written so far, speed, time left.
std::string EraseProgressText(int64_t Done, int64_t Total, uint32_t ElapsedMs);
// Text with each "%s" replaced by the next argument.
std::string FormatText(const std::string& Format, const std::vector<std::string>& Args);

}  // namespace orv
