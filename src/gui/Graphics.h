#pragma once
// Fonts and the canvas: a font object builds its GDI font on demand; a canvas measures and
// draws text on a device context with its font selected.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "base/Component.h"
#include "gui/Handles.h"

namespace orv {

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

class TCanvas {
public:
  // Dc is borrowed; with none the canvas measures on a memory DC of its own, made like the screen.
  explicit TCanvas(HDC dc = nullptr);
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  TFont& Font() { return font_; }

  SIZE TextExtent(const std::string& text);
  int32_t TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int32_t TextHeight(const std::string& text) { return TextExtent(text).cy; }
  // DrawTextA with the canvas font; with DT_CALCRECT it only measures into Rect.
  int32_t DrawText(const std::string& text, RECT& rect, UINT format);

private:
  TOwnedMemoryDC own_;
  HDC dc_;
  TFont font_;
};

}  // namespace orv
