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

