// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where the running program keeps its settings file: in its own help/ folder
// when it can write there, else in the user's data folder; and where an
// installed game finds its pictures and sounds. The choice is tested with
// made-up environments, the writability check and the writing itself on
// real folders.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/profile/profile.h"
#include "records/settings.h"
#include "tests/platform/file_fixtures.h"

namespace vantel {
namespace {

using testing::TempFolder;
using testing::writeBytes;

const std::filesystem::path kProgram = "/opt/vantel";

// An environment with the given variables, user database home and answer of
// the writability check; the check records the folders it was asked about.
struct FakeEnvironment {
    std::map<std::string, std::string> variables;
    std::optional<std::filesystem::path> databaseHome;
    bool writable = false;
    std::vector<std::filesystem::path> asked;
    // The folders that hold pictures and sounds; unset: the check is not given.
    std::optional<std::vector<std::filesystem::path>> dataFolders;

    SettingsEnvironment get() {
        SettingsEnvironment environment;
        environment.variable = [this](const std::string& name) -> std::optional<std::string> {
            const auto found = variables.find(name);
            if (found == variables.end()) return std::nullopt;
            return found->second;
        };
        environment.userHome = [this] { return databaseHome; };
        environment.ownHelpWritable = [this](const std::filesystem::path& folder) {
            asked.push_back(folder);
            return writable;
        };
        if (dataFolders) {
            environment.holdsData = [this](const std::filesystem::path& folder) {
                return std::find(dataFolders->begin(), dataFolders->end(), folder) != dataFolders->end();
            };
        }
        return environment;
    }
};

std::filesystem::path settingsFile(FakeEnvironment& fake) {
    const SettingsLocation where = settingsLocationFor(kProgram, fake.get());
    // The pictures and sounds stay in the program folder whatever happens.
    EXPECT_EQ(where.programFolder, kProgram);
    return where.file();
}

TEST(SettingsLocationChoice, AWritableProgramFolderKeepsItsOwnHelpFolder) {
    FakeEnvironment fake;
    fake.writable = true;
    fake.variables = {{"HOME", "/home/player"}, {"XDG_DATA_HOME", "/home/player/data"}};
    const SettingsLocation where = settingsLocationFor(kProgram, fake.get());
    EXPECT_EQ(where.programFolder, kProgram);
    EXPECT_TRUE(where.settingsFile.empty());
    EXPECT_EQ(where.file(), "/opt/vantel/help/Vantel.ini");
    ASSERT_EQ(fake.asked.size(), 1u);
    EXPECT_EQ(fake.asked[0], kProgram);
}

TEST(SettingsLocationChoice, AnUnwritableProgramFolderUsesTheDataHome) {
    FakeEnvironment fake;
    fake.variables = {{"HOME", "/home/player"}, {"XDG_DATA_HOME", "/srv/data/player"}};
    EXPECT_EQ(settingsFile(fake), "/srv/data/player/vantel/help/Vantel.ini");
    ASSERT_EQ(fake.asked.size(), 1u);
    EXPECT_EQ(fake.asked[0], kProgram);
}

TEST(SettingsLocationChoice, ADataHomeIsTakenInItsPlainForm) {
    FakeEnvironment fake;
    fake.variables = {{"HOME", "/home/player"}, {"XDG_DATA_HOME", "/srv//data/./player/"}};
    EXPECT_EQ(settingsFile(fake), "/srv/data/player/vantel/help/Vantel.ini");
}

TEST(SettingsLocationChoice, WithoutADataHomeTheHomeFoldersLocalShareIsUsed) {
    FakeEnvironment fake;
    fake.variables = {{"HOME", "/home/player"}};
    fake.databaseHome = "/home/elsewhere";
    EXPECT_EQ(settingsFile(fake), "/home/player/.local/share/vantel/help/Vantel.ini");
}

TEST(SettingsLocationChoice, AnEmptyOrRelativeDataHomeCountsAsUnset) {
    for (const char* data : {"", "data", "./share", "~/.local/share"}) {
        FakeEnvironment fake;
        fake.variables = {{"HOME", "/home/player"}, {"XDG_DATA_HOME", data}};
        EXPECT_EQ(settingsFile(fake), "/home/player/.local/share/vantel/help/Vantel.ini")
            << "XDG_DATA_HOME=" << data;
    }
}

TEST(SettingsLocationChoice, WithoutAUsableHomeVariableTheUserDatabaseGivesTheHome) {
    FakeEnvironment unset;
    unset.databaseHome = "/var/lib/player";
    EXPECT_EQ(settingsFile(unset), "/var/lib/player/.local/share/vantel/help/Vantel.ini");
    for (const char* home : {"", "player", "../player"}) {
        FakeEnvironment fake;
        fake.variables = {{"HOME", home}};
        fake.databaseHome = "/var/lib/player";
        EXPECT_EQ(settingsFile(fake), "/var/lib/player/.local/share/vantel/help/Vantel.ini")
            << "HOME=" << home;
    }
}

TEST(SettingsLocationChoice, ADataHomeNeedsNoHomeFolder) {
    FakeEnvironment fake;
    fake.variables = {{"XDG_DATA_HOME", "/srv/data"}};
    EXPECT_EQ(settingsFile(fake), "/srv/data/vantel/help/Vantel.ini");
}

TEST(SettingsLocationChoice, WithNoHomeFolderAtAllTheOwnHelpFolderRemains) {
    FakeEnvironment fake;
    EXPECT_EQ(settingsFile(fake), "/opt/vantel/help/Vantel.ini");
    FakeEnvironment relative;
    relative.variables = {{"HOME", "home"}};
    relative.databaseHome = "relative/home";
    EXPECT_EQ(settingsFile(relative), "/opt/vantel/help/Vantel.ini");
    EXPECT_FALSE(userDataFolder(relative.get()).has_value());
}

TEST(SettingsLocationChoice, TheSystemEnvironmentReadsTheRealVariables) {
    const SettingsEnvironment environment = systemSettingsEnvironment();
    ASSERT_TRUE(environment.variable && environment.userHome && environment.ownHelpWritable);
    ASSERT_EQ(::setenv("VANTEL_LOCATION_TEST", "/some/where", 1), 0);
    EXPECT_EQ(environment.variable("VANTEL_LOCATION_TEST"), std::optional<std::string>("/some/where"));
    ASSERT_EQ(::unsetenv("VANTEL_LOCATION_TEST"), 0);
    EXPECT_FALSE(environment.variable("VANTEL_LOCATION_TEST").has_value());
    // Every user the tests run as has an absolute home in the user database.
    const auto home = environment.userHome();
    ASSERT_TRUE(home.has_value());
    EXPECT_TRUE(home->is_absolute());
}

// ---- an installed game: program and data in the games layout -----------------------------

const std::filesystem::path kInstalledProgram = "/usr/lib/games/vantel";
const std::filesystem::path kInstalledData = "/usr/share/games/vantel";

TEST(InstalledGame, TheDataFolderIsFoundFromTheProgramFolder) {
    EXPECT_EQ(installedDataFolder(kInstalledProgram), kInstalledData);
    EXPECT_EQ(installedDataFolder("/usr/lib/games/vantel/"), kInstalledData);
    EXPECT_EQ(installedDataFolder("/usr/local/lib/games/vantel"), "/usr/local/share/games/vantel");
}

TEST(InstalledGame, TakesItsDataFromTheGamesFolderAndItsSettingsFromTheUserWhoeverRunsIt) {
    FakeEnvironment fake;
    fake.dataFolders = {{kInstalledData}};
    fake.writable = true;  // root may write to /usr/lib/games/vantel
    fake.variables = {{"HOME", "/root"}};
    const SettingsLocation where = settingsLocationFor(kInstalledProgram, fake.get());
    EXPECT_EQ(where.programFolder, kInstalledData);
    EXPECT_EQ(where.file(), "/root/.local/share/vantel/help/Vantel.ini");
    EXPECT_TRUE(fake.asked.empty()) << "an installed game never keeps settings in its own folder";

    FakeEnvironment noHome;
    noHome.dataFolders = {{kInstalledData}};
    const SettingsLocation without = settingsLocationFor(kInstalledProgram, noHome.get());
    EXPECT_EQ(without.programFolder, kInstalledData);
    EXPECT_EQ(without.file(), "/usr/lib/games/vantel/help/Vantel.ini");
}

TEST(InstalledGame, AProgramFolderWithItsOwnDataStaysAllInOne) {
    // Data beside the program wins over a games data folder next to it.
    FakeEnvironment both;
    both.dataFolders = {{kInstalledProgram, kInstalledData}};
    both.writable = true;
    const SettingsLocation own = settingsLocationFor(kInstalledProgram, both.get());
    EXPECT_EQ(own.programFolder, kInstalledProgram);
    EXPECT_EQ(own.file(), "/usr/lib/games/vantel/help/Vantel.ini");

    // No data anywhere: the program folder, as before.
    FakeEnvironment none;
    none.dataFolders = std::vector<std::filesystem::path>{};
    none.variables = {{"HOME", "/home/player"}};
    const SettingsLocation bare = settingsLocationFor(kProgram, none.get());
    EXPECT_EQ(bare.programFolder, kProgram);
    EXPECT_EQ(bare.file(), "/home/player/.local/share/vantel/help/Vantel.ini");
}

// ---- the writability check on real folders ----------------------------------------------

std::size_t entries(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
    return count;
}

TEST(HelpFolderWritable, AFolderOfOurOwnIsWritableAndTheCheckLeavesNothingBehind) {
    TempFolder folder;
    EXPECT_TRUE(helpFolderWritable(folder.path()));
    EXPECT_EQ(entries(folder.path()), 0u);
    std::filesystem::create_directory(folder / "help");
    EXPECT_TRUE(helpFolderWritable(folder.path()));
    EXPECT_EQ(entries(folder.path()), 1u);
    EXPECT_EQ(entries(folder / "help"), 0u);
}

TEST(HelpFolderWritable, AMissingProgramFolderIsNotWritable) {
    TempFolder folder;
    EXPECT_FALSE(helpFolderWritable(folder / "not-there"));
    writeBytes(folder / "a-file", "not a folder");
    EXPECT_FALSE(helpFolderWritable(folder / "a-file"));
}

// The answer of helpFolderWritable(folder) for a user who owns nothing here:
// a child process that gives up root (to the user nobody) or, for a user,
// the same process with the folder made read-only. -1 when it cannot run.
int unprivilegedAnswer(const std::filesystem::path& folder) {
    if (::geteuid() != 0) {
        ::chmod(folder.c_str(), 0555);
        const bool writable = helpFolderWritable(folder);
        ::chmod(folder.c_str(), 0755);
        return writable ? 1 : 0;
    }
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
            ::setresuid(65534, 65534, 65534) != 0) {
            ::_exit(3);
        }
        ::_exit(helpFolderWritable(folder) ? 1 : 0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code <= 1 ? code : -1;
}

TEST(HelpFolderWritable, AFolderTheUserCannotWriteToIsNotWritable) {
    TempFolder folder;
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    EXPECT_EQ(unprivilegedAnswer(folder.path()), 0) << "no help/ folder yet";
    std::filesystem::create_directory(folder / "help");
    ASSERT_EQ(::chmod((folder / "help").c_str(), 0755), 0);
    EXPECT_EQ(unprivilegedAnswer(folder.path()), 0) << "an installed, empty help/ folder";
    // The check itself runs: the same folders are writable for their owner.
    EXPECT_TRUE(helpFolderWritable(folder.path()));
}

TEST(HelpFolderWritable, AWritableHelpFolderInAReadOnlyProgramFolderIsUsed) {
    TempFolder folder;
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    std::filesystem::create_directory(folder / "help");
    ASSERT_EQ(::chmod((folder / "help").c_str(), 0777), 0);
    EXPECT_EQ(unprivilegedAnswer(folder.path()), 1);
}

// ---- the settings file in the data folder -------------------------------------------------

TEST(SettingsInTheDataFolder, TheFirstRunMakesTheFoldersAndPointsIntoTheProgramFolder) {
    TempFolder program;
    TempFolder home;
    FakeEnvironment fake;
    fake.variables = {{"HOME", home.path().string()}};
    const SettingsLocation where = settingsLocationFor(program.path(), fake.get());
    const std::filesystem::path expected = home / ".local/share/vantel/help/Vantel.ini";
    ASSERT_EQ(where.file(), expected);

    MatchState state;
    EXPECT_EQ(readSettings(state, where).status, SettingsStatus::DefaultsWritten);
    EXPECT_TRUE(std::filesystem::is_regular_file(expected));
    EXPECT_EQ(state.iniPath, expected.string());
    EXPECT_EQ(entries(program.path()), 0u) << "nothing is written into the program folder";
    const std::string gazou = (program.path() / "gazou").generic_string();
    EXPECT_EQ(profile::readString(expected, "Sanka1", "Gazo1", "", 100), gazou + "/shojo1_01.jpg");
    EXPECT_EQ(state.memberImage[4][4], gazou + "/shojo4_04.jpg");
    EXPECT_EQ(state.soundFiles[6], (program.path() / "sound" / "yatta.wav").generic_string());

    // The next start reads the same file back.
    MatchState again;
    EXPECT_EQ(readSettings(again, where).status, SettingsStatus::Read);
    EXPECT_EQ(again.memberName[1], "あやや");
}

TEST(SettingsInTheDataFolder, AnInstalledGameOnDiskPointsIntoItsGamesDataFolder) {
    TempFolder prefix;
    TempFolder home;
    const std::filesystem::path program = prefix / "lib/games/vantel";
    const std::filesystem::path data = prefix / "share/games/vantel";
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(data / "gazou");
    std::filesystem::create_directories(data / "sound");
    SettingsEnvironment environment = systemSettingsEnvironment();
    const std::string homeText = home.path().string();
    environment.variable = [homeText](const std::string& name) -> std::optional<std::string> {
        if (name == "HOME") return homeText;
        return std::nullopt;
    };
    const SettingsLocation where = settingsLocationFor(program, environment);
    ASSERT_EQ(where.file(), home / ".local/share/vantel/help/Vantel.ini");

    MatchState state;
    EXPECT_EQ(readSettings(state, where).status, SettingsStatus::DefaultsWritten);
    EXPECT_EQ(entries(program), 0u) << "nothing is written into the writable program folder";
    EXPECT_EQ(state.memberImage[1][1], (data / "gazou" / "shojo1_01.jpg").generic_string());
    EXPECT_EQ(state.soundFiles[1], (data / "sound" / "Cafe_GM.mid").generic_string());

    // The same program folder with pictures of its own is all in one again.
    std::filesystem::create_directories(program / "gazou");
    EXPECT_EQ(settingsLocationFor(program, environment).file(), program / "help" / "Vantel.ini");
}

}  // namespace
}  // namespace vantel
