// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Numbers in the settings file: what counts as a number, how fractions
// round, and where the 16- and 32-bit limits fall.
#include "records/numeric_text.h"

#include <gtest/gtest.h>

namespace vantel {
namespace {

struct Case {
    const char* text;
    NumberStatus status;
    int32_t value;
};

TEST(NumericText, DecimalTextRoundsHalfToEven) {
    const Case cases[] = {
        {"12", NumberStatus::Ok, 12},        {" 12 ", NumberStatus::Ok, 12},
        {"\t+3", NumberStatus::Ok, 3},       {"-7", NumberStatus::Ok, -7},
        {"007", NumberStatus::Ok, 7},        {"12.5", NumberStatus::Ok, 12},
        {"13.5", NumberStatus::Ok, 14},      {"-12.5", NumberStatus::Ok, -12},
        {"-13.5", NumberStatus::Ok, -14},    {"12.50001", NumberStatus::Ok, 13},
        {"12.4999", NumberStatus::Ok, 12},   {"0.5", NumberStatus::Ok, 0},
        {".5000000000000000001", NumberStatus::Ok, 1},
        {"1.5", NumberStatus::Ok, 2},        {"5.", NumberStatus::Ok, 5},
        {"-0.4", NumberStatus::Ok, 0},
    };
    for (const Case& c : cases) {
        const NumberText n = toInt32(c.text);
        EXPECT_EQ(n.status, c.status) << c.text;
        EXPECT_EQ(n.value, c.value) << c.text;
    }
}

TEST(NumericText, OtherTextIsNotANumber) {
    for (const char* text : {"", " ", "abc", "1a", "a1", "-", "+", ".", "1.2.3", "--1", "- 1",
                             "1 2", "1e3", "&H10", "0x10", "1,000", "１２", "∞"}) {
        EXPECT_EQ(toInt32(text).status, NumberStatus::NotNumeric) << text;
        EXPECT_EQ(toInt16(text).status, NumberStatus::NotNumeric) << text;
    }
}

TEST(NumericText, LimitsOfSixteenAndThirtyTwoBits) {
    EXPECT_EQ(toInt16("32767").value, 32767);
    EXPECT_EQ(toInt16("-32768").value, -32768);
    EXPECT_EQ(toInt16("32767.5").status, NumberStatus::OutOfRange);  // rounds to 32768
    EXPECT_EQ(toInt16("32768").status, NumberStatus::OutOfRange);
    EXPECT_EQ(toInt16("-32769").status, NumberStatus::OutOfRange);
    EXPECT_EQ(toInt32("2147483647").value, 2147483647);
    EXPECT_EQ(toInt32("-2147483648").value, INT32_MIN);
    EXPECT_EQ(toInt32("2147483648").status, NumberStatus::OutOfRange);
    EXPECT_EQ(toInt32("-2147483648.6").status, NumberStatus::OutOfRange);
    EXPECT_EQ(toInt32("99999999999999999999999999999999").status, NumberStatus::OutOfRange);
    EXPECT_EQ(toInt32("-99999999999999999999999999999999").status, NumberStatus::OutOfRange);
}

}  // namespace
}  // namespace vantel
