#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "base/Streams.h"

using namespace orv;

TEST(MemoryStream, ShortReadBufferRaisesStreamReadError) {
  TMemoryStream s;
  s.WriteBuffer("abc", 3);
  s.SetPosition(1);
  char buf[4];
  try {
    s.ReadBuffer(buf, 3);
    FAIL() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
}

TEST(MemoryStream, CopyFromZeroCopiesWholeSourceFromStart) {
  TMemoryStream src, dst;
  src.WriteBuffer("hello", 5);
  EXPECT_EQ(dst.CopyFrom(src, 0), 5);
  EXPECT_EQ(dst.ToString(), "hello");
  EXPECT_EQ(dst.Position(), 5);
}

TEST(MemoryStream, WritePastEndGrowsAndSetSizeClampsPosition) {
  TMemoryStream s;
  s.SetPosition(4);
  s.WriteBuffer("x", 1);
  EXPECT_EQ(s.Size(), 5);
  EXPECT_EQ(s.Memory()[0], 0);
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
}

TEST(MemoryStream, ANegativePositionReadsAndWritesNothing) {
  TMemoryStream s;
  s.WriteBuffer("abcdefgh", 8);
  s.SetPosition(-4);
  char buf[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_EQ(std::string(buf, 8), "xxxxxxxx");
  EXPECT_THROW(s.ReadBuffer(buf, 2), EReadError);
  EXPECT_EQ(s.Write("zz", 2), 0);
  EXPECT_EQ(s.ToString(), "abcdefgh");
  s.Seek(-9, SeekOrigin::End);
  EXPECT_EQ(s.Read(buf, 1), 0);
}

TEST(MemoryStream, FromStringReplacesTheContentsAndReadsBackFromTheStart) {
  const std::string bytes("a\0b\xFFz", 5);  // a NUL and a high byte are bytes like any other
  TMemoryStream s(bytes);
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.Size(), 5);
  char buf[5];
  s.ReadBuffer(buf, 5);
  EXPECT_EQ(std::string(buf, 5), bytes);

  // A longer stream, positioned at its end, keeps nothing of what it held.
  s.WriteBuffer("0123456789", 10);
  s.FromString("xy");
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.ToString(), "xy");
  s.FromString("");
  EXPECT_EQ(s.Size(), 0);
  EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
}
