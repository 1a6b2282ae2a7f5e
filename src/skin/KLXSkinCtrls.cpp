#include "skin/KLXSkinCtrls.h"

#include <cstring>
#include <memory>

#include "base/Streams.h"
#include "gui/Bitmaps.h"
#include "gui/Pictures.h"

namespace orv {

TKLXBmpImages* ArrowImages = nullptr;

namespace {

// A bitmap resource (a DIB without its file header) as a bitmap; empty when it is missing.
std::unique_ptr<TBitmap> LoadResourceBitmap(const char* name) {
  auto bitmap = std::make_unique<TBitmap>();
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(module, name, reinterpret_cast<LPCSTR>(RT_BITMAP));
  HGLOBAL data = res ? LoadResource(module, res) : nullptr;
  const void* dib = data ? LockResource(data) : nullptr;
  const DWORD size = res ? SizeofResource(module, res) : 0;
  if (!dib || size < sizeof(BITMAPINFOHEADER)) return bitmap;
  const auto* info = static_cast<const BITMAPINFOHEADER*>(dib);
  DWORD colors = info->biClrUsed ? info->biClrUsed : (info->biBitCount <= 8 ? 1u << info->biBitCount : 0);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfSize = sizeof file + size;
  file.bfOffBits = static_cast<DWORD>(sizeof file + info->biSize + colors * sizeof(RGBQUAD));
  TMemoryStream stream;
  stream.WriteBuffer(&file, sizeof file);
  stream.WriteBuffer(dib, size);
  stream.SetPosition(0);
  bitmap->LoadFromStream(stream);
  return bitmap;
}

}  // namespace

const TClassInfo& TKLXSkinGraphicControl::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXSkinGraphicControl>("TKLXSkinGraphicControl", &TGraphicControl::StaticClassInfo())
          .Object("Skin", &TKLXSkinGraphicControl::Skin)
          .Info();
  return info;
}

TKLXSkinGraphicControl::TKLXSkinGraphicControl(TComponent* owner)
    : TGraphicControl(owner), skin_(new TKLXControlSkin(this)) {}

TKLXSkinGraphicControl::~TKLXSkinGraphicControl() { delete skin_; }

void TKLXSkinGraphicControl::Notification(TComponent* Component, TOperation Operation) {
  TGraphicControl::Notification(Component, Operation);
  if (HasState(csDestroying) || Operation != TOperation::opRemove) return;
  if (skin_ && Component == skin_->SkinData()) skin_->SetSkinData(GlobalSkinData);
}

void InitializeKLXSkinCtrls() {
  ArrowImages = new TKLXBmpImages(nullptr);
  ArrowImages->SetTransparentColor(static_cast<TColor>(0xFF00FF));
  for (const char* name : {"LARROW", "RARROW", "LRHOLD", "UARROW", "DARROW", "UDHOLD"}) {
    TPicture picture;
    picture.SetGraphic(LoadResourceBitmap(name));
    ArrowImages->Images().AddPicture(picture);
  }
}

void FinalizeKLXSkinCtrls() {
  delete ArrowImages;
  ArrowImages = nullptr;
}

}  // namespace orv
