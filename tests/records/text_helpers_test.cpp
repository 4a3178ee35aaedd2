// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/text_helpers.h"

#include <gtest/gtest.h>

namespace vantel {
namespace {

TEST(AnsiByteLength, CountsFullWidthAsTwoAndHalfWidthAsOne) {
    EXPECT_EQ(ansiByteLength(""), 0);
    EXPECT_EQ(ansiByteLength("abc"), 3);
    EXPECT_EQ(ansiByteLength("あいうえ"), 8);    // the longest name the editor takes
    EXPECT_EQ(ansiByteLength("あいうえお"), 10);
    EXPECT_EQ(ansiByteLength("ｱｲｳｴｵｶｷｸｹ"), 9);  // half-width katakana
    EXPECT_EQ(ansiByteLength("aあ～①"), 7);
    EXPECT_EQ(ansiByteLength("ü"), 1);  // stored as "?"
}

TEST(BreakAfterFullStop, BreaksOnceAfterTheFirstFullStop) {
    EXPECT_EQ(breakAfterFullStop("はー、まだまだ青いですね。次は気合入れて頑張ってね！"),
              "はー、まだまだ青いですね。\r\n次は気合入れて頑張ってね！");
    EXPECT_EQ(breakAfterFullStop("一。二。三"), "一。\r\n二。三");
    EXPECT_EQ(breakAfterFullStop("終わり。"), "終わり。\r\n");
    EXPECT_EQ(breakAfterFullStop("さんが今回の優勝者です！"), "さんが今回の優勝者です！");
    EXPECT_EQ(breakAfterFullStop("a.b"), "a.b");
    EXPECT_EQ(breakAfterFullStop(""), "");
}

}  // namespace
}  // namespace vantel
