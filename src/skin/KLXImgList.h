#pragma once
// Image collections and strip image lists. A collection holds pictures as their graphic class
// writes them (items and stream format: skin/KLXImgStream.h); a strip list renders all its
// images once, side by side and top-aligned, into one bitmap (and one mask for its transparent
// colour), so that painting any part of any image is a single stretch copy.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Lists.h"
#include "gui/Pictures.h"
#include "skin/KLGraphics.h"
#include "skin/KLXImgStream.h"

namespace orv {

class TKLXImageCollection : public TOwnedCollection {
  ORV_CLASSINFO(TKLXImageCollection)
public:
  explicit TKLXImageCollection(TPersistent* owner);

  TKLXImageItem* Items(int Index) const;
  // Loads item Index into Picture, replacing its graphic by one of the item's class when it
  // is not of that class already. An index out of range, an empty item or any error leaves
  // nothing new in Picture (a graphic that failed to load stays empty).
  void GetPicture(int Index, TPicture& Picture);
  // The item as a bitmap: a copy of a bitmap item, any other graphic drawn on 24 bits.
  void GetBitmap(int Index, TBitmap& Bitmap);
  // Append an item holding the graphic (AddBitmap: as "TBitmap", also for a TKLBitmap);
  // False on any error, leaving an item appended before it.
  bool AddPicture(const TPicture& Picture);
  bool AddBitmap(TBitmap& Bitmap);
  // From another image collection: appends copies of its items after the present ones.
  void Assign(const TPersistent* source) override;
};

class TKLXImages : public TComponent {
  ORV_CLASSINFO(TKLXImages)
public:
  explicit TKLXImages(TComponent* owner);
  ~TKLXImages() override;

  const std::string& ListName() const { return header_.ListName; }
  void SetListName(const std::string& value) { header_.ListName = value; }
  TColor TransparentColor() const { return header_.TransparentColor; }
  virtual void SetTransparentColor(TColor Value);
  TPixelFormat PixelFormat() const { return static_cast<TPixelFormat>(header_.PixelFormat); }
  virtual void SetPixelFormat(TPixelFormat Value);
  TKLXImageCollection& Images() const { return *images_; }

  // Clears the items, then ReadFromStream.
  bool LoadFromStream(TStream& Stream);
  // The stream format from Stream's position; False when anything failed (the items read
  // until then stay). Reading stores TransparentColor and PixelFormat without the setters.
  virtual bool ReadFromStream(TStream& Stream);
  virtual bool WriteToStream(TStream& Stream);

private:
  TKLXImagesHeader header_;
  std::unique_ptr<TKLXImageCollection> images_;
};

class TKLXBmpImages : public TKLXImages {
  ORV_CLASSINFO(TKLXBmpImages)
public:
  explicit TKLXBmpImages(TComponent* owner);
  ~TKLXBmpImages() override;

  TKLBitmap& StripBitmap() const { return *strip_; }
  // Monochrome, white where the strip has TransparentColor; empty without one.
  TKLBitmap& MaskBitmap() const { return *mask_; }
  // Images rendered by the last Rebuild; sizes and places of others are 0.
  int ImageCount() const { return static_cast<int>(rects_.size()); }
  int32_t ImageWidth(int Index) const;
  int32_t ImageHeight(int Index) const;
  TRect ImageRects(int Index) const;

  void Loaded() override;
  // Renders every item into the strip, left to right; an item that cannot be loaded takes no
  // room (width and height 0). Then builds the mask and the image rectangles.
  void Rebuild();
  // Frees the items; the strip, mask and rectangles stay drawable.
  void ReleaseImages();
  void SetTransparentColor(TColor Value) override;

  // SourceRect, relative to image Index's top-left corner, onto DestRect of Canvas, stretched
  // when the sizes differ. Not clipped to the image; errors and a bad index draw nothing.
  void CopyImage(TCanvas& Canvas, const TRect& DestRect, int Index, const TRect& SourceRect);
  // As CopyImage, but where the strip has TransparentColor the canvas stays as it was.
  void DrawImage(TCanvas& Canvas, const TRect& DestRect, int Index, const TRect& SourceRect);

private:
  void AppendToStrip(int index);

  std::unique_ptr<TKLBitmap> strip_;
  std::unique_ptr<TKLBitmap> mask_;
  std::vector<int32_t> widths_;
  std::vector<int32_t> heights_;
  std::vector<TRect> rects_;
};

// Strip lists by number; it owns them, and drops one that is freed elsewhere (by the window
// that also owns it).
class TKLXBmpImageList : public TComponentList {
public:
  TKLXBmpImageList() : TComponentList(true) {}
  TKLXBmpImages* Items(int Index) const { return static_cast<TKLXBmpImages*>(TComponentList::Items(Index)); }
  int Add(TKLXBmpImages* Item) { return TComponentList::Add(Item); }
  void Insert(int Index, TKLXBmpImages* Item) { TComponentList::Insert(Index, Item); }
};

// Unit start-up and end: the graphic classes that image items may name, and the image list
// components that definitions may hold.
void InitializeKLXImgList();
void FinalizeKLXImgList();

}  // namespace orv
