#include "workbench/image_ops.h"

#include <gtest/gtest.h>

namespace sorvell::workbench {
namespace {

// What the operator types for addresses, ranges and bytes, and what it means.
TEST(ImageOpsTest, TypedAddressesRangesAndBytes) {
  const struct {
    const char* text;
    std::optional<std::uint32_t> address;
  } kAddresses[] = {{"3FFF", 0x3FFF},  {"3fffh", 0x3FFF}, {"0x3FFF", 0x3FFF}, {"$10", 0x10},
                    {" 32K ", 32768},  {"1k", 1024},      {"", {}},           {"G1", {}},
                    {"123456789", {}}, {"-1", {}},        {"K", {}}};
  for (const auto& c : kAddresses) EXPECT_EQ(ParseAddress(c.text), c.address) << c.text;

  EXPECT_EQ(ParseRange("10-1F")->Size(), 16u);
  EXPECT_EQ(ParseRange("0-32K")->last, 32768u);
  EXPECT_FALSE(ParseRange("20-1F"));
  EXPECT_FALSE(ParseRange("20"));

  const struct {
    const char* text;
    std::optional<Bytes> bytes;
  } kBytes[] = {{"A9 00 8D", Bytes{0xA9, 0x00, 0x8D}},
                {"a9008d", Bytes{0xA9, 0x00, 0x8D}},
                {"CAFE", Bytes{0xCA, 0xFE}},
                {"\"CAFE\"", Bytes{'C', 'A', 'F', 'E'}},
                {"READY.", Bytes{'R', 'E', 'A', 'D', 'Y', '.'}},
                {"A9 0", {}},
                {"\"\"", {}},
                {"  ", {}}};
  for (const auto& c : kBytes) EXPECT_EQ(ParseBytes(c.text), c.bytes) << c.text;
}

TEST(ImageOpsTest, FindSearchesOnlyWholeMatchesEitherWay) {
  const Bytes image = {1, 2, 3, 1, 2, 3, 1, 2};
  const Bytes pattern = {1, 2, 3};
  EXPECT_EQ(Find(image, pattern, 0, true), 0u);
  EXPECT_EQ(Find(image, pattern, 1, true), 3u);
  EXPECT_EQ(Find(image, pattern, 4, true), std::nullopt);  // 1 2 at the end is not whole
  EXPECT_EQ(Find(image, pattern, 8, false), 3u);
  EXPECT_EQ(Find(image, pattern, 3, false), 0u);
  EXPECT_EQ(Find(image, pattern, 0, false), std::nullopt);
  EXPECT_EQ(Find(image, Bytes(9, 1), 0, true), std::nullopt);
}

// The halves of a 16-bit bus, a swap, and copies: what they refuse.
TEST(ImageOpsTest, ArrangingRefusesWhatWouldNotMakeAWholeImage) {
  std::string error;
  EXPECT_TRUE(Interleave(Bytes{1, 2}, Bytes{3}, error).empty());
  EXPECT_NE(error.find("the same size"), std::string::npos) << error;
  EXPECT_EQ(Interleave(Bytes{1, 3}, Bytes{2, 4}, error), (Bytes{1, 2, 3, 4}));
  EXPECT_TRUE(RepeatTo(Bytes(3, 0), 8, error).empty());
  EXPECT_TRUE(RepeatTo(Bytes(8, 0), 4, error).empty());
  EXPECT_EQ(RepeatTo(Bytes{7, 8}, 6, error), (Bytes{7, 8, 7, 8, 7, 8}));
  Bytes odd = {1, 2, 3};
  SwapBytes(odd);
  EXPECT_EQ(odd, (Bytes{2, 1, 3}));
  const Halves halves = SplitEvenOdd(Bytes{1, 2, 3});
  EXPECT_EQ(halves.even, (Bytes{1, 3}));
  EXPECT_EQ(halves.odd, (Bytes{2}));
}

}  // namespace
}  // namespace sorvell::workbench
