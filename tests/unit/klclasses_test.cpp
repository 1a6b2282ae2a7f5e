// Stored data streams through the real definition reader and writer, and the block utilities.
#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>

#include "base/Exceptions.h"
#include "base/Filer.h"
#include "base/TextForm.h"
#include "skin/KLClasses.h"

using namespace orv;

namespace {

class StoredStreamTest : public ::testing::Test {
protected:
  void SetUp() override { RegisterClass(TKLStoredStream::StaticClassInfo()); }
  void TearDown() override { UnRegisterClass(TKLStoredStream::StaticClassInfo()); }

  static std::string Save(TKLStoredStream& s) {
    TMemoryStream out;
    WriteRootComponent(out, &s);
    return out.ToString();
  }
  static std::unique_ptr<TKLStoredStream> Load(const std::string& bytes) {
    auto s = std::make_unique<TKLStoredStream>(nullptr);
    TMemoryStream in(bytes);
    ReadRootComponent(in, s.get());
    return s;
  }
  static std::string FromText(const std::string& text) {
    TMemoryStream out;
    ObjectTextToBinary(text, out);
    return out.ToString();
  }
  static std::string Content(TKLStoredStream& s) { return s.BinStream()->ToString(); }
  // The value of the binary property Name in a written definition.
  static std::string BinaryValue(const std::string& def, const std::string& name) {
    std::string key = std::string(1, static_cast<char>(name.size())) + name + "\x0a";
    size_t at = def.find(key);
    if (at == std::string::npos) return "<absent>";
    at += key.size();
    uint32_t n = static_cast<uint8_t>(def[at]) | static_cast<uint8_t>(def[at + 1]) << 8 |
                 static_cast<uint8_t>(def[at + 2]) << 16 |
                 static_cast<uint32_t>(static_cast<uint8_t>(def[at + 3])) << 24;
    return def.substr(at + 4, n);
  }
  static std::string Sample() {
    std::string s;
    for (int i = 0; i < 70000; ++i) s += static_cast<char>((i * 7) % 251);
    return s;
  }
  static std::string Zip(const std::string& plain) {
    uLongf n = compressBound(plain.size());
    std::string out(n, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(plain.data()), plain.size());
    out.resize(n);
    return out;
  }
  static std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string h;
    for (unsigned char c : bytes) h += {digits[c >> 4], digits[c & 15]};
    return h;
  }
};

TEST_F(StoredStreamTest, EmptyStreamWritesOnlyCompressedAndReadsBackEmpty) {
  for (bool compressed : {false, true}) {
    TKLStoredStream s(nullptr);
    s.SetName("lgStream");
    s.SetCompressed(compressed);
    s.SetDesignInfo(0x00200010);
    const std::string def = Save(s);
    EXPECT_EQ(def, FromText(std::string("object lgStream: TKLStoredStream Compressed = ") +
                            (compressed ? "True" : "False") + " Left = 16 Top = 32 end"));
    auto back = Load(def);
    EXPECT_EQ(back->BinStream()->Size(), 0);
    EXPECT_EQ(back->Compressed(), compressed);
    EXPECT_EQ(back->DesignInfo(), 0x00200010);
  }
}

TEST_F(StoredStreamTest, PlainContentIsWrittenAsDataByteForByte) {
  TKLStoredStream s(nullptr);
  const std::string content = Sample();
  s.BinStream()->FromString(content);
  const std::string def = Save(s);
  EXPECT_EQ(BinaryValue(def, "Data"), content);
  EXPECT_EQ(BinaryValue(def, "CData"), "<absent>");
  auto back = Load(def);
  EXPECT_EQ(Content(*back), content);
  EXPECT_EQ(back->BinStream()->Position(), back->BinStream()->Size());
}

TEST_F(StoredStreamTest, CompressedContentIsOneZlibStreamAtTheDefaultLevel) {
  TKLStoredStream s(nullptr);
  s.SetCompressed(true);
  const std::string content = Sample();
  s.BinStream()->FromString(content);
  const std::string def = Save(s);
  const std::string cdata = BinaryValue(def, "CData");
  EXPECT_EQ(BinaryValue(def, "Data"), "<absent>");
  ASSERT_GE(cdata.size(), 2u);
  EXPECT_EQ(static_cast<uint8_t>(cdata[0]), 0x78);
  EXPECT_EQ(static_cast<uint8_t>(cdata[1]), 0x9C);
  EXPECT_LT(cdata.size(), content.size());
  std::string plain(content.size(), '\0');
  uLongf n = plain.size();
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(plain.data()), &n, reinterpret_cast<const Bytef*>(cdata.data()),
                       cdata.size()),
            Z_OK);
  EXPECT_EQ(plain, content);
  EXPECT_EQ(Content(*Load(def)), content);
}

TEST_F(StoredStreamTest, ThePropertyNameAloneDecidesWhetherToDecompress) {
  const std::string content = "language text\r\n[Words]\r\n";
  auto s = Load(FromText("object S: TKLStoredStream Compressed = False CData = {" + Hex(Zip(content)) + "} end"));
  EXPECT_FALSE(s->Compressed());
  EXPECT_EQ(Content(*s), content);
  // "Data" that happens to be a zlib stream stays as it is.
  auto raw = Load(FromText("object S: TKLStoredStream Compressed = True Data = {" + Hex(Zip(content)) + "} end"));
  EXPECT_EQ(Content(*raw), Zip(content));
}

TEST_F(StoredStreamTest, DamagedCompressedDataKeepsTheDecodablePrefixSilently) {
  const std::string content = Sample();
  const std::string zipped = Zip(content);
  auto cut = Load(FromText("object S: TKLStoredStream Compressed = True CData = {" +
                           Hex(zipped.substr(0, zipped.size() / 2)) + "} end"));
  const std::string got = Content(*cut);
  EXPECT_GT(got.size(), 0u);
  EXPECT_LT(got.size(), content.size());
  EXPECT_EQ(got, content.substr(0, got.size()));

  std::string corrupt = zipped;
  for (size_t i = zipped.size() / 2; i < zipped.size(); ++i) corrupt[i] = '\xAA';
  auto bad = Load(FromText("object S: TKLStoredStream Compressed = True CData = {" + Hex(corrupt) + "} end"));
  EXPECT_EQ(Content(*bad).substr(0, got.size()), got);

  auto garbage = Load(FromText("object S: TKLStoredStream Compressed = True CData = {0102030405} end"));
  EXPECT_EQ(garbage->BinStream()->Size(), 0);
}

TEST_F(StoredStreamTest, DamagedTellsTruncatedCorruptAndOversizedContent) {
  const std::string content = Sample();
  const std::string zipped = Zip(content);
  auto whole = Load(FromText("object S: TKLStoredStream Compressed = True CData = {" + Hex(zipped) + "} end"));
  EXPECT_FALSE(whole->Damaged());
  EXPECT_EQ(Content(*whole), content);
  auto cut = Load(FromText("object S: TKLStoredStream Compressed = True CData = {" +
                           Hex(zipped.substr(0, zipped.size() - 4)) + "} end"));
  EXPECT_TRUE(cut->Damaged());
  auto garbage = Load(FromText("object S: TKLStoredStream Compressed = True CData = {0102030405} end"));
  EXPECT_TRUE(garbage->Damaged());
  auto plain = Load(FromText("object S: TKLStoredStream Compressed = False Data = {0102} end"));
  EXPECT_FALSE(plain->Damaged());

  // A small value that inflates past the bound stops there, as damaged, and raises nothing.
  const std::string bomb = Zip(std::string(StoredStreamMaxSize + (1 << 20), '\0'));
  ASSERT_LT(bomb.size(), 200000u);
  std::unique_ptr<TKLStoredStream> big;
  ASSERT_NO_THROW(big = Load(FromText("object S: TKLStoredStream Compressed = True CData = {" + Hex(bomb) + "} end")));
  EXPECT_TRUE(big->Damaged());
  EXPECT_LE(big->BinStream()->Size(), StoredStreamMaxSize);
  EXPECT_GT(big->BinStream()->Size(), StoredStreamMaxSize - 16384);
}

TEST(StreamBlocks, StringBlocksRoundTripAndEmptyIsEightZeroBytes) {
  TMemoryStream m;
  WriteStringToStream(m, "");
  WriteStringToStream(m, std::string("a\0b", 3));
  EXPECT_EQ(m.ToString(), std::string(8, '\0') + std::string("\x03\0\0\0\0\0\0\0a\0b", 11));
  m.SetPosition(0);
  std::string s = "old";
  ReadStringFromStream(m, s);
  EXPECT_EQ(s, "");
  ReadStringFromStream(m, s);
  EXPECT_EQ(s, std::string("a\0b", 3));
}

TEST(StreamBlocks, NonPositiveCountGivesEmptyAndConsumesOnlyTheCount) {
  TMemoryStream m;
  const int64_t counts[] = {0, -5};
  for (int64_t c : counts) m.WriteBuffer(&c, 8);
  m.WriteBuffer("tail", 4);
  m.SetPosition(0);
  std::string s = "x";
  ReadStringFromStream(m, s);
  EXPECT_EQ(s, "");
  EXPECT_EQ(m.Position(), 8);
  ReadStringFromStream(m, s);
  EXPECT_EQ(m.Position(), 16);
  TMemoryStream dest;
  m.SetPosition(8);
  ReadStreamFromStream(m, dest);
  EXPECT_EQ(dest.Size(), 0);
  EXPECT_EQ(m.Position(), 16);
}

TEST(StreamBlocks, CountBeyondTheEndRaisesReadErrorWithoutReading) {
  TMemoryStream m;
  const int64_t counts[] = {5, INT64_MAX};
  for (int64_t c : counts) {
    m.Clear();
    m.WriteBuffer(&c, 8);
    m.WriteBuffer("abcd", 4);
    m.SetPosition(0);
    std::string s = "keep";
    try {
      ReadStringFromStream(m, s);
      FAIL() << "no error for count " << c;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
    TMemoryStream dest;
    dest.WriteBuffer("old", 3);
    m.SetPosition(0);
    EXPECT_THROW(ReadStreamFromStream(m, dest), EReadError);
    EXPECT_EQ(dest.Size(), 0);
    EXPECT_EQ(m.Position(), 8);
  }
  TMemoryStream shortCount;
  shortCount.WriteBuffer("\x01\x02", 2);
  shortCount.SetPosition(0);
  std::string s;
  EXPECT_THROW(ReadStringFromStream(shortCount, s), EReadError);
}

TEST(StreamBlocks, StreamBlocksCopyTheWholeSourceWhateverItsPosition) {
  TMemoryStream source, m, dest;
  source.WriteBuffer("payload", 7);
  WriteStreamToStream(m, source);
  WriteStringToStream(m, "next");
  m.SetPosition(0);
  ReadStreamFromStream(m, dest);
  EXPECT_EQ(dest.ToString(), "payload");
  EXPECT_EQ(dest.Position(), 7);
  std::string s;
  ReadStringFromStream(m, s);
  EXPECT_EQ(s, "next");
}

// A component read from a skin text, inside a form-like owner that publishes a handler.
class TSkinTarget : public TComponent {
  ORV_CLASSINFO(TSkinTarget)
public:
  using TComponent::TComponent;
  int32_t Size = 0;
  std::string Label;
  TNotifyEvent OnPick;
  void SelfHandler(TObject*) {}
};

class TSkinOwner : public TComponent {
  ORV_CLASSINFO(TSkinOwner)
public:
  using TComponent::TComponent;
  int picks = 0;
  void OwnerPick(TObject*) { ++picks; }
};

const TClassInfo& TSkinTarget::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TSkinTarget>("TSkinTarget", &TComponent::StaticClassInfo())
                                     .Integer("Size", &TSkinTarget::Size, &TSkinTarget::Size)
                                     .String("Label", &TSkinTarget::Label, &TSkinTarget::Label)
                                     .Event("OnPick", &TSkinTarget::OnPick)
                                     .Method("SelfHandler", &TSkinTarget::SelfHandler)
                                     .Info();
  return info;
}

const TClassInfo& TSkinOwner::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TSkinOwner>("TSkinOwner", &TComponent::StaticClassInfo())
                                     .Method("OwnerPick", &TSkinOwner::OwnerPick)
                                     .Info();
  return info;
}

TEST(ReadComponentFromText, SkipsWhatCannotBeReadAndBindsHandlersOfTheOwner) {
  TSkinOwner owner(nullptr);
  auto* target = new TSkinTarget(&owner);
  target->SetName("Target");
  ReadComponentFromText(
      "object Other: TSkinTarget\n"
      "  Size = 'not a number'\n"
      "  Missing = 5\n"
      "  OnPick = OwnerPick\n"
      "  Label = 'kept'\n"
      "end\n",
      target);
  EXPECT_EQ(target->Name(), "Target") << "the header does not rename the component";
  EXPECT_EQ(target->Size, 0);
  EXPECT_EQ(target->Label, "kept");
  ASSERT_TRUE(target->OnPick);
  target->OnPick(target);
  EXPECT_EQ(owner.picks, 1);

  ReadComponentFromText("object Target: TSkinTarget\n  OnPick = SelfHandler\n  Size = 7\nend\n", target);
  EXPECT_EQ(target->OnPick.MethodName(), "OwnerPick") << "the component's own methods are not handlers";
  EXPECT_EQ(target->Size, 7);
}

TEST(ReadComponentFromText, ASyntaxErrorReachesTheCaller) {
  TSkinTarget target(nullptr);
  EXPECT_THROW(ReadComponentFromText("object Target: TSkinTarget\n  Size = \nend\n", &target), EParserError);
}

}  // namespace
