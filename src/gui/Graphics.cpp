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
  style_ = (lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) | (lf.lfUnderline ? fsUnderline : 0) |
           (lf.lfStrikeOut ? fsStrikeOut : 0);
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

namespace {
const std::vector<std::string> kPenStyleNames = {"psSolid",      "psDash",  "psDot",        "psDashDot",
                                                 "psDashDotDot", "psClear", "psInsideFrame"};
const std::vector<std::string> kBrushStyleNames = {"bsSolid", "bsClear"};

int PenStyleToGdi(TPenStyle style) {
  switch (style) {
    case TPenStyle::psDash: return PS_DASH;
    case TPenStyle::psDot: return PS_DOT;
    case TPenStyle::psDashDot: return PS_DASHDOT;
    case TPenStyle::psDashDotDot: return PS_DASHDOTDOT;
    case TPenStyle::psClear: return PS_NULL;
    case TPenStyle::psInsideFrame: return PS_INSIDEFRAME;
    default: return PS_SOLID;
  }
}
}  // namespace

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  if (color == clNone || color == clDefault) return 0;
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

const TIdentMap& ColorIdents() {
  static const TIdentMap idents = {
      {"clBlack", clBlack},
      {"clMaroon", clMaroon},
      {"clGreen", clGreen},
      {"clNavy", clNavy},
      {"clGray", clGray},
      {"clSilver", clSilver},
      {"clRed", clRed},
      {"clLime", clLime},
      {"clYellow", clYellow},
      {"clBlue", clBlue},
      {"clFuchsia", clFuchsia},
      {"clAqua", clAqua},
      {"clWhite", clWhite},
      {"clNone", clNone},
      {"clDefault", clDefault},
      {"clWindow", clWindow},
      {"clWindowText", clWindowText},
      {"clBtnFace", clBtnFace},
      {"clBtnShadow", clBtnShadow},
      {"clBtnHighlight", clBtnHighlight},
      {"clBtnText", clBtnText},
      {"cl3DDkShadow", cl3DDkShadow},
      {"cl3DLight", cl3DLight},
      {"clHighlight", clHighlight},
      {"clHighlightText", clHighlightText},
      {"clGrayText", clGrayText},
      {"clInfoBk", clInfoBk},
      {"clInfoText", clInfoText},
  };
  return idents;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
TRect ToTRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

const TClassInfo& TPen::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPen>("TPen", &TPersistent::StaticClassInfo())
                                     .Integer("Color", &TPen::Color, &TPen::SetColor, clBlack, &ColorIdents())
                                     .Enum("Style", &TPen::Style, &TPen::SetStyle, kPenStyleNames, 0)
                                     .Integer("Width", &TPen::Width, &TPen::SetWidth, 1)
                                     .Info();
  return info;
}

void TPen::Assign(const TPersistent* source) {
  if (auto* p = dynamic_cast<const TPen*>(source)) {
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    return Changed();
  }
  TPersistent::Assign(source);
}

void TPen::SetColor(TColor value) {
  color_ = value;
  Changed();
}

void TPen::SetWidth(int32_t value) {
  width_ = value;
  Changed();
}

void TPen::SetStyle(TPenStyle value) {
  style_ = value;
  Changed();
}

HPEN TPen::Handle() const {
  // The 9x family draws dashes and dots only with one-pixel pens.
  const bool styled = style_ != TPenStyle::psSolid && style_ != TPenStyle::psInsideFrame;
  if (!handle_) handle_.Reset(CreatePen(PenStyleToGdi(style_), styled ? 1 : width_, ColorToRGB(color_)));
  return static_cast<HPEN>(handle_.Get());
}

const TClassInfo& TBrush::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TBrush>("TBrush", &TPersistent::StaticClassInfo())
                                     .Integer("Color", &TBrush::Color, &TBrush::SetColor, clWhite, &ColorIdents())
                                     .Enum("Style", &TBrush::Style, &TBrush::SetStyle, kBrushStyleNames, 0)
                                     .Info();
  return info;
}

void TBrush::Assign(const TPersistent* source) {
  if (auto* b = dynamic_cast<const TBrush*>(source)) {
    color_ = b->color_;
    style_ = b->style_;
    handle_.Reset();
    return;
  }
  TPersistent::Assign(source);
}

void TBrush::SetColor(TColor value) {
  color_ = value;
  handle_.Reset();
}

void TBrush::SetStyle(TBrushStyle value) {
  style_ = value;
  handle_.Reset();
}

HBRUSH TBrush::Handle() const {
  if (style_ == TBrushStyle::bsClear) return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
  if (!handle_) handle_.Reset(CreateSolidBrush(ColorToRGB(color_)));
  return static_cast<HBRUSH>(handle_.Get());
}

class TCanvas::TDrawState {
public:
  explicit TDrawState(TCanvas& c)
      : dc_(c.Handle()),
        pen_(dc_, c.pen_.Handle()),
        brush_(dc_, c.brush_.Handle()),
        font_(dc_, c.font_.Handle()),
        textColor_(SetTextColor(dc_, c.font_.Color())),
        bkColor_(SetBkColor(dc_, ColorToRGB(c.brush_.Color()))),
        bkMode_(SetBkMode(dc_, c.brush_.Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE)) {}
  TDrawState(const TDrawState&) = delete;
  TDrawState& operator=(const TDrawState&) = delete;
  ~TDrawState() {
    SetBkMode(dc_, bkMode_);
    SetBkColor(dc_, bkColor_);
    SetTextColor(dc_, textColor_);
  }
  HDC Dc() const { return dc_; }

private:
  HDC dc_;
  TSelectObject pen_;
  TSelectObject brush_;
  TSelectObject font_;
  COLORREF textColor_;
  COLORREF bkColor_;
  int bkMode_;
};

TCanvas::TCanvas(HDC dc) : dc_(dc) {}

TCanvas::~TCanvas() = default;

HDC TCanvas::Handle() {
  if (!dc_) CreateHandle();
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  FreeHandle();
  dc_ = dc;
}

void TCanvas::CreateHandle() { AdoptHandle(TOwnedMemoryDC(CreateCompatibleDC(nullptr))); }

void TCanvas::FreeHandle() {
  dc_ = nullptr;
  own_.Reset();
}

void TCanvas::AdoptHandle(TOwnedMemoryDC dc) {
  if (!dc) throw EOutOfResources("Out of system resources");
  own_ = std::move(dc);
  dc_ = own_.Get();
}

TRect TCanvas::ClipRect() {
  RECT r{};
  GetClipBox(Handle(), &r);
  return ToTRect(r);
}

void TCanvas::FillRect(const TRect& rect) {
  if (brush_.Style() == TBrushStyle::bsClear) return;
  RECT r = ToRECT(rect);
  ::FillRect(Handle(), &r, brush_.Handle());
}

void TCanvas::FrameRect(const TRect& rect) {
  if (brush_.Style() == TBrushStyle::bsClear) return;
  RECT r = ToRECT(rect);
  ::FrameRect(Handle(), &r, brush_.Handle());
}

void TCanvas::Rectangle(const TRect& rect) {
  TDrawState state(*this);
  ::Rectangle(state.Dc(), rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TCanvas::MoveTo(int32_t x, int32_t y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int32_t x, int32_t y) {
  TDrawState state(*this);
  ::LineTo(state.Dc(), x, y);
}

void TCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  TDrawState state(*this);
  ::TextOutA(state.Dc(), x, y, text.c_str(), static_cast<int>(text.size()));
}

TColor TCanvas::Pixels(int32_t x, int32_t y) { return static_cast<TColor>(GetPixel(Handle(), x, y)); }

void TCanvas::SetPixels(int32_t x, int32_t y, TColor color) { SetPixel(Handle(), x, y, ColorToRGB(color)); }

void TCanvas::Draw(int32_t x, int32_t y, TGraphic& graphic) {
  if (!graphic.Empty()) graphic.Draw(*this, TRect{x, y, x + graphic.Width(), y + graphic.Height()});
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic) {
  if (!graphic.Empty()) graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(const TRect& destRect, TCanvas& source, const TRect& sourceRect) {
  HDC dc = Handle();
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, destRect.Left, destRect.Top, destRect.Right - destRect.Left, destRect.Bottom - destRect.Top,
             source.Handle(), sourceRect.Left, sourceRect.Top, sourceRect.Right - sourceRect.Left,
             sourceRect.Bottom - sourceRect.Top, copyMode_);
  SetStretchBltMode(dc, oldMode);
}

SIZE TCanvas::TextExtent(const std::string& text) {
  HDC dc = Handle();
  TSelectObject font(dc, font_.Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

int32_t TCanvas::DrawText(const std::string& text, RECT& rect, UINT format) {
  TDrawState state(*this);
  return ::DrawTextA(state.Dc(), text.c_str(), static_cast<int>(text.size()), &rect, format);
}

const TClassInfo& TGraphic::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TGraphic>("TGraphic", &TPersistent::StaticClassInfo()).Info();
  return info;
}

std::unique_ptr<TGraphic> CreateGraphic(const std::string& className) {
  const TClassInfo* info = GetClass(className);
  if (!info || !info->CreateObject || !info->InheritsFrom(TGraphic::StaticClassInfo()))
    throw EInvalidGraphic("Unknown picture format " + className);
  return std::unique_ptr<TGraphic>(static_cast<TGraphic*>(info->CreateObject()));
}

}  // namespace orv
