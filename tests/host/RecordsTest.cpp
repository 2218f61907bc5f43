#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/Dbx32.h"

namespace kordane {
namespace {

template <std::size_t Size>
void PutBytes(detail::ByteRecord<Size>& record, std::size_t offset, const std::string& bytes) {
  std::memcpy(record.bytes + offset, bytes.data(), bytes.size());
}

TEST(RecordsTest, RefDesEndsAtTheFirstNul) {
  TDbxComponent component{};
  PutBytes(component, TDbxComponent::kRefDesOffset, std::string("R12\0XYZ", 7));
  EXPECT_EQ(component.RefDes(), "R12");
}

TEST(RecordsTest, EmptyRefDes) {
  TDbxComponent component{};
  PutBytes(component, TDbxComponent::kRefDesOffset - 1, "Q");  // the byte before is not text
  EXPECT_EQ(component.RefDes(), "");
}

TEST(RecordsTest, RefDesWithoutNulIsAllHundredBytes) {
  TDbxComponent component{};
  std::memset(component.bytes, 'x', sizeof component.bytes);  // no NUL before or after the field
  const std::string full = "U" + std::string(98, '7') + "Z";
  PutBytes(component, TDbxComponent::kRefDesOffset, full);
  EXPECT_EQ(component.RefDes(), full);
}

TEST(RecordsTest, SetRefDesKeepsToItsField) {
  TDbxComponent component{};
  component.bytes[TDbxComponent::kRefDesOffset + TDbxComponent::kRefDesSize] = 0x5A;
  component.SetRefDes(std::string(120, 'C'));
  EXPECT_EQ(component.RefDes(), std::string(100, 'C'));
  EXPECT_EQ(component.bytes[TDbxComponent::kRefDesOffset + TDbxComponent::kRefDesSize], 0x5A);

  component.SetRefDes("R1");  // clears the longer text it replaces
  EXPECT_EQ(component.RefDes(), "R1");
}

TEST(RecordsTest, ComponentFieldsAreLittleEndianAtTheirOffsets) {
  TDbxComponent component{};
  PutBytes(component, 660, "\x78\x56\x34\x12");
  PutBytes(component, 664, "\xFF\xFF\xFF\xFF");
  PutBytes(component, 684, std::string("\x84\x03\x00\x00", 4));
  EXPECT_EQ(component.X(), 0x12345678);
  EXPECT_EQ(component.Y(), -1);
  EXPECT_EQ(component.Rotation(), 900);

  component.SetX(-2);
  component.SetY(0x01020304);
  component.SetRotation(2700);
  EXPECT_EQ(std::memcmp(component.bytes + 660, "\xFE\xFF\xFF\xFF", 4), 0);
  EXPECT_EQ(std::memcmp(component.bytes + 664, "\x04\x03\x02\x01", 4), 0);
  EXPECT_EQ(std::memcmp(component.bytes + 684, "\x8C\x0A\x00\x00", 4), 0);
}

TEST(RecordsTest, DesignUnitsAtOffset836) {
  TDesignInfo info{};
  PutBytes(info, 836, std::string("\x02\x00\x00\x00", 4));
  EXPECT_EQ(info.Units(), 2);
}

TEST(RecordsTest, ItemTypeAndComponentSubRecord) {
  TDbxItem item{};
  for (std::size_t i = 0; i < sizeof item.bytes; ++i) {
    item.bytes[i] = static_cast<unsigned char>(i * 7 % 251);
  }
  PutBytes(item, 0, std::string("\x09\x00\x00\x00", 4));
  EXPECT_EQ(item.ItemType(), TDbxItem::kComponentType);

  TDbxComponent component{};
  item.CopyComponentTo(component);
  EXPECT_EQ(std::memcmp(component.bytes, item.bytes + 1616, sizeof component.bytes), 0);
}

}  // namespace
}  // namespace kordane
