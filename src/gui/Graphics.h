#pragma once
// Colours, fonts, pens and brushes, the canvas over a device context, and the graphic base
// class. Each drawing object builds its GDI object on demand and owns it; a canvas selects its
// pen, brush and font for one call and puts the device context's own ones back before returning,
// so that a borrowed device context never keeps an object of ours.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/BmpFile.h"
#include "base/Component.h"
#include "base/Streams.h"
#include "base/Types.h"
#include "win/Handles.h"

// <windows.h> maps RegisterClass to RegisterClassA; graphic classes use the class registry's.
#ifdef RegisterClass
#undef RegisterClass
#endif

namespace orv {

// A colour: 0x00BBGGRR, or a system colour as 0x80000000 plus its COLOR_ index, or clNone.
using TColor = int32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);

// A system colour resolved to its present value; clNone and clDefault give black.
COLORREF ColorToRGB(TColor color);
// The names a window definition may use for colours ("clBtnFace").
const TIdentMap& ColorIdents();

RECT ToRECT(const TRect& r);
TRect ToTRect(const RECT& r);

class TCanvas;

// A graphic cannot do what was asked (for example an icon asked to change its size).
class EInvalidGraphicOperation : public Exception {
  using Exception::Exception;
};
// The system refused a GDI object (too large, or out of resources).
class EOutOfResources : public Exception {
  using Exception::Exception;
};

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TFont : public TPersistent {
  ORV_CLASSINFO(TFont)

public:
  TFont();
  void Assign(const TPersistent* source) override;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& value);
  // Negative: character height in pixels; positive: cell height.
  int32_t Height() const { return height_; }
  void SetHeight(int32_t value);
  // Points at the screen's pixels per inch.
  int32_t Size() const;
  void SetSize(int32_t points);
  uint8_t Style() const { return style_; }
  void SetStyle(uint8_t value);
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t value);
  COLORREF Color() const { return color_; }
  void SetColor(COLORREF value);

  void SetLogFont(const LOGFONTA& lf);
  HFONT Handle() const;

  std::function<void(TFont*)> OnChange;

private:
  void Changed();

  std::string name_;
  int32_t height_;
  uint8_t style_ = 0;
  uint8_t charset_ = DEFAULT_CHARSET;
  COLORREF color_ = 0;
  mutable TOwnedGdiObject handle_;
};

enum class TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TBrushStyle : uint8_t { bsSolid, bsClear };

class TPen : public TPersistent {
  ORV_CLASSINFO(TPen)

public:
  void Assign(const TPersistent* source) override;
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int32_t Width() const { return width_; }
  void SetWidth(int32_t value);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle value);
  // Borrowed: the pen keeps it until a property changes.
  HPEN Handle() const;

private:
  void Changed() { handle_.Reset(); }

  TColor color_ = clBlack;
  int32_t width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
  mutable TOwnedGdiObject handle_;
};

class TBrush : public TPersistent {
  ORV_CLASSINFO(TBrush)

public:
  void Assign(const TPersistent* source) override;
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);
  // Borrowed; a clear brush is the stock hollow brush.
  HBRUSH Handle() const;

private:
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  mutable TOwnedGdiObject handle_;
};

class TGraphic;

class TCanvas {
public:
  // Dc is borrowed. Without one the canvas makes its own when first asked for a handle (by
  // default a memory DC like the screen, fit for measuring text).
  explicit TCanvas(HDC dc = nullptr);
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle();
  // Attaches a borrowed DC (the canvas's own one, if any, is freed); nullptr detaches.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont& Font() { return font_; }
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  // The raster operation of CopyRect and of drawing bitmaps (SRCCOPY by default).
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD rop) { copyMode_ = rop; }
  // The part of the DC that drawing can reach, in logical units.
  TRect ClipRect();

  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void Rectangle(const TRect& rect);
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  void TextOut(int32_t x, int32_t y, const std::string& text);
  TColor Pixels(int32_t x, int32_t y);
  void SetPixels(int32_t x, int32_t y, TColor color);
  void Draw(int32_t x, int32_t y, TGraphic& graphic);
  void StretchDraw(const TRect& rect, TGraphic& graphic);
  // Copies Source's SourceRect onto DestRect with CopyMode, stretching when the sizes differ.
  void CopyRect(const TRect& destRect, TCanvas& source, const TRect& sourceRect);

  SIZE TextExtent(const std::string& text);
  int32_t TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int32_t TextHeight(const std::string& text) { return TextExtent(text).cy; }
  // DrawTextA with the canvas's font, font colour and brush (a clear brush leaves the background
  // as it is); with DT_CALCRECT it only measures into Rect.
  int32_t DrawText(const std::string& text, RECT& rect, UINT format);

protected:
  virtual void CreateHandle();
  // Drops the handle; the next Handle() makes a new one.
  virtual void FreeHandle();
  void AdoptHandle(TOwnedMemoryDC dc);

private:
  // Selects the pen, brush and font, the text colour and background mode, for one call.
  class TDrawState;

  TOwnedMemoryDC own_;
  HDC dc_ = nullptr;
  DWORD copyMode_ = SRCCOPY;
  TFont font_;
  TPen pen_;
  TBrush brush_;
};

// A picture of some kind that can load and save itself and draw on a canvas.
class TGraphic : public TPersistent {
  ORV_CLASSINFO(TGraphic)

public:
  virtual bool Empty() const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual void SetWidth(int32_t value) = 0;
  virtual void SetHeight(int32_t value) = 0;
  // Reads from the stream's position to its end (an empty rest gives an empty graphic);
  // damaged data raises EInvalidGraphic.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  // Draws the whole graphic stretched to Rect.
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

  std::function<void(TGraphic*)> OnChange;

protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }
};

// A new graphic of the registered class Name; raises EInvalidGraphic when no graphic class of
// that name is registered.
std::unique_ptr<TGraphic> CreateGraphic(const std::string& className);

}  // namespace orv
