// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The profile reader and writer: Windows read semantics on CP932 files, and
// writes that change one key and keep every other byte.
#include "platform/profile/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/profile/cp932.h"
#include "tests/platform/file_fixtures.h"

namespace vantel::profile {
namespace {

using vantel::testing::readBytes;
using vantel::testing::sjis;
using vantel::testing::TempFolder;
using vantel::testing::writeBytes;

std::string read(std::string_view file, std::string_view section, std::string_view key,
                 std::size_t buffer = 255, std::string_view fallback = "<fallback>") {
    return readStringFromText(file, section, key, fallback, buffer);
}

TEST(ProfileRead, MatchesSectionsAndKeysWithoutRegardToAsciiCase) {
    const std::string file = "[HISCORE]\r\nsCoRe=250\r\n[lank1]\r\nNAME=x\r\n";
    EXPECT_EQ(read(file, "HiScore", "Score"), "250");
    EXPECT_EQ(read(file, "hiscore", "SCORE"), "250");
    EXPECT_EQ(read(file, "Lank1", "Name"), "x");
}

TEST(ProfileRead, FoldsOnlySingleByteLetters) {
    // ア is 83 41 and ヂ is 83 61: their second bytes are "A" and "a".
    const std::string file = sjis("[ア]\r\nア=katakana a\r\n");
    EXPECT_EQ(read(file, "ア", "ア"), "katakana a");
    EXPECT_EQ(read(file, "ヂ", "ア"), "<fallback>");
    EXPECT_EQ(read(file, "ア", "ヂ"), "<fallback>");
}

TEST(ProfileRead, MissingFileSectionKeyOrEmptyValueGivesTheFallback) {
    const std::string file = "[A]\r\nEmpty=\r\nQuotedEmpty=\"\"\r\nBlank=   \r\nNoEquals\r\n";
    EXPECT_EQ(read(file, "B", "Empty"), "<fallback>");
    EXPECT_EQ(read(file, "A", "Missing"), "<fallback>");
    EXPECT_EQ(read(file, "A", "Empty"), "<fallback>");
    EXPECT_EQ(read(file, "A", "QuotedEmpty"), "<fallback>");
    EXPECT_EQ(read(file, "A", "Blank"), "<fallback>");
    EXPECT_EQ(read(file, "A", "NoEquals"), "<fallback>");
    EXPECT_EQ(read("", "A", "Empty"), "<fallback>");

    TempFolder folder;
    EXPECT_EQ(readString(folder / "absent.ini", "A", "B", "fb", 10), "fb");
    EXPECT_EQ(readString(folder.path(), "A", "B", "fb", 10), "fb");  // a folder, not a file
}

TEST(ProfileRead, TrimsNamesAndValuesAndDropsOneQuotePair) {
    const std::string file =
        "  [ Sec ]  \r\n"
        "\t Key \t=  spaced value \t\r\n"
        "Quoted=\"  kept  \"\r\n"
        "Single='x'\r\n"
        "Unpaired=\"x'\r\n"
        "Equals=a=b\r\n";
    EXPECT_EQ(read(file, "Sec", "Key"), "spaced value");
    EXPECT_EQ(read(file, "Sec", "Quoted"), "  kept  ");
    EXPECT_EQ(read(file, "Sec", "Single"), "x");
    EXPECT_EQ(read(file, "Sec", "Unpaired"), "\"x'");
    EXPECT_EQ(read(file, "Sec", "Equals"), "a=b");
}

TEST(ProfileRead, FirstSectionAndFirstKeyWinCommentsAndStrayKeysDoNot) {
    const std::string file =
        "Score=0\r\n"  // before any section
        "[HiScore]\r\n"
        ";Score=1\r\n"
        "  ; Player=comment\r\n"
        "Score=2\r\n"
        "Score=3\r\n"
        "[HiScore]\r\n"
        "Score=4\r\n"
        "Player=second section\r\n";
    EXPECT_EQ(read(file, "HiScore", "Score"), "2");
    EXPECT_EQ(read(file, "HiScore", "Player"), "<fallback>");
}

TEST(ProfileRead, AcceptsAnyLineEnds) {
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        const std::string file = "[A]" + eol + "One=1" + eol + "[B]" + eol + "Two=2";
        EXPECT_EQ(read(file, "A", "One"), "1") << "line end " << eol.size();
        EXPECT_EQ(read(file, "B", "Two"), "2") << "line end " << eol.size();
        EXPECT_EQ(read(file, "A", "Two"), "<fallback>");
    }
    EXPECT_EQ(read("[A]\nOne=1\r\n[B]\rTwo=2\n", "B", "Two"), "2");
}

TEST(ProfileRead, SectionNamesWithBracketBytesInsideDoubleByteCharacters) {
    // ‐ is 81 5D ("]" as second byte), ー is 81 5B ("["), ソ is 83 5C. The
    // header closes at the last real "]", not at the one inside the last ‐.
    const std::string file = sjis("[‐ソー]‐\r\nKey=found\r\n[‐\r\nOther=1\r\n");
    EXPECT_EQ(read(file, "‐ソー", "Key"), "found");
    // "[‐" has no closing bracket: not a section, its key stays in the one above.
    EXPECT_EQ(read(file, "‐ソー", "Other"), "1");
}

TEST(ProfileRead, ConvertsCp932ToUtf8) {
    const std::string file = "[Serifu]\r\nKotoba1=\x82\xA0\x82\xE2\x82\xE2\x81\x60\x87\x40\xB1\r\n";
    EXPECT_EQ(read(file, "Serifu", "Kotoba1"), "あやや～①ｱ");
    // Names are matched in CP932 too.
    EXPECT_EQ(read(sjis("[名前]\r\n値=あ\r\n"), "名前", "値"), "あ");
}

TEST(ProfileRead, TakesWhatItCanFromMalformedText) {
    // 80 and FD are not CP932; a lead byte at the end has no second byte.
    EXPECT_EQ(read("[A]\r\nK=a\x80" "b\xFD\r\n", "A", "K"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(read("[A]\r\nK=x\x82", "A", "K"), "x\xEF\xBF\xBD");
    EXPECT_EQ(read(std::string("[A]\r\nK=a\0b\r\n", 11), "A", "K"), "ab");
    EXPECT_EQ(read("\xEF\xBB\xBF[A]\r\nK=bom\r\n", "A", "K"), "bom");
}

struct CutCase {
    const char* value;
    std::size_t buffer;
    const char* expected;
};

TEST(ProfileRead, CutsToTheBufferLessOneByteOnCharacterBoundaries) {
    const CutCase cases[] = {
        {"あいうえ", 10, "あいうえ"},        // 8 bytes fit in 9
        {"あいうえお", 10, "あいうえ"},      // 10 bytes: the 5th character would be split
        {"aあいうえ", 10, "aあいうえ"},      // exactly 9 bytes
        {"abあいうえ", 10, "abあいう"},      // the 9th byte would be half of え
        {"ｱｲｳｴｵｶｷｸｹｺ", 10, "ｱｲｳｴｵｶｷｸｹ"},  // half-width katakana are one byte each
        {"abcdefghijkl", 10, "abcdefghi"},
        {"abあ", 4, "ab"},
        {"あ", 2, "<fallback>"},  // nothing fits: read as missing
        {"a", 1, "<fallback>"},
        {"a", 0, "<fallback>"},
    };
    for (const CutCase& c : cases) {
        const std::string file = "[S]\r\nK=" + sjis(c.value) + "\r\n";
        EXPECT_EQ(read(file, "S", "K", c.buffer), c.expected) << c.value << " in " << c.buffer;
    }
}

class ProfileWrite : public ::testing::Test {
protected:
    TempFolder folder;
    std::filesystem::path file = folder / "help" / "Vantel.ini";
};

TEST_F(ProfileWrite, CreatesTheFolderAndFileInCp932WithCrLf) {
    ASSERT_TRUE(writeString(file, "HiScore", "Player", "あやや"));
    ASSERT_TRUE(writeString(file, "HiScore", "Score", "100"));
    ASSERT_TRUE(writeString(file, "Serifu", "Kotoba1", "～①"));
    EXPECT_EQ(readBytes(file),
              "[HiScore]\r\nPlayer=\x82\xA0\x82\xE2\x82\xE2\r\nScore=100\r\n"
              "[Serifu]\r\nKotoba1=\x81\x60\x87\x40\r\n");
    EXPECT_EQ(readString(file, "hiscore", "player", "", 255), "あやや");
}

TEST_F(ProfileWrite, KeepsEverythingElseOfAHandEditedFile) {
    const std::string original = "\xEF\xBB\xBF" + sjis(
        "; Vantel settings, edited by hand\n"
        "[HiScore]\n"
        "  score = 5   ; comment kept as part of the value\n"
        "Player=あやや\r\n"
        "\n"
        "[Extra]\r\n"
        "Whatever=keep me\r\n"
        "; trailing comment\r\n"
        "\r\n"
        "[Lank1]\r\n"
        "Name=ゆうこ");
    writeBytes(file, original);

    ASSERT_TRUE(writeString(file, "HISCORE", "Score", "300"));
    std::string expected = "\xEF\xBB\xBF" + sjis(
        "; Vantel settings, edited by hand\n"
        "[HiScore]\n"
        "  score =300\n"
        "Player=あやや\r\n"
        "\n"
        "[Extra]\r\n"
        "Whatever=keep me\r\n"
        "; trailing comment\r\n"
        "\r\n"
        "[Lank1]\r\n"
        "Name=ゆうこ");
    EXPECT_EQ(readBytes(file), expected);

    // A new key goes after the last non-blank line of its section.
    ASSERT_TRUE(writeString(file, "Extra", "Added", "new"));
    expected = "\xEF\xBB\xBF" + sjis(
        "; Vantel settings, edited by hand\n"
        "[HiScore]\n"
        "  score =300\n"
        "Player=あやや\r\n"
        "\n"
        "[Extra]\r\n"
        "Whatever=keep me\r\n"
        "; trailing comment\r\n"
        "Added=new\r\n"
        "\r\n"
        "[Lank1]\r\n"
        "Name=ゆうこ");
    EXPECT_EQ(readBytes(file), expected);

    // The last line had no line end: it gets one before the new key.
    ASSERT_TRUE(writeString(file, "Lank1", "Ten", "4000"));
    expected += "\r\nTen=4000\r\n";
    EXPECT_EQ(readBytes(file), expected);

    // A new section goes at the end.
    ASSERT_TRUE(writeString(file, "Active", "Ocx_Flg", "1"));
    expected += "[Active]\r\nOcx_Flg=1\r\n";
    EXPECT_EQ(readBytes(file), expected);

    EXPECT_EQ(readString(file, "HiScore", "Score", "", 25), "300");
    EXPECT_EQ(readString(file, "Lank1", "Name", "", 10), "ゆうこ");
}

TEST_F(ProfileWrite, AppendsALineEndBeforeANewSectionWhenTheFileLacksOne) {
    writeBytes(file, "[A]\r\nK=1");
    ASSERT_TRUE(writeString(file, "B", "K", "2"));
    EXPECT_EQ(readBytes(file), "[A]\r\nK=1\r\n[B]\r\nK=2\r\n");
}

TEST_F(ProfileWrite, RefusesWhatWouldBreakTheFileAndLeavesItUntouched) {
    const std::string original = "[A]\r\nK=1\r\n";
    writeBytes(file, original);
    EXPECT_FALSE(writeString(file, "A", "K", "two\r\nInjected=1"));
    EXPECT_FALSE(writeString(file, "A", "K", "line\nbreak"));
    EXPECT_FALSE(writeString(file, "A", "K", std::string("nul\0", 4)));
    EXPECT_FALSE(writeString(file, "A]", "K", "v"));
    EXPECT_FALSE(writeString(file, "", "K", "v"));
    EXPECT_FALSE(writeString(file, "A", "", "v"));
    EXPECT_FALSE(writeString(file, "A", "  ", "v"));
    EXPECT_FALSE(writeString(file, "A", "K=J", "v"));
    EXPECT_FALSE(writeString(file, "A", ";K", "v"));
    EXPECT_FALSE(writeString(file, "A", "[K", "v"));
    EXPECT_FALSE(writeString(file, "A", "\xF0\x9F\x98\x80", "v"));  // no CP932 form
    EXPECT_FALSE(writeStrings(file, {{"A", "K", "fine"}, {"A", "K", "bad\n"}}));
    EXPECT_EQ(readBytes(file), original);
}

TEST_F(ProfileWrite, StoresCharactersCp932CannotHoldAsQuestionMarks) {
    ASSERT_TRUE(writeString(file, "A", "K", "ü\xF0\x9F\x98\x80あ"));
    EXPECT_EQ(readString(file, "A", "K", "", 255), "??あ");
}

TEST_F(ProfileWrite, ReplacesTheFileInsteadOfRewritingItInPlace) {
    writeBytes(file, "[A]\r\nK=old\r\n");
    ::chmod(file.c_str(), 0640);
    // A second name for the old file: a write in place would change it too.
    const auto oldName = folder / "old.ini";
    std::filesystem::create_hard_link(file, oldName);

    ASSERT_TRUE(writeString(file, "A", "K", "new"));
    EXPECT_EQ(readBytes(oldName), "[A]\r\nK=old\r\n");
    EXPECT_EQ(readBytes(file), "[A]\r\nK=new\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // No temporary file is left beside it.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST_F(ProfileWrite, WritesThroughASymbolicLink) {
    const auto real = folder / "real.ini";
    writeBytes(real, "[A]\r\nK=old\r\n");
    std::filesystem::create_directories(file.parent_path());
    std::filesystem::create_symlink(real, file);
    ASSERT_TRUE(writeString(file, "A", "K", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(readBytes(real), "[A]\r\nK=new\r\n");
}

TEST_F(ProfileWrite, FailsCleanlyWhereNoFileCanBe) {
    writeBytes(folder / "plain", "not a folder");
    EXPECT_FALSE(writeString(folder / "plain" / "Vantel.ini", "A", "K", "v"));
    EXPECT_FALSE(writeString(folder.path(), "A", "K", "v"));
    EXPECT_FALSE(writeString("", "A", "K", "v"));
    EXPECT_EQ(readBytes(folder / "plain"), "not a folder");
}

TEST(Cp932Text, ConvertsBothWaysAndCutsOnBoundaries) {
    EXPECT_EQ(cp932::fromUtf8("あやや～①ｱ\\~"), "\x82\xA0\x82\xE2\x82\xE2\x81\x60\x87\x40\xB1\\~");
    EXPECT_EQ(cp932::toUtf8("\x82\xA0\x82\xE2\x82\xE2\x81\x60\x87\x40\xB1"), "あやや～①ｱ");
    bool lossy = false;
    EXPECT_EQ(cp932::fromUtf8("a\xC3(b", &lossy), "a?(b");  // broken UTF-8
    EXPECT_TRUE(lossy);
    cp932::fromUtf8("あ", &lossy);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(cp932::prefixOnBoundary(sjis("aあい"), 4), 3u);
    EXPECT_EQ(cp932::prefixOnBoundary(sjis("aあい"), 5), 5u);
    EXPECT_EQ(cp932::prefixOnBoundary("\x82", 5), 1u);
}

}  // namespace
}  // namespace vantel::profile
