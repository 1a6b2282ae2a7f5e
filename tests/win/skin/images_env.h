#pragma once
// Shared helpers of the image tests: the units' start-up around each test, and bitmaps by pixel.
#include <gtest/gtest.h>

#include <memory>

#include "skin/KLJpeg.h"
#include "skin/KLXImgList.h"

namespace orv::test {

class ImagesTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeKLXImgList();
    InitializeKLJpeg();
  }
  void TearDown() override {
    FinalizeKLJpeg();
    FinalizeKLXImgList();
  }
};

inline void Fill(TBitmap& b, const TRect& r, TColor color) {
  b.Canvas().Brush().SetColor(color);
  b.Canvas().FillRect(r);
}

inline std::unique_ptr<TKLBitmap> Solid(int32_t w, int32_t h, TColor color, TPixelFormat pf = pf24bit) {
  auto b = std::make_unique<TKLBitmap>();
  b->SetPixelFormat(pf);
  b->SetSize(w, h);
  Fill(*b, TRect{0, 0, w, h}, color);
  return b;
}

inline TColor Pixel(TBitmap& b, int32_t x, int32_t y) { return b.Canvas().Pixels(x, y); }

inline int ChannelDistance(TColor a, TColor b) {
  int worst = 0;
  for (int shift : {0, 8, 16}) worst = std::max(worst, std::abs(((a >> shift) & 255) - ((b >> shift) & 255)));
  return worst;
}

}  // namespace orv::test
