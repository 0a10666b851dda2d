#include "PrintableText.h"
#include "settings/StoredColors.h"

#include <gtest/gtest.h>

namespace {

TEST(StoredColors, NamesAreInVectorOrder)
{
    const std::array<std::wstring_view, 8> expected = {
        L"Z1_Red", L"Z1_Green", L"Z1_Blue", L"Z1_Bright", L"Z2_Red", L"Z2_Green", L"Z2_Blue", L"Z2_Bright"};
    EXPECT_EQ(valueNames, expected);
}

TEST(StoredColors, DefaultsAreWhiteAtFullBrightness)
{
    for (std::size_t i = 0; i < storedValueCount; ++i) {
        EXPECT_EQ(defaultStoredValue(i), (i == 3 || i == 7) ? 100u : 255u) << "index " << i;
    }
}

struct StoredCase {
    std::size_t index;
    std::uint32_t stored;
    std::uint8_t entry;
};

void PrintTo(const StoredCase& stored, std::ostream* out)
{
    *out << printable(valueNames.at(stored.index)) << " stored as " << stored.stored;
}

class StoredValues : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredValues, SaturateAtTheirRangeInsteadOfWrapping)
{
    EXPECT_EQ(vectorEntryFromStored(GetParam().index, GetParam().stored), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(StoredColors, StoredValues, ::testing::Values(
    StoredCase{0, 0, 0},
    StoredCase{0, 200, 200},
    StoredCase{0, 255, 255},
    StoredCase{0, 256, 255},
    StoredCase{0, 300, 255},
    StoredCase{6, 0xFFFFFFFF, 255},
    StoredCase{3, 29, 29},
    StoredCase{3, 100, 100},
    StoredCase{3, 101, 100},
    StoredCase{7, 200, 100},
    StoredCase{7, 300, 100},
    StoredCase{7, 0xFFFFFFFF, 100}));

} // namespace
