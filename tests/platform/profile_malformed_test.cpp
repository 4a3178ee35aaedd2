// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Files no one should write but someone will: random bytes, NULs, byte
// order marks, megabyte lines, broken double-byte characters. Each must
// read without a crash and keep the profile invariants, in memory and on disk.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/profile/profile.h"
#include "tests/platform/file_fixtures.h"
#include "tests/platform/profile_invariants.h"

namespace vantel::testing {
namespace {

// A byte string literal, NUL bytes included.
template <std::size_t N>
std::string bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

struct MalformedFile {
    std::string name;
    std::string bytes;
};

std::string randomBytes(std::mt19937& random, std::size_t size, std::string_view alphabet = {}) {
    std::string out(size, '\0');
    std::uniform_int_distribution<int> byte(0, 255);
    for (char& c : out) {
        if (alphabet.empty()) {
            c = static_cast<char>(byte(random));
        } else {
            c = alphabet[static_cast<std::size_t>(byte(random)) % alphabet.size()];
        }
    }
    return out;
}

// The bytes that give a profile file its shape, and a few names.
const std::string kProfileAlphabet = bytes("[]=;\"' \t\r\nAKHiScore\x82\x81\x5D\x83\x41\0");

std::vector<MalformedFile> malformedFiles() {
    std::mt19937 random(20240607);
    std::vector<MalformedFile> files;
    std::string allBytes;
    for (int b = 0; b < 256; ++b) allBytes.push_back(static_cast<char>(b));
    files.push_back({"empty", ""});
    files.push_back({"every byte value", allBytes + "\r\n[A]\r\nK=" + allBytes});
    files.push_back({"only line ends", "\r\n\n\r\r\r\n\n"});
    files.push_back({"NUL bytes", bytes("[A]\0\r\nK\0=v\0al\r\n[Hi\0Score]\r\nScore=1")});
    files.push_back({"UTF-8 BOM only", "\xEF\xBB\xBF"});
    files.push_back({"UTF-8 BOM", "\xEF\xBB\xBF[A]\r\nK=1\r\n"});
    files.push_back({"UTF-16 LE", bytes("\xFF\xFE[\0A\0]\0\r\0\n\0K\0=\0" "1\0")});
    files.push_back({"broken BOM", "\xEF\xBB[A]\r\nK=1"});
    files.push_back({"no final line end", "[A]\r\nK=1"});
    files.push_back({"unclosed header", "[A\r\nK=1\r\n[HiScore\r\nScore=2"});
    files.push_back({"lead byte at the end", "[A]\r\nK=\x82"});
    files.push_back({"lead byte before a line end", "[A]\r\nK=\x82\r\nOther=\x82\n[\x82]\r\n\x82=\x82"});
    files.push_back({"bracket as second byte", "[\x81]\r\nK=1\r\n[\x81\x5D\r\n\x83\x41=\x81\x5D"});
    files.push_back({"equals everywhere", "====\r\n[=]\r\n=K=\r\nK===\r\n[A]=\r\nK=="});
    files.push_back({"quotes", "[A]\r\nK=\"\r\nOther='\r\n[HiScore]\r\nScore=\"'\""});
    files.push_back({"invalid CP932", "[A]\r\nK=\x80\xA0\xFD\xFE\xFF\x85\x40\xEF\xFC"});
    files.push_back({"huge line", "[A]\r\nK=" + std::string(1 << 20, '\x82') + "\r\nOther=ok\r\n"});
    files.push_back({"huge header", "[" + std::string(1 << 20, 'A') + "]\r\nK=1\r\n"});
    files.push_back({"huge line without end", "[HiScore]\r\nScore=" + randomBytes(random, 1 << 20)});
    for (int i = 0; i < 24; ++i) {
        files.push_back({"random bytes " + std::to_string(i),
                         randomBytes(random, static_cast<std::size_t>(1) << (i % 12))});
        files.push_back({"random profile text " + std::to_string(i),
                         randomBytes(random, 64u << (i % 6), kProfileAlphabet)});
    }
    return files;
}

TEST(ProfileMalformed, EveryFileKeepsTheInvariantsInMemory) {
    const auto files = malformedFiles();
    for (const MalformedFile& file : files) {
        // Every write on the small files; a few on the larger ones, which
        // take long to scan once per probe.
        const unsigned writes = file.bytes.size() <= 512 ? 40 : file.bytes.size() <= 4096 ? 8 : 1;
        for (unsigned selector = 0; selector < writes; ++selector) {
            EXPECT_EQ(checkProfileInvariants(file.bytes, selector * 7), "") << file.name << ", write " << selector;
        }
    }
}

TEST(ProfileMalformed, EveryFileReadsAndTakesAWriteOnDisk) {
    TempFolder folder;
    const auto path = folder / "Vantel.ini";
    for (const MalformedFile& file : malformedFiles()) {
        writeBytes(path, file.bytes);
        const std::string before = profile::readString(path, "A", "Other", "fb", 255);
        ASSERT_TRUE(profile::writeString(path, "A", "K", "あやや")) << file.name;
        EXPECT_EQ(profile::readString(path, "A", "K", "", 255), "あやや") << file.name;
        EXPECT_EQ(profile::readString(path, "A", "Other", "fb", 255), before) << file.name;
    }
}

TEST(ProfileMalformed, AMegabyteValueIsCutToTheBufferOnACharacterBoundary) {
    // "a" then 82 82 82 ...: full-width ｂ (82 82) over and over. Of the 24
    // bytes a 25-byte buffer keeps, the 24th would be half a ｂ.
    const std::string file = "[A]\r\nK=a" + std::string(1 << 20, '\x82') + "\r\n";
    std::string expected = "a";
    for (int i = 0; i < 11; ++i) expected += "ｂ";
    EXPECT_EQ(profile::readStringFromText(file, "A", "K", "", 25), expected);
}

}  // namespace
}  // namespace vantel::testing
