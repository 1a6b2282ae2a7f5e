#include <windows.h>

#include "gui/Graphics.h"

#include "gui/Forms.h"

namespace orv {

namespace {
const std::vector<std::string> kFontStyleNames = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

LOGFONTA DefaultLogFont() {
  LOGFONTA lf{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  return lf;
}
}  // namespace

const TClassInfo& TFont::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TFont>("TFont", &TPersistent::StaticClassInfo())
                                     .Integer("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET)
                                     .Integer("Color", &TFont::Color, &TFont::SetColor, 0)
                                     .Integer("Height", &TFont::Height, &TFont::SetHeight)
                                     .String("Name", &TFont::Name, &TFont::SetName)
                                     .Set("Style", &TFont::Style, &TFont::SetStyle, kFontStyleNames, 0)
                                     .Info();
  return info;
}

TFont::TFont() {
  LOGFONTA lf = DefaultLogFont();
  name_ = lf.lfFaceName;
  height_ = lf.lfHeight;
  charset_ = lf.lfCharSet;
}

void TFont::Assign(const TPersistent* source) {
  if (auto* f = dynamic_cast<const TFont*>(source)) {
    name_ = f->name_;
    height_ = f->height_;
    style_ = f->style_;
    charset_ = f->charset_;
    color_ = f->color_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TFont::SetName(const std::string& value) {
  name_ = value;
  Changed();
}

void TFont::SetHeight(int32_t value) {
  height_ = value;
  Changed();
}

namespace {
int32_t ScreenPixelsPerInch() { return Screen ? Screen->PixelsPerInch() : 96; }
}  // namespace

int32_t TFont::Size() const { return -MulDiv(height_, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int32_t points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }

void TFont::SetStyle(uint8_t value) {
  style_ = value;
  Changed();
}

void TFont::SetCharset(uint8_t value) {
  charset_ = value;
  Changed();
}

void TFont::SetColor(COLORREF value) {
  color_ = value;
  Changed();
}

void TFont::SetLogFont(const LOGFONTA& lf) {
  name_ = lf.lfFaceName;
  height_ = lf.lfHeight;
  style_ = (lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
           (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0);
  charset_ = lf.lfCharSet;
  Changed();
}

HFONT TFont::Handle() const {
  if (!handle_) {
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) != 0;
    lf.lfUnderline = (style_ & fsUnderline) != 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) != 0;
    lf.lfCharSet = charset_;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, name_.c_str(), LF_FACESIZE);
    handle_.Reset(CreateFontIndirectA(&lf));
  }
  return static_cast<HFONT>(handle_.Get());
}

void TFont::Changed() {
  handle_.Reset();
  if (OnChange) OnChange(this);
}

TCanvas::TCanvas(HDC dc) : dc_(dc) {
  if (!dc_) {
    own_.Reset(CreateCompatibleDC(nullptr));
    dc_ = own_.Get();
  }
}

SIZE TCanvas::TextExtent(const std::string& text) {
  TSelectObject font(dc_, font_.Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

int32_t TCanvas::DrawText(const std::string& text, RECT& rect, UINT format) {
  TSelectObject font(dc_, font_.Handle());
  return ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace orv
