#include "host/records/byte_reader.h"

#include <gtest/gtest.h>

#include <array>

namespace host {
namespace {

constexpr std::array<std::uint8_t, 16> kGuidBytes{0x1E, 0xC6, 0xEA, 0xD2, 0x4C, 0xE9, 0x13, 0x43,
                                                  0xB6, 0xA1, 0x7A, 0x79, 0x32, 0x25, 0x32, 0x86};

TEST(ByteReader, ReadsLittleEndianIntegers) {
  constexpr std::array<std::uint8_t, 13> bytes{0x7F, 0x34, 0x12, 0xFE, 0xFF, 0x78,
                                               0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF};
  ByteReader reader(bytes, "test record");
  EXPECT_EQ(reader.U8("a"), 0x7F);
  EXPECT_EQ(reader.U16("b"), 0x1234);
  EXPECT_EQ(reader.I16("c"), -2);
  EXPECT_EQ(reader.U32("d"), 0x12345678u);
  EXPECT_EQ(reader.I32("e"), -1);
  EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ByteReader, ReadsGuidInMixedEndianLayout) {
  ByteReader reader(kGuidBytes, "test record");
  EXPECT_EQ(reader.ReadGuid("id").ToString(), "{D2EAC61E-E94C-4313-B6A1-7A7932253286}");
}

TEST(ByteReader, EveryReadPastTheEndNamesFieldAndOffset) {
  constexpr std::array<std::uint8_t, 3> bytes{1, 2, 3};
  struct Case {
    const char* name;
    void (*read)(ByteReader&);
  };
  const Case cases[] = {
      {"u16", [](ByteReader& r) { r.U16("field"); }},
      {"u32", [](ByteReader& r) { r.U32("field"); }},
      {"i32", [](ByteReader& r) { r.I32("field"); }},
      {"guid", [](ByteReader& r) { r.ReadGuid("field"); }},
      {"bytes", [](ByteReader& r) { r.Bytes(2, "field"); }},
      {"huge count", [](ByteReader& r) { r.Bytes(SIZE_MAX, "field"); }},
  };
  for (const Case& c : cases) {
    ByteReader reader(bytes, "test record");
    reader.Seek(2, "start");
    try {
      c.read(reader);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const RecordError& error) {
      EXPECT_STREQ(error.what(), "test record: field at offset 2: runs past the end of the record")
          << c.name;
    }
    EXPECT_EQ(reader.Offset(), 2u) << c.name << ": a failed read must not move";
  }
}

TEST(ByteReader, SeekChecksTheOffset) {
  constexpr std::array<std::uint8_t, 3> bytes{1, 2, 3};
  ByteReader reader(bytes, "test record");
  EXPECT_NO_THROW(reader.Seek(3, "end"));
  try {
    reader.Seek(4, "next record");
    FAIL() << "no error";
  } catch (const RecordError& error) {
    EXPECT_STREQ(error.what(), "test record: next record at offset 4: points outside the record");
  }
}

}  // namespace
}  // namespace host
