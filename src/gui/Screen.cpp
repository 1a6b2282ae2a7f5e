#include <windows.h>

#include "gui/Screen.h"

#include <algorithm>

#include "win/Handles.h"

namespace orv {

TScreen* Screen = nullptr;

const TClassInfo& TScreen::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TScreen>("TScreen", &TComponent::StaticClassInfo()).Info();
  return info;
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
  TWindowDC dc(nullptr);
  pixelsPerInch_ = GetDeviceCaps(dc.Get(), LOGPIXELSY);
  auto sys = [](LPCSTR id) { return LoadCursorA(nullptr, id); };
  cursors_[crDefault] = sys(reinterpret_cast<LPCSTR>(IDC_ARROW));
  cursors_[crArrow] = sys(reinterpret_cast<LPCSTR>(IDC_ARROW));
  cursors_[crCross] = sys(reinterpret_cast<LPCSTR>(IDC_CROSS));
  cursors_[crIBeam] = sys(reinterpret_cast<LPCSTR>(IDC_IBEAM));
  cursors_[crHourGlass] = sys(reinterpret_cast<LPCSTR>(IDC_WAIT));
  cursors_[crNo] = sys(reinterpret_cast<LPCSTR>(IDC_NO));
  cursors_[crHandPoint] = sys(reinterpret_cast<LPCSTR>(IDC_HAND));
}

HCURSOR TScreen::Cursors(int id) const {
  auto it = cursors_.find(id);
  if (it != cursors_.end() && it->second) return it->second;
  return cursors_.at(crDefault);
}

void TScreen::SetCursors(int id, HCURSOR cursor) { cursors_[id] = cursor; }

void TScreen::SetCursor(int32_t value) {
  cursor_ = value;
  // The next pointer move would do it too; a program that works without pumping needs it now.
  ::SetCursor(Cursors(value));
}

void TScreen::RemoveForm(TForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (activeForm_ == form) activeForm_ = nullptr;
}

}  // namespace orv
