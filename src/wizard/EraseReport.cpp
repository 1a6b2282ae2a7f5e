#include "wizard/EraseReport.h"

#include <cinttypes>
#include <cstdio>

#include "lang/KLXLang.h"

namespace orv {

namespace {

std::string Word(const char* key) { return GlobalLanguage ? GlobalLanguage->GetWord(key) : std::string(); }

std::string Format(const char* key, const std::vector<std::string>& args) { return FormatText(Word(key), args); }

void AddLine(std::string& text, const std::string& line) {
  if (line.empty()) return;
  if (!text.empty()) text += "\r\n\r\n";
  text += line;
}

std::string MegabytesText(int64_t bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return buf;
}

// The run went through its range without a stop of its own.
bool Walked(const TEraseOutcome& o) {
  return o.Refusal == TEraseRefusal::None && o.VolumeOpened && !o.Cancelled && o.Error.empty();
}

std::string NotReachedText(const TEraseOutcome& o, const TEraseContext& c) {
  if (o.BytesNotReached > 0)
    return Format("MsgEraseNotReachedS", {SizeText(o.BytesNotReached), c.Drive, SizeText(o.BytesToCover)});
  return Format("MsgEraseEndUnknownS", {SizeText(o.BytesToCover), c.Drive});
}

std::string ErrorDetail(const TEraseContext& c) {
  return c.SystemError.empty() ? std::string() : " (" + c.SystemError + ")";
}

// One thing that can have gone wrong, and what the user is told of it. Checked in this order;
// each that holds adds its paragraph to the warning.
struct TEraseFact {
  bool (*Holds)(const TEraseOutcome&);
  std::string (*Tell)(const TEraseOutcome&, const TEraseContext&);
};

const TEraseFact kWarnings[] = {
    {[](const TEraseOutcome& o) {
       return o.Refusal == TEraseRefusal::NoDrive || o.Refusal == TEraseRefusal::NoGeometry;
     },
     [](const TEraseOutcome&, const TEraseContext& c) { return Format("MsgEraseNoDrive", {c.Drive}); }},
    {[](const TEraseOutcome& o) { return o.Refusal == TEraseRefusal::VolumeChanged; },
     [](const TEraseOutcome&, const TEraseContext& c) { return Format("MsgEraseVolumeChanged", {c.Drive}); }},
    {[](const TEraseOutcome& o) { return o.Refusal == TEraseRefusal::None && o.VolumeInUse; },
     [](const TEraseOutcome&, const TEraseContext& c) { return Format("MsgEraseVolumeInUse", {c.Drive}); }},
    {[](const TEraseOutcome& o) { return o.Refusal == TEraseRefusal::None && !o.VolumeOpened && !o.VolumeInUse; },
     [](const TEraseOutcome&, const TEraseContext& c) {
       return Format("MsgEraseVolumeNotOpened", {c.Drive, ErrorDetail(c)});
     }},
    {[](const TEraseOutcome& o) { return o.BytesNotWritten > 0; },
     [](const TEraseOutcome& o, const TEraseContext& c) {
       return Format("MsgEraseWritesFailed", {SizeText(o.BytesNotWritten), c.Drive, ErrorDetail(c)});
     }},
    {[](const TEraseOutcome& o) { return Walked(o) && o.EndUnknown(); }, NotReachedText},
    {[](const TEraseOutcome& o) { return !o.Error.empty(); },
     [](const TEraseOutcome& o, const TEraseContext&) { return Format("MsgEraseStopped", {o.Error}); }},
    {[](const TEraseOutcome& o) { return o.WriteComplete() && o.VerifyFailedAt >= 0; },
     [](const TEraseOutcome& o, const TEraseContext& c) {
       return Format(o.VerifyUnreadable ? "MsgVerifyUnreadableAtS" : "MsgVerifyNotZeroAtS",
                     {std::to_string(o.VerifyFailedAt)});
     }},
    {[](const TEraseOutcome& o) { return o.WritesStoppedAt >= 0 && !o.Cancelled; },
     [](const TEraseOutcome& o, const TEraseContext&) {
       return Format("MsgEraseWritesStoppedAt", {SizeText(o.WritesStoppedAt), SizeText(o.BytesToCover)});
     }},
};

std::string Summary(const TEraseOutcome& o, const TEraseContext& c, bool failed) {
  std::string text;
  const std::string written = SizeText(o.BytesWritten), total = SizeText(o.BytesToCover);
  const std::string time = DurationText(c.ElapsedMs / 1000);
  if (o.Refusal != TEraseRefusal::None || !o.VolumeOpened)
    AddLine(text, Word("TxtEraseNothingWritten"));
  else if (o.Cancelled)
    AddLine(text, Format("TxtEraseCancelledAt", {written, total, time}));
  else
    AddLine(text, Format("TxtEraseWritten", {written, total, time}));
  if (o.BytesNotWritten > 0) AddLine(text, Format("TxtEraseNotWritten", {SizeText(o.BytesNotWritten)}));
  if (o.WritesStoppedAt >= 0 && !o.Cancelled) AddLine(text, Format("TxtEraseStoppedAt", {SizeText(o.WritesStoppedAt)}));
  if (o.Verified) AddLine(text, Format("TxtVerifiedSMB", {MegabytesText(o.BytesVerified)}));
  if (o.VerifyCancelled) AddLine(text, Word("TxtVerifyCancelled"));
  if (Walked(o) && o.EndUnknown()) AddLine(text, Word("TxtEraseEndNotReached"));
  if (!failed && !o.Cancelled) AddLine(text, Word("TxtEraseFormatReminder"));
  return text;
}

}  // namespace

bool EraseFailed(const TEraseOutcome& o) {
  return o.Refusal != TEraseRefusal::None || !o.VolumeOpened || o.VolumeInUse || o.BytesNotWritten > 0 ||
         !o.Error.empty() || (o.BytesWritten == 0 && !o.Cancelled) || (o.WriteComplete() && o.VerifyFailedAt >= 0) ||
         (Walked(o) && o.EndUnknown());
}

TEraseReport ReportErase(const TEraseOutcome& Outcome, const TEraseContext& Context) {
  TEraseReport report;
  report.Failed = EraseFailed(Outcome);
  for (const TEraseFact& fact : kWarnings)
    if (fact.Holds(Outcome)) AddLine(report.Warning, fact.Tell(Outcome, Context));
  if (report.Failed && report.Warning.empty())
    report.Warning = Format("MsgEraseVolumeNotOpened", {Context.Drive, ErrorDetail(Context)});
  if (report.Failed)
    report.Title = Word("CapEraseFailed") + "!";
  else if (Outcome.Cancelled)
    report.Title = Word("CapCancelled") + "!";
  else
    report.Title = Word("CapFinished") + "!";
  report.Summary = Summary(Outcome, Context, report.Failed);
  return report;
}

std::string SizeText(int64_t Bytes) {
  if (Bytes < 1024) return std::to_string(Bytes) + " bytes";
  static const char* const units[] = {"KB", "MB", "GB", "TB"};
  double value = static_cast<double>(Bytes) / 1024;
  int unit = 0;
  while (value >= 1024 && unit < 3) {
    value /= 1024;
    ++unit;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, value < 10 ? "%.2f %s" : value < 100 ? "%.1f %s" : "%.0f %s", value, units[unit]);
  return buf;
}

std::string DurationText(uint32_t Seconds) {
  char buf[32];
  const uint32_t h = Seconds / 3600, m = Seconds / 60 % 60, s = Seconds % 60;
  if (h > 0)
    std::snprintf(buf, sizeof buf, "%" PRIu32 ":%02" PRIu32 ":%02" PRIu32, h, m, s);
  else
    std::snprintf(buf, sizeof buf, "%" PRIu32 ":%02" PRIu32, m, s);
  return buf;
}

std::string EraseProgressText(int64_t Done, int64_t Total, uint32_t ElapsedMs) {
  if (Done < 0) Done = 0;
  if (Total > 0 && Done > Total) Done = Total;
  const double bytesPerSecond = ElapsedMs > 0 ? static_cast<double>(Done) * 1000.0 / ElapsedMs : 0.0;
  std::string left = "-";
  if (bytesPerSecond >= 1.0 && Total > Done) {
    const double seconds = static_cast<double>(Total - Done) / bytesPerSecond;
    left = seconds < 4.0e9 ? DurationText(static_cast<uint32_t>(seconds + 0.5)) : "-";
  } else if (Total > 0 && Done >= Total) {
    left = DurationText(0);
  }
  const std::string speed = bytesPerSecond >= 1.0 ? SizeText(static_cast<int64_t>(bytesPerSecond)) + "/s" : "-";
  return FormatText(Word("TxtEraseProgress"), {SizeText(Done), SizeText(Total), speed, left});
}

std::string FormatText(const std::string& Format, const std::vector<std::string>& Args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < Format.size(); ++i) {
    if (Format[i] == '%' && i + 1 < Format.size() && Format[i + 1] == 's') {
      if (next < Args.size()) out += Args[next];
      ++next;
      ++i;
    } else {
      out += Format[i];
    }
  }
  return out;
}

}  // namespace orv
