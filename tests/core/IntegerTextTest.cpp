#include "base/IntegerText.h"

#include <gtest/gtest.h>

#include "support/CaseNames.h"

#include <optional>
#include <string>

namespace {

using base::parseIntegerText;

struct IntegerCase {
    std::string text;
    std::optional<std::int32_t> value;
};

class IntegerTextReading : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerTextReading, AcceptsOnlyIntegerText) {
    const IntegerCase& c = GetParam();
    EXPECT_EQ(parseIntegerText(c.text), c.value) << "text: [" << c.text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegerTextReading,
    ::testing::Values(IntegerCase{"0", 0}, IntegerCase{"244", 244}, IntegerCase{"  20", 20}, IntegerCase{"+7", 7},
                      IntegerCase{"-1", -1}, IntegerCase{"$14", 20}, IntegerCase{"$ff", 255}, IntegerCase{"xFF", 255},
                      IntegerCase{"XfF", 255}, IntegerCase{"0x10", 16}, IntegerCase{"0X10", 16},
                      IntegerCase{"-$10", -16}, IntegerCase{" -0x7FFFFFFF", -2147483647},
                      IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", -2147483647 - 1},
                      IntegerCase{"007", 7},
                      // not integer text
                      IntegerCase{"", std::nullopt}, IntegerCase{"   ", std::nullopt}, IntegerCase{"20 ", std::nullopt},
                      IntegerCase{"abc", std::nullopt}, IntegerCase{"1.5", std::nullopt},
                      IntegerCase{"$", std::nullopt}, IntegerCase{"0x", std::nullopt}, IntegerCase{"--1", std::nullopt},
                      IntegerCase{"- 1", std::nullopt}, IntegerCase{"\t5", std::nullopt},
                      IntegerCase{"12a", std::nullopt}, IntegerCase{"2147483648", std::nullopt},
                      IntegerCase{"-2147483649", std::nullopt}, IntegerCase{"$80000000", std::nullopt},
                      IntegerCase{"99999999999999999999", std::nullopt}),
    [](const auto& info) {
        return testing_support::caseName({{"", info.param.text}});
    });

TEST(IntegerText, StrictReadingFailsWithTheStandardMessage) {
    EXPECT_EQ(base::integerText("$10"), 16);
    try {
        base::integerText("12 apples");
        FAIL() << "expected a failure";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "'12 apples' is not a valid integer value");
    }
}

// A huge text is quoted by its first 60 characters and an ellipsis, cut
// between UTF-8 characters, so the message stays readable.
TEST(IntegerText, MessageCutsALongTextShort) {
    EXPECT_EQ(base::notAnIntegerMessage(std::string(60, 'x')),
              "'" + std::string(60, 'x') + "' is not a valid integer value");
    EXPECT_EQ(base::notAnIntegerMessage(std::string(100000000, 'x')),
              "'" + std::string(60, 'x') + "\xE2\x80\xA6' is not a valid integer value");
    std::string accented;
    for (int i = 0; i < 61; ++i) accented += "\xC3\xA9";
    EXPECT_EQ(base::notAnIntegerMessage(accented),
              "'" + accented.substr(0, 120) + "\xE2\x80\xA6' is not a valid integer value");
}

TEST(IntegerText, ReadingWithDefault) {
    EXPECT_EQ(base::integerTextOr("x", 244), 244);
    EXPECT_EQ(base::integerTextOr(" 12", 244), 12);
}

TEST(IntegerText, InRangeIncludesBothBoundsAndRefusesOtherText) {
    EXPECT_TRUE(base::integerTextInRange("0", 0, 244));
    EXPECT_TRUE(base::integerTextInRange(" $F4", 0, 244));
    EXPECT_FALSE(base::integerTextInRange("245", 0, 244));
    EXPECT_FALSE(base::integerTextInRange("-1", 0, 244));
    EXPECT_FALSE(base::integerTextInRange("", 0, 244));
    EXPECT_FALSE(base::integerTextInRange("1.0", 0, 244));
}

}  // namespace
