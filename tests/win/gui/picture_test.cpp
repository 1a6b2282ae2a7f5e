#include <gtest/gtest.h>

#include "base/Component.h"
#include "base/Filer.h"
#include "gui/Pictures.h"
#include "test_files.h"

using namespace orv;

namespace {

// A component that publishes a picture, as an image control does.
class TPictureHolder : public TComponent {
  ORV_CLASSINFO(TPictureHolder)

public:
  using TComponent::TComponent;
  TPicture& Picture() { return picture_; }

private:
  TPicture picture_;
};

}  // namespace

const TClassInfo& TPictureHolder::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPictureHolder>("TPictureHolder", &TComponent::StaticClassInfo())
                                     .Object("Picture", &TPictureHolder::Picture)
                                     .Info();
  return info;
}

namespace {

class Picture : public ::testing::Test {
protected:
  void SetUp() override {
    for (const TClassInfo* c : kClasses) RegisterClass(*c);
  }
  void TearDown() override {
    for (const TClassInfo* c : kClasses) UnRegisterClass(*c);
  }
  const TClassInfo* const kClasses[5] = {&TBitmap::StaticClassInfo(), &TIcon::StaticClassInfo(),
                                         &TMetafile::StaticClassInfo(), &TPictureHolder::StaticClassInfo(),
                                         &TPicture::StaticClassInfo()};
};

using testsupport::Load;
std::string Save(TGraphic& g) { return testsupport::Saved(g); }

void Append32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
}
void Append16(std::string& s, uint16_t v) {
  s += static_cast<char>(v);
  s += static_cast<char>(v >> 8);
}

// A 16 x 16 icon of 32-bit pixels without alpha: red, with its top left quarter transparent
// (mask set, colour black).
std::string RedIcon() {
  std::string image;
  Append32(image, 40);
  Append32(image, 16);
  Append32(image, 32);
  Append16(image, 1);
  Append16(image, 32);
  image.append(24, '\0');
  for (int row = 0; row < 16; ++row)  // bottom-up
    for (int x = 0; x < 16; ++x) Append32(image, row >= 8 && x < 8 ? 0 : 0x00FF0000);
  for (int row = 0; row < 16; ++row) Append32(image, row >= 8 ? 0x000000FF : 0);
  std::string ico;
  Append16(ico, 0);
  Append16(ico, 1);
  Append16(ico, 1);
  ico += std::string{16, 16, 0, 0};
  Append16(ico, 1);
  Append16(ico, 32);
  Append32(ico, static_cast<uint32_t>(image.size()));
  Append32(ico, 22);
  return ico + image;
}

std::string BlueSquareMetafile() {
  RECT frame{0, 0, 2540, 2540};  // one inch
  HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  RECT all{0, 0, 100, 100};
  FillRect(dc, &all, blue);
  DeleteObject(blue);
  HENHMETAFILE emf = CloseEnhMetaFile(dc);
  std::string bytes(GetEnhMetaFileBits(emf, 0, nullptr), '\0');
  GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data()));
  DeleteEnhMetaFile(emf);
  return bytes;
}

}  // namespace

TEST_F(Picture, GraphicsAreCreatedByRegisteredClassName) {
  EXPECT_EQ(CreateGraphic("TBitmap")->ClassName(), "TBitmap");
  EXPECT_EQ(CreateGraphic("ticon")->ClassName(), "TIcon");
  EXPECT_THROW(CreateGraphic("TJPEGImage"), EInvalidGraphic);
  EXPECT_THROW(CreateGraphic("TPicture"), EInvalidGraphic) << "registered, but not a graphic";
}

TEST_F(Picture, HoldsOneGraphicAndCopiesOnAssign) {
  TPicture p;
  int changes = 0;
  p.OnChange = [&](TPicture*) { ++changes; };
  p.Bitmap().SetSize(3, 2);
  EXPECT_EQ(p.Width(), 3);
  EXPECT_GE(changes, 2) << "a change inside the graphic tells the picture";

  TPicture q;
  q.Assign(&p);
  p.Bitmap().SetWidth(7);
  ASSERT_NE(dynamic_cast<TBitmap*>(q.Graphic()), nullptr);
  EXPECT_EQ(q.Width(), 3);

  TBitmap into;
  into.Assign(&q);
  EXPECT_EQ(into.Width(), 3);

  q.Icon();
  EXPECT_NE(dynamic_cast<TIcon*>(q.Graphic()), nullptr);
  EXPECT_TRUE(q.Graphic()->Empty());
  q.Assign(nullptr);
  EXPECT_EQ(q.Graphic(), nullptr);
  EXPECT_THROW(into.Assign(&q.Icon()), EConvertError);
}

TEST_F(Picture, BitmapTravelsThroughAWindowDefinitionAsPictureData) {
  TPictureHolder holder(nullptr);
  holder.SetName("Image1");
  TBitmap& b = holder.Picture().Bitmap();
  b.SetPixelFormat(pf4bit);
  b.SetSize(5, 3);
  b.Canvas().SetPixels(4, 2, clRed);

  TMemoryStream def;
  WriteRootComponent(def, &holder);
  const std::string bytes = def.ToString();
  const std::string expected = std::string("\x0CPicture.Data") + char(vaBinary);
  const size_t at = bytes.find(expected);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(bytes.substr(at + expected.size() + 4, 10), std::string("\x07TBitmapBM"));

  def.SetPosition(0);
  std::unique_ptr<TComponent> read(ReadComponent(def, nullptr));
  auto& copy = static_cast<TPictureHolder&>(*read).Picture().Bitmap();
  EXPECT_EQ(copy.PixelFormat(), pf4bit);
  EXPECT_EQ(copy.Width(), 5);
  EXPECT_EQ(copy.Canvas().Pixels(4, 2), clRed);

  // An empty picture is not stored.
  holder.Picture().Assign(nullptr);
  TMemoryStream none;
  WriteRootComponent(none, &holder);
  EXPECT_EQ(none.ToString().find("Picture.Data"), std::string::npos);
}

TEST_F(Picture, IconLoadsDrawsAndSavesItsFile) {
  TIcon icon;
  Load(icon, RedIcon());
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(icon.Height(), 16);
  EXPECT_EQ(Save(icon), RedIcon());
  EXPECT_THROW(icon.SetWidth(32), EInvalidGraphicOperation);

  TBitmap b;
  b.SetSize(16, 16);
  b.Canvas().Brush().SetColor(clLime);
  b.Canvas().FillRect({0, 0, 16, 16});
  b.Canvas().Draw(0, 0, icon);
  EXPECT_EQ(b.Canvas().Pixels(2, 2), clLime) << "transparent part";
  EXPECT_EQ(b.Canvas().Pixels(12, 12), clRed);
}

TEST_F(Picture, DamagedIconsRaise) {
  const std::string valid = RedIcon();
  for (size_t len = 1; len < valid.size(); ++len) {
    TIcon icon;
    EXPECT_THROW(Load(icon, valid.substr(0, len)), EInvalidGraphic) << len;
  }
  const struct {
    size_t At;
    char Value;
  } damages[] = {{2, 2}, {4, 0}, {4, 9}, {14, 127}, {18, 1}, {22, 39}, {29, 1}, {30, 0}, {34, 7}, {38, 1}};
  for (auto d : damages) {
    std::string bytes = valid;
    bytes[d.At] = d.Value;
    TIcon icon;
    EXPECT_THROW(Load(icon, bytes), EInvalidGraphic) << d.At;
  }
}

TEST_F(Picture, MetafileLoadsDrawsStretchedAndSaves) {
  const std::string emf = BlueSquareMetafile();
  TMetafile m;
  Load(m, emf);
  EXPECT_NEAR(m.Width(), 96, 1);
  EXPECT_EQ(Save(m).size(), emf.size());

  TMetafile copy;
  copy.Assign(&m);
  TBitmap b;
  b.SetSize(20, 20);
  b.Canvas().StretchDraw({0, 0, 10, 10}, copy);
  EXPECT_EQ(b.Canvas().Pixels(5, 5), clBlue);
  EXPECT_EQ(b.Canvas().Pixels(15, 15), clBlack);

  std::string bad = emf;
  bad[40] = 'X';  // signature
  EXPECT_THROW(Load(m, bad), EInvalidGraphic);
  EXPECT_THROW(Load(m, emf.substr(0, emf.size() - 1)), EInvalidGraphic);
  EXPECT_THROW(Load(m, emf.substr(0, 50)), EInvalidGraphic);
}
