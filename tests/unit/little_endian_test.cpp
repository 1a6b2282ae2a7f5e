#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "base/LittleEndian.h"

using namespace orv;

TEST(LittleEndian, BytesGoLowFirstAndSignsComeBack) {
  uint8_t b[8] = {};
  PutLE<int32_t>(b, 0x12345678);
  EXPECT_EQ(b[0], 0x78);
  EXPECT_EQ(b[3], 0x12);
  EXPECT_EQ(GetLE<int32_t>(b), 0x12345678);
  PutLE<int16_t>(b, -2);
  EXPECT_EQ(b[0], 0xFE);
  EXPECT_EQ(b[1], 0xFF);
  EXPECT_EQ(GetLE<int16_t>(b), -2);
  EXPECT_EQ(GetLE<uint16_t>(b), 0xFFFE);
  PutLE<int64_t>(b, INT64_MIN + 5);
  EXPECT_EQ(b[7], 0x80);
  EXPECT_EQ(GetLE<int64_t>(b), INT64_MIN + 5);
  const uint8_t high[4] = {0, 0, 0, 0x80};
  EXPECT_EQ(GetLE<uint32_t>(high), 0x80000000u);
  EXPECT_EQ(GetLE<int32_t>(high), INT32_MIN);
}

TEST(LittleEndian, StreamsMoveExactlyTheWidthAndAShortStreamRaises) {
  TMemoryStream s;
  WriteLE<int64_t>(s, -1);
  WriteLE<uint16_t>(s, 0xABCD);
  ASSERT_EQ(s.Size(), 10);
  EXPECT_EQ(s.Memory()[8], 0xCD);
  s.SetPosition(0);
  EXPECT_EQ(ReadLE<int64_t>(s), -1);
  EXPECT_EQ(ReadLE<uint16_t>(s), 0xABCD);
  EXPECT_EQ(s.Position(), 10);
  s.SetPosition(7);
  EXPECT_THROW(ReadLE<int32_t>(s), EReadError);
}
