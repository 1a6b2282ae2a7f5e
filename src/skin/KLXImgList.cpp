#include <windows.h>

#include "skin/KLXImgList.h"

#include <algorithm>
#include <array>

#include "sys/KLMessages.h"

namespace orv {

namespace {

// The list's pixel format for the strip; TBitmap has no pixels for pfCustom.
TPixelFormat StripFormat(TPixelFormat pf) { return pf == pfCustom ? pf24bit : pf; }

std::array<const TClassInfo*, 6> Registered() {
  return {&TIcon::StaticClassInfo(),     &TBitmap::StaticClassInfo(),    &TMetafile::StaticClassInfo(),
          &TKLBitmap::StaticClassInfo(), &TKLXImages::StaticClassInfo(), &TKLXBmpImages::StaticClassInfo()};
}

}  // namespace

const TClassInfo& TKLXImageCollection::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TKLXImageCollection>("TKLXImageCollection", &TOwnedCollection::StaticClassInfo()).Info();
  return info;
}

TKLXImageCollection::TKLXImageCollection(TPersistent* owner)
    : TOwnedCollection(owner, TKLXImageItem::StaticClassInfo()) {}

TKLXImageItem* TKLXImageCollection::Items(int Index) const {
  return static_cast<TKLXImageItem*>(TOwnedCollection::Items(Index));
}

void TKLXImageCollection::GetPicture(int Index, TPicture& Picture) {
  if (Index < 0 || Index >= Count()) return;
  TKLXImageItem* item = Items(Index);
  if (item->Image()->Size() == 0) return;
  try {
    item->Image()->SetPosition(0);
    if (const TClassInfo* info = GetClass(item->DataClass())) {
      const TGraphic* current = Picture.Graphic();
      if (!current || !current->ClassInfo().InheritsFrom(*info)) Picture.SetGraphic(CreateGraphic(info->Name));
    }
    if (TGraphic* graphic = Picture.Graphic()) graphic->LoadFromStream(*item->Image());
  } catch (const std::exception&) {
  }
}

void TKLXImageCollection::GetBitmap(int Index, TBitmap& Bitmap) {
  if (Index < 0 || Index >= Count()) return;
  try {
    TPicture picture;
    GetPicture(Index, picture);
    TGraphic* graphic = picture.Graphic();
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) return Bitmap.Assign(bitmap);
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(picture.Width(), picture.Height());
    if (graphic) Bitmap.Canvas().Draw(0, 0, *graphic);
  } catch (const std::exception&) {
  }
}

bool TKLXImageCollection::AddPicture(const TPicture& Picture) {
  try {
    TKLXImageItem* item = Items(Add()->Index());
    TGraphic* graphic = Picture.Graphic();
    if (!graphic) throw EKLError("The picture holds no graphic");
    item->SetDataClass(graphic->ClassName());
    graphic->SaveToStream(*item->Image());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TKLXImageCollection::AddBitmap(TBitmap& Bitmap) {
  try {
    TKLXImageItem* item = Items(Add()->Index());
    item->SetDataClass(TBitmap::StaticClassInfo().Name);
    Bitmap.SaveToStream(*item->Image());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void TKLXImageCollection::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TKLXImageCollection*>(source);
  if (!other) return TOwnedCollection::Assign(source);
  // Counted first: assigning a collection to itself doubles it once.
  const int count = other->Count();
  BeginUpdate();
  try {
    for (int i = 0; i < count; ++i) Add()->Assign(other->Items(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

const TClassInfo& TKLXImages::StaticClassInfo() {
  // PixelFormat declares no default: definitions always hold it.
  static const TClassInfo info =
      TClassBuilder<TKLXImages>("TKLXImages", &TComponent::StaticClassInfo())
          .String("ListName", &TKLXImages::ListName, &TKLXImages::SetListName)
          .Integer("TransparentColor", &TKLXImages::TransparentColor, &TKLXImages::SetTransparentColor, clNone,
                   &ColorIdents())
          .Enum("PixelFormat", &TKLXImages::PixelFormat, &TKLXImages::SetPixelFormat, PixelFormatNames())
          .Object("Images", &TKLXImages::Images)
          .Info();
  return info;
}

TKLXImages::TKLXImages(TComponent* owner) : TComponent(owner), images_(std::make_unique<TKLXImageCollection>(this)) {}

TKLXImages::~TKLXImages() { images_->Clear(); }

void TKLXImages::SetTransparentColor(TColor Value) { header_.TransparentColor = Value; }

void TKLXImages::SetPixelFormat(TPixelFormat Value) { header_.PixelFormat = Value; }

bool TKLXImages::LoadFromStream(TStream& Stream) {
  try {
    images_->Clear();
  } catch (const std::exception&) {
    return false;
  }
  return ReadFromStream(Stream);
}

bool TKLXImages::ReadFromStream(TStream& Stream) {
  try {
    ReadImagesStream(Stream, header_, *images_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TKLXImages::WriteToStream(TStream& Stream) {
  try {
    WriteImagesStream(Stream, header_, *images_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

const TClassInfo& TKLXBmpImages::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TKLXBmpImages>("TKLXBmpImages", &TKLXImages::StaticClassInfo()).Info();
  return info;
}

TKLXBmpImages::TKLXBmpImages(TComponent* owner)
    : TKLXImages(owner), strip_(std::make_unique<TKLBitmap>()), mask_(std::make_unique<TKLBitmap>()) {}

TKLXBmpImages::~TKLXBmpImages() = default;

int32_t TKLXBmpImages::ImageWidth(int Index) const { return Index >= 0 && Index < ImageCount() ? widths_[Index] : 0; }

int32_t TKLXBmpImages::ImageHeight(int Index) const { return Index >= 0 && Index < ImageCount() ? heights_[Index] : 0; }

TRect TKLXBmpImages::ImageRects(int Index) const {
  return Index >= 0 && Index < ImageCount() ? rects_[Index] : TRect{};
}

void TKLXBmpImages::Loaded() {
  TKLXImages::Loaded();
  Rebuild();
}

void TKLXBmpImages::Rebuild() {
  const int count = Images().Count();
  rects_.clear();
  widths_.assign(count, 0);
  heights_.assign(count, 0);
  try {
    strip_->SetSize(0, 0);
    strip_->SetPixelFormat(StripFormat(PixelFormat()));
  } catch (const std::exception&) {
    return;
  }
  for (int i = 0; i < count; ++i) AppendToStrip(i);
  if (TransparentColor() != clNone) SetTransparentColor(TransparentColor());
  int32_t x = 0;
  for (int i = 0; i < count; ++i) {
    rects_.push_back(TRect{x, 0, x + widths_[i], heights_[i]});
    x += widths_[i];
  }
}

void TKLXBmpImages::AppendToStrip(int index) {
  try {
    TPicture picture;
    Images().GetPicture(index, picture);
    TGraphic* graphic = picture.Graphic();
    if (!graphic || graphic->Empty()) return;
    const int32_t x = strip_->Width();
    strip_->SetSize(x + graphic->Width(), std::max(strip_->Height(), graphic->Height()));
    // Recorded once the strip has room, so that the places stay right even if drawing fails.
    widths_[index] = graphic->Width();
    heights_[index] = graphic->Height();
    strip_->Canvas().Draw(x, 0, *graphic);
  } catch (const std::exception&) {
  }
}

void TKLXBmpImages::ReleaseImages() { Images().Clear(); }

void TKLXBmpImages::SetTransparentColor(TColor Value) {
  TKLXImages::SetTransparentColor(Value);
  try {
    if (Value == clNone) return mask_->SetSize(0, 0);
    mask_->Assign(strip_.get());
    mask_->Mask(Value);
  } catch (const std::exception&) {
    mask_->Assign(nullptr);
  }
}

void TKLXBmpImages::CopyImage(TCanvas& Canvas, const TRect& DestRect, int Index, const TRect& SourceRect) {
  try {
    const TRect source = RectOffset(SourceRect, rects_.at(Index).Left, 0);
    Canvas.CopyRect(DestRect, strip_->Canvas(), source);
  } catch (const std::exception&) {
  }
}

void TKLXBmpImages::DrawImage(TCanvas& Canvas, const TRect& DestRect, int Index, const TRect& SourceRect) {
  if (TransparentColor() == clNone) return CopyImage(Canvas, DestRect, Index, SourceRect);
  try {
    const TRect source = RectOffset(SourceRect, rects_.at(Index).Left, 0);
    TransparentStretchBlt(Canvas.Handle(), DestRect.Left, DestRect.Top, RectWidth(DestRect), RectHeight(DestRect),
                          strip_->Canvas().Handle(), source.Left, source.Top, RectWidth(source), RectHeight(source),
                          mask_->Canvas().Handle(), source.Left, source.Top);
  } catch (const std::exception&) {
  }
}

void InitializeKLXImgList() {
  for (const TClassInfo* c : Registered()) RegisterClass(*c);
}

void FinalizeKLXImgList() {
  for (const TClassInfo* c : Registered()) UnRegisterClass(*c);
}

}  // namespace orv
