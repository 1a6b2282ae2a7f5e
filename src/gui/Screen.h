#pragma once
// The screen: its size and resolution, the cursor table, and the forms of the program.
#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

#include "base/Component.h"

namespace orv {

class TForm;

// Standard cursor ids; the program adds its own positive ones.
constexpr int crDefault = 0;
constexpr int crArrow = -2;
constexpr int crCross = -3;
constexpr int crIBeam = -4;
constexpr int crHourGlass = -11;
constexpr int crNo = -18;
constexpr int crHandPoint = -21;

class TScreen : public TComponent {
  ORV_CLASSINFO(TScreen)

public:
  explicit TScreen(TComponent* owner);

  int32_t PixelsPerInch() const { return pixelsPerInch_; }
  int32_t Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int32_t Height() const { return GetSystemMetrics(SM_CYSCREEN); }

  // A cursor for every window of the program (crHourGlass while it works); crDefault lets each
  // control show its own.
  int32_t Cursor() const { return cursor_; }
  void SetCursor(int32_t value);
  // The cursor of an id, the arrow for an id that has none.
  HCURSOR Cursors(int id) const;
  // Cursor is borrowed (shared system or resource cursors need no freeing).
  void SetCursors(int id, HCURSOR cursor);

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int index) const { return forms_.at(index); }
  TForm* ActiveForm() const { return activeForm_; }

private:
  friend class TForm;
  void AddForm(TForm* form) { forms_.push_back(form); }
  void RemoveForm(TForm* form);

  int32_t pixelsPerInch_;
  int32_t cursor_ = crDefault;
  std::map<int, HCURSOR> cursors_;
  std::vector<TForm*> forms_;
  TForm* activeForm_ = nullptr;
};

extern TScreen* Screen;

}  // namespace orv
