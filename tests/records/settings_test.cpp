// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file through real files: the factory file byte for byte, how
// a file reads back, every fallback and every settings error.
#include "records/settings.h"

#include <gtest/gtest.h>

#include "platform/profile/profile.h"
#include "game/dialogue.h"
#include "tests/platform/file_fixtures.h"

namespace vantel {
namespace {

using testing::readBytes;
using testing::sjis;
using testing::TempFolder;
using testing::writeBytes;

// The factory file as Windows stores it, built from the tables of keys,
// factory members, lines and sound files; `flag` is Active/Ocx_Flg.
std::string factoryFile(const std::string& folder, const char* flag) {
    std::string text = "[HiScore]\r\nPlayer=???\r\nScore=100\r\n";
    for (int row = 1; row <= 10; ++row) {
        text += "[Lank" + std::to_string(row) + "]\r\nName=\r\nTen=\r\nDate=\r\nTime=\r\n";
    }
    text += "[Mentu]\r\nNinzu=4\r\n";
    const char* names[] = {"あやや", "ゆうこ", "はるか", "みさこ"};
    for (int member = 1; member <= 20; ++member) {
        const std::string n = std::to_string(member);
        text += "[Sanka" + n + "]\r\n";
        text += "Name=" + std::string(member <= 4 ? names[member - 1] : "") + "\r\n";
        for (int picture = 1; picture <= 4; ++picture) {
            text += "Gazo" + std::to_string(picture) + "=";
            if (member <= 4) {
                text += folder + "/gazou/shojo" + n + "_0" + std::to_string(picture) + ".jpg";
            }
            text += "\r\n";
        }
        text += std::string("Sex=") + (member <= 4 ? "1" : "") + "\r\n";
    }
    text += "[Serifu]\r\n";
    for (int line = 1; line <= 9; ++line) {
        text += "Kotoba" + std::to_string(line) + "=" + std::string(kDefaultFemaleLines[line]) + "\r\n";
    }
    for (int line = 1; line <= 9; ++line) {
        text += "Kotoba2" + std::to_string(line) + "=" + std::string(kDefaultMaleLines[line]) + "\r\n";
    }
    text += "[Saundo]\r\n";
    const char* sounds[] = {"Cafe_GM.mid",     "b01_クリア.mid", "b02_ゲームオーバー.mid",
                            "DX_Jingle10.mid", "DX_Jingle14.mid", "yatta.wav", "katta.wav"};
    for (int sound = 1; sound <= 7; ++sound) {
        text += "Oto" + std::to_string(sound) + "=" + folder + "/sound/" + sounds[sound - 1] + "\r\n";
    }
    text += std::string("[Active]\r\nOcx_Flg=") + flag + "\r\n";
    return sjis(text);
}

class SettingsFile : public ::testing::Test {
protected:
    TempFolder folder;
    SettingsLocation where{folder.path(), {}};
    std::filesystem::path ini = folder / "help" / "Vantel.ini";
    MatchState state;

    // A file with a high score and `rest` (UTF-8, stored as CP932).
    void writeIni(const std::string& rest) { writeBytes(ini, sjis("[HiScore]\r\nScore=250\r\n" + rest)); }
    SettingsReport read() { return readSettings(state, where); }
};

TEST_F(SettingsFile, AMissingFileIsCreatedWithTheFactoryValuesAndReadBack) {
    const SettingsReport report = read();
    EXPECT_EQ(report.status, SettingsStatus::DefaultsWritten);
    // Written with Ocx_Flg=0, which the read that follows turns into 1.
    EXPECT_EQ(readBytes(ini), factoryFile(folder.path().string(), "1"));

    EXPECT_EQ(state.iniPath, ini.string());
    EXPECT_EQ(state.hiScore, 100);
    EXPECT_EQ(state.hiScorePlayer, "???");
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(state.rankName[row], "");
        EXPECT_EQ(state.rankPoints[row], 100);
        EXPECT_EQ(state.rankDate[row], "");
        EXPECT_EQ(state.rankTime[row], "");
    }
    EXPECT_EQ(state.memberCount, 4);
    EXPECT_EQ(state.memberName[1], "あやや");
    EXPECT_EQ(state.memberName[4], "みさこ");
    EXPECT_EQ(state.memberImage[3][2], folder.path().string() + "/gazou/shojo3_02.jpg");
    for (int member = 1; member <= 4; ++member) EXPECT_EQ(state.memberSex[member], 1);
    EXPECT_EQ(state.femaleLines[7], kDefaultFemaleLines[7]);
    EXPECT_EQ(state.maleLines[9], kDefaultMaleLines[9]);
    EXPECT_EQ(state.soundFiles[3], folder.path().string() + "/sound/b02_ゲームオーバー.mid");
    EXPECT_EQ(state.selectionPhase, 1);

    // Read again: nothing more is written.
    EXPECT_EQ(read().status, SettingsStatus::Read);
    EXPECT_EQ(readBytes(ini), factoryFile(folder.path().string(), "1"));
}

TEST_F(SettingsFile, WriteDefaultSettingsReplacesEveryKey) {
    writeIni("[Lank1]\r\nName=old\r\nTen=5000\r\n[Mentu]\r\nNinzu=5\r\n");
    const SettingsReport report = writeDefaultSettings(state, where);
    EXPECT_EQ(report.status, SettingsStatus::DefaultsWritten);
    // The hand-written keys were overwritten in place, so the file is the
    // factory file in a different key order; it reads as a fresh one.
    EXPECT_EQ(state.hiScore, 100);
    EXPECT_EQ(state.rankName[1], "");
    EXPECT_EQ(state.rankPoints[1], 100);
    EXPECT_EQ(state.memberCount, 4);
    EXPECT_EQ(profile::readString(ini, "Active", "Ocx_Flg", "", 100), "1");
}

TEST_F(SettingsFile, AFileWithoutAHighScoreIsReplacedAndKeptAsABackup) {
    writeBytes(ini, sjis("[Lank1]\r\nName=あやや\r\nTen=5000\r\n[HiScore]\r\nScore=\r\n"));
    const std::string before = readBytes(ini);
    EXPECT_EQ(read().status, SettingsStatus::DefaultsWritten);
    EXPECT_EQ(state.rankPoints[1], 100);
    EXPECT_EQ(readBytes(folder / "help" / "Vantel.ini.bak"), before);
}

TEST_F(SettingsFile, AnExplicitSettingsFileIsUsedWithDefaultsStillInTheProgramFolder) {
    const auto other = folder / "elsewhere" / "sim.ini";
    SettingsLocation simulator{folder.path(), other};
    ASSERT_TRUE(readSettings(state, simulator).ok());
    EXPECT_EQ(state.iniPath, other.string());
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_EQ(readBytes(other), factoryFile(folder.path().string(), "1"));
}

TEST_F(SettingsFile, AHighScoreAloneReadsWithEveryFallbackAndWritesNothing) {
    writeIni("");
    const std::string before = readBytes(ini);
    state.memberName[5] = "untouched";
    ASSERT_EQ(read().status, SettingsStatus::Read);
    EXPECT_EQ(state.hiScore, 250);
    EXPECT_EQ(state.hiScorePlayer, "???");
    for (int row = 1; row <= 10; ++row) {
        EXPECT_EQ(state.rankName[row], "");
        EXPECT_EQ(state.rankPoints[row], 100);
    }
    EXPECT_EQ(state.memberCount, 4);
    EXPECT_EQ(state.memberName[1], "");
    EXPECT_EQ(state.memberImage[1][1], "");
    EXPECT_EQ(state.memberSex[1], 1);
    EXPECT_EQ(state.memberName[5], "untouched");  // beyond memberCount: not read
    EXPECT_EQ(state.femaleLines[1], "");
    EXPECT_EQ(state.soundFiles[1], "");
    EXPECT_EQ(state.selectionPhase, 1);
    EXPECT_EQ(readBytes(ini), before);
}

TEST_F(SettingsFile, AFileWrittenByTheWindowsProgramReads) {
    // Shift-JIS, CR LF, names in other letter cases, a name cut at 9 bytes.
    writeBytes(ini, sjis("[HISCORE]\r\nscore=1234\r\nPLAYER=はるか\r\n"
                         "[lank2]\r\nNAME=ゆうこ\r\nten=900\r\nDate=2004/05/06\r\nTime=07:08:09\r\n"
                         "[Mentu]\r\nNinzu=5\r\n"
                         "[Sanka5]\r\nName=あいうえお\r\nGazo1=C:\\Vantel\\gazou\\①.jpg\r\nSex=2\r\n"
                         "[Serifu]\r\nKotoba23=～だぜ\r\n"));
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.hiScore, 1234);
    EXPECT_EQ(state.hiScorePlayer, "はるか");
    EXPECT_EQ(state.rankName[2], "ゆうこ");
    EXPECT_EQ(state.rankPoints[2], 900);
    EXPECT_EQ(state.rankDate[2], "2004/05/06");
    EXPECT_EQ(state.rankTime[2], "07:08:09");
    EXPECT_EQ(state.memberCount, 5);
    EXPECT_EQ(state.memberName[5], "あいうえ");
    EXPECT_EQ(state.memberImage[5][1], "C:\\Vantel\\gazou\\①.jpg");
    EXPECT_EQ(state.memberSex[5], 2);
    EXPECT_EQ(state.maleLines[3], "～だぜ");
}

TEST_F(SettingsFile, LfOnlyFilesRead) {
    writeBytes(ini, sjis("[HiScore]\nScore=300\nPlayer=みさこ\n[Mentu]\nNinzu=6\n"));
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.hiScore, 300);
    EXPECT_EQ(state.hiScorePlayer, "みさこ");
    EXPECT_EQ(state.memberCount, 6);
}

TEST_F(SettingsFile, TheLineSetIsTheFirstDigitOfSex) {
    writeIni("[Mentu]\r\nNinzu=6\r\n"
             "[Sanka1]\r\nSex=2\r\n[Sanka2]\r\n[Sanka3]\r\nSex=12\r\n"
             "[Sanka4]\r\nSex=0\r\n[Sanka5]\r\nSex=2.5\r\n[Sanka6]\r\nSex=\r\n");
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.memberSex[1], 2);
    EXPECT_EQ(state.memberSex[2], 1);  // missing
    EXPECT_EQ(state.memberSex[3], 1);
    EXPECT_EQ(state.memberSex[4], 0);
    EXPECT_EQ(state.memberSex[5], 2);  // rounds half to even
    EXPECT_EQ(state.memberSex[6], 1);  // empty
}

struct ScoreCase {
    const char* text;
    int16_t hiScore;
};

TEST_F(SettingsFile, TheHighScoreIsRoundedTo16BitsAndNonNumbersLeave100) {
    const ScoreCase cases[] = {
        {"abc", 100}, {"1e3", 100}, {"12.5", 12}, {"13.5", 14},     {"-7", -7},
        {"+8", 8},    {"32767", 32767}, {"-32768", -32768}, {"32767.4", 32767},
    };
    for (const ScoreCase& c : cases) {
        writeBytes(ini, std::string("[HiScore]\r\nScore=") + c.text + "\r\nPlayer=x\r\n");
        ASSERT_TRUE(read().ok()) << c.text;
        EXPECT_EQ(state.hiScore, c.hiScore) << c.text;
        EXPECT_EQ(state.hiScorePlayer, "x") << c.text;  // the rest is read normally
    }
}

TEST_F(SettingsFile, UnusableValuesAreFatalAndTheFileIsKept) {
    const char* files[] = {
        "[Lank3]\r\nTen=abc\r\n",
        "[Lank3]\r\nTen=1,000\r\n",
        "[Mentu]\r\nNinzu=abc\r\n",
        "[Mentu]\r\nNinzu=21\r\n",
        "[Mentu]\r\nNinzu=3\r\n",
        "[Mentu]\r\nNinzu=-4\r\n",
        "[Sanka2]\r\nSex=x\r\n",
        "[Sanka2]\r\nSex=-1\r\n",
    };
    for (const char* rest : files) {
        writeIni(rest);
        const std::string before = readBytes(ini);
        const SettingsReport report = read();
        EXPECT_EQ(report.status, SettingsStatus::Fatal) << rest;
        EXPECT_FALSE(report.ok());
        EXPECT_FALSE(report.problem.empty());
        EXPECT_EQ(readBytes(ini), before) << rest;
    }
    for (const char* score : {"32768", "-32769", "32767.5", "99999999999999999999999"}) {
        writeBytes(ini, std::string("[HiScore]\r\nScore=") + score + "\r\n");
        EXPECT_EQ(read().status, SettingsStatus::Fatal) << score;
    }
}

TEST_F(SettingsFile, MembersBeyondTheCountAreNotReadAndTwentyIsTheLimit) {
    writeIni("[Mentu]\r\nNinzu=20\r\n[Sanka20]\r\nName=last\r\nSex=x\r\n");
    EXPECT_EQ(read().status, SettingsStatus::Fatal);  // member 20 is read, its Sex is bad
    writeIni("[Mentu]\r\nNinzu=19\r\n[Sanka20]\r\nName=last\r\nSex=x\r\n");
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.memberCount, 19);
}

TEST_F(SettingsFile, TheInstallFlagGoesFromZeroToOneOnceKeepingTheRest) {
    const std::string rest = "; my notes\r\n[Extra]\r\nKeep=this\r\n\r\n[active]\r\nocx_flg=0\r\n[Mentu]\r\nNinzu=4\r\n";
    writeIni(rest);
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(readBytes(ini), sjis("[HiScore]\r\nScore=250\r\n; my notes\r\n[Extra]\r\nKeep=this\r\n\r\n"
                                   "[active]\r\nocx_flg=1\r\n[Mentu]\r\nNinzu=4\r\n"));

    for (const char* flag : {"1", "", "x0"}) {
        writeIni(std::string("[Active]\r\nOcx_Flg=") + flag + "\r\n");
        const std::string before = readBytes(ini);
        ASSERT_TRUE(read().ok());
        EXPECT_EQ(readBytes(ini), before) << flag;
    }
    writeIni("[Active]\r\nOcx_Flg=0 (not yet)\r\n");
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(profile::readString(ini, "Active", "Ocx_Flg", "", 100), "1");
}

TEST_F(SettingsFile, ASettingsFileThatCannotBeCreatedIsFatalNotALoop) {
    writeBytes(folder / "help", "a file where the folder should be");
    const SettingsReport report = read();
    EXPECT_EQ(report.status, SettingsStatus::Fatal);
    EXPECT_FALSE(report.problem.empty());
    EXPECT_EQ(writeDefaultSettings(state, where).status, SettingsStatus::Fatal);
}

TEST(SettingsLocation, TheProgramFolderHoldsThisTestProgram) {
    const std::filesystem::path folder = programFolder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(std::filesystem::exists(folder / "records_tests"));
    EXPECT_EQ(programSettingsLocation().file(), folder / "help" / "Vantel.ini");
}

TEST_F(SettingsFile, TheStrengthReadsAsNormalUnlessTheFileNamesAnotherAndIsWrittenAlone) {
    // A file of before the strengths plays ふつう, and so does a value this
    // version does not know.
    writeIni("[Mentu]\r\nNinzu=4\r\n");
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.strength, Strength::Normal);
    writeIni("[Settei]\r\nTuyosa=9\r\n");
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.strength, Strength::Normal);

    // Choosing one adds its one key and leaves every other byte as it was.
    writeIni("[Mentu]\r\nNinzu=4\r\n");
    const std::string before = readBytes(ini);
    ASSERT_TRUE(writeStrength(ini, Strength::Hard));
    EXPECT_EQ(readBytes(ini), before + "[Settei]\r\nTuyosa=3\r\n");
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.strength, Strength::Hard);
    ASSERT_TRUE(writeStrength(ini, Strength::Easy));
    EXPECT_EQ(readBytes(ini), before + "[Settei]\r\nTuyosa=1\r\n");
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.strength, Strength::Easy);
}

TEST_F(SettingsFile, TheFriendsPlaceIsKeptInItsOwnSectionAndReadsSafely) {
    // Nothing kept yet, or values that are not a port: the defaults.
    writeIni("[Mentu]\r\nNinzu=4\r\n");
    EXPECT_EQ(readFriendsPlace(ini), FriendsPlace{});
    for (const char* port : {"0", "65536", "-1", "77x", ""}) {
        writeIni(std::string("[Tomodati]\r\nPooto=") + port + "\r\n");
        EXPECT_EQ(readFriendsPlace(ini).port, 7777) << port;
    }
    // Kept and read back, Japanese names too; every other byte stays.
    writeIni("[Mentu]\r\nNinzu=4\r\n");
    const std::string before = readBytes(ini);
    const FriendsPlace place{"127.0.0.1", 8080, "ゆき"};
    ASSERT_TRUE(writeFriendsPlace(ini, place));
    EXPECT_EQ(readFriendsPlace(ini), place);
    EXPECT_EQ(readBytes(ini).rfind(before, 0), 0u);
    ASSERT_TRUE(read().ok());
    EXPECT_EQ(state.memberCount, 4);
}

}  // namespace
}  // namespace vantel
