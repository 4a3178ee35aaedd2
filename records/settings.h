// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings file help/Vantel.ini: high score, best-ten ranking, members,
// dialogue lines, sound files and the one-time installation flag.
//
// readSettings loads every key into the match state; writeDefaultSettings
// writes a complete file of factory values and reads it back. Neither shows
// a window: a settings file the game cannot use is reported to the caller,
// which shows kSettingsErrorText under kSettingsErrorTitle and ends the
// program.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "records/match_state.h"

namespace vantel {

inline constexpr std::string_view kSettingsErrorText =
    "初期値ファイルの処理でエラーが発生しました。\r\nソフトウェアの解凍からやり直して下さい。";
inline constexpr std::string_view kSettingsErrorTitle = "初期値ファイルエラー";

// Read buffer sizes of the settings keys, in bytes of the file's code page;
// a value keeps at most one byte less.
inline constexpr std::size_t kScoreBuffer = 25;
inline constexpr std::size_t kPlayerBuffer = 255;
inline constexpr std::size_t kRankNameBuffer = 10;
inline constexpr std::size_t kRankPointsBuffer = 10;
inline constexpr std::size_t kRankDateBuffer = 20;
inline constexpr std::size_t kRankTimeBuffer = 20;
inline constexpr std::size_t kMemberCountBuffer = 10;
inline constexpr std::size_t kMemberNameBuffer = 10;
inline constexpr std::size_t kMemberImageBuffer = 100;
inline constexpr std::size_t kMemberSexBuffer = 10;
inline constexpr std::size_t kLineBuffer = 100;
inline constexpr std::size_t kSoundFileBuffer = 100;
inline constexpr std::size_t kInstallFlagBuffer = 100;
inline constexpr std::size_t kStrengthBuffer = 10;

// Section names of the numbered sections: "Lank1".."Lank10", "Sanka1".."Sanka20".
std::string rankSection(int row);
std::string memberSection(int member);
// Key names of the numbered keys: "Gazo1".."Gazo4", "Kotoba1".."Kotoba9",
// "Kotoba21".."Kotoba29", "Oto1".."Oto7".
std::string memberImageKey(int picture);
std::string femaleLineKey(int line);
std::string maleLineKey(int line);
std::string soundFileKey(int sound);

// Factory members 1..4 and sound files 1..7 (index 0 unused).
extern const std::array<std::string_view, 5> kDefaultMemberNames;
extern const std::array<std::string_view, kSoundFiles + 1> kDefaultSoundFileNames;
// Absolute paths of a factory picture (gazou/shojo<member>_0<picture>.jpg)
// and of a factory sound file (sound/<name>) in the program folder.
std::string defaultMemberImage(const std::filesystem::path& programFolder, int member, int picture);
std::string defaultSoundFile(const std::filesystem::path& programFolder, int sound);

// The folder the running program lies in, found from its own executable
// (/proc/self/exe); the current folder if that cannot be read.
std::filesystem::path programFolder();

// Whether `folder` holds the game's pictures or sounds (gazou/ or sound/).
bool holdsGameData(const std::filesystem::path& folder);

// Where an installed game's pictures and sounds lie, found from its program
// folder: Debian's games layout puts the program in <prefix>/lib/games/vantel
// and its data in <prefix>/share/games/vantel, so /usr/lib/games/vantel
// gives /usr/share/games/vantel.
std::filesystem::path installedDataFolder(const std::filesystem::path& programFolder);

// Where the settings live.
struct SettingsLocation {
    // Holds gazou/ and sound/ (the factory members and sounds point there)
    // and, unless settingsFile is given, help/Vantel.ini: the program folder
    // itself, or an installed game's data folder.
    std::filesystem::path programFolder;
    // A settings file to use instead of help/Vantel.ini (the simulator's
    // --settings option); read and written as the game reads and writes its own.
    std::filesystem::path settingsFile;

    // The settings file used: settingsFile, or programFolder/help/Vantel.ini.
    std::filesystem::path file() const;
};

// What choosing the running program's settings file asks of the system;
// tests give their own answers.
struct SettingsEnvironment {
    // The value of an environment variable; nothing when it is not set.
    std::function<std::optional<std::string>(const std::string& name)> variable;
    // The home folder the user database gives for this user; nothing when
    // there is none.
    std::function<std::optional<std::filesystem::path>()> userHome;
    // Whether the program can keep its settings file in its own help/ folder
    // (helpFolderWritable for the real program).
    std::function<bool(const std::filesystem::path& programFolder)> ownHelpWritable;
    // Whether a folder holds the game's pictures and sounds (holdsGameData
    // for the real program). Without it every program folder counts as
    // holding its own.
    std::function<bool(const std::filesystem::path& folder)> holdsData;
};

// The environment of the running program: its environment variables, the
// user database and the real file system.
SettingsEnvironment systemSettingsEnvironment();

// Whether a settings file can be written in programFolder/help/: help/ is a
// folder this process can create files in, or help/ is not a folder yet and
// the program folder takes new files (the writer then makes help/). Decided
// by creating a file and removing it again, so a read-only mount or an
// unwritable folder counts as unwritable for root as well as for a user.
bool helpFolderWritable(const std::filesystem::path& programFolder);

// The user's data folder: $XDG_DATA_HOME when it is an absolute path, else
// .local/share in the home folder ($HOME when absolute, else the user
// database's). Nothing when no home folder is known.
std::optional<std::filesystem::path> userDataFolder(const SettingsEnvironment& environment);

// Where a program lying in `programFolder` finds its pictures and sounds
// and keeps its settings.
// - A program folder with gazou/ and sound/ of its own (self-built, or laid
//   out by `cmake --install` and copied anywhere) is all in one: it keeps
//   help/Vantel.ini in it when it can write there, else
//   vantel/help/Vantel.ini in the user's data folder.
// - An installed game, whose program folder holds no data but whose
//   installedDataFolder does, takes its pictures and sounds from there and
//   always keeps vantel/help/Vantel.ini in the user's data folder: the
//   system's folders are no place for one user's settings, even root's.
// - A folder with neither is taken as all in one; its pictures then fail
//   to load quietly.
// Without any home folder the program's own help/ is used; writing there
// may then fail with the settings error.
SettingsLocation settingsLocationFor(const std::filesystem::path& programFolder,
                                     const SettingsEnvironment& environment);

// The running program's own settings: settingsLocationFor(programFolder(),
// systemSettingsEnvironment()).
SettingsLocation programSettingsLocation();

enum class SettingsStatus {
    Read,             // the file was read
    DefaultsWritten,  // it had no high score: factory values were written and read back
    Fatal,            // the file cannot be used: show the settings error and end the program
};

struct SettingsReport {
    SettingsStatus status = SettingsStatus::Read;
    // For Fatal: what is wrong (section, key and text), for logs and tools.
    // The user is shown kSettingsErrorText.
    std::string problem;

    bool ok() const { return status != SettingsStatus::Fatal; }
};

// Loads the settings file into `state`: iniPath, the high score and its
// holder, the ranking, the members (only the first memberCount), the lines,
// the sound files; sets selectionPhase to 1; turns the installation flag
// Active/Ocx_Flg from "0" to "1". A file without a high score is replaced by
// the factory file (writeDefaultSettings, which keeps a copy of the old
// one). The strength ([Settei] Tuyosa) reads as ふつう when it is missing or
// unknown. Fatal, with `state` partly loaded, for a non-numeric ranking
// total, member count or member line set, a member count outside 4..20, a
// high score or ranking total outside its integer type, a negative line
// set, or a factory file that cannot be written.
SettingsReport readSettings(MatchState& state, const SettingsLocation& where);

// How readRecords reads a key: section, key, buffer size and fallback, as
// profile::readString takes them.
using SettingsKeyReader = std::function<std::string(std::string_view section, std::string_view key,
                                                    std::size_t buffer, std::string_view fallback)>;

enum class RecordsStatus {
    Read,
    NoHighScore,  // HiScore/Score is missing or empty; nothing else was read
    Refused,      // a value readSettings ends the program for
};

struct RecordsReport {
    RecordsStatus status = RecordsStatus::Read;
    std::string problem;  // for Refused, as SettingsReport::problem
};

// The high score, its holder and the ten ranking rows, read into `state` by
// the rules of readSettings: the first steps of readSettings itself, and
// what a match end merges its result into.
RecordsReport readRecords(const SettingsKeyReader& read, MatchState& state);

// Keeps the strength chosen for the next matches in the settings file
// `file`; the one key [Settei] Tuyosa changes, nothing else. False when the
// file cannot be written.
bool writeStrength(const std::filesystem::path& file, Strength strength);

// Where the player last met friends over the network: [Tomodati] Adoresu
// (the host's address, text), Pooto (its port) and Namae (the name to sit
// down with). Missing or unreadable keys read as no address, port 7777 and
// no name.
struct FriendsPlace {
    std::string address;
    int port = 7777;
    std::string name;
    bool operator==(const FriendsPlace&) const = default;
};
inline constexpr std::string_view kFriendsSection = "Tomodati";
FriendsPlace readFriendsPlace(const std::filesystem::path& file);
// Keeps the three keys of [Tomodati]; nothing else in the file changes.
// False when the file cannot be written.
bool writeFriendsPlace(const std::filesystem::path& file, const FriendsPlace& place);

// Writes every key with its factory value, then reads the file back
// (readSettings). The old high score, ranking and members are overwritten;
// a non-empty old file is first copied to the same name plus ".bak".
SettingsReport writeDefaultSettings(MatchState& state, const SettingsLocation& where);

}  // namespace vantel
