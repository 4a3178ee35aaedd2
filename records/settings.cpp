// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/settings.h"

#include <charconv>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/profile/profile.h"
#include "game/dialogue.h"
#include "records/numeric_text.h"

namespace vantel {

const std::array<std::string_view, 5> kDefaultMemberNames = {"", "あやや", "ゆうこ", "はるか", "みさこ"};

const std::array<std::string_view, kSoundFiles + 1> kDefaultSoundFileNames = {
    "",
    "Cafe_GM.mid",
    "b01_クリア.mid",
    "b02_ゲームオーバー.mid",
    "DX_Jingle10.mid",
    "DX_Jingle14.mid",
    "yatta.wav",
    "katta.wav",
};

std::string rankSection(int row) { return "Lank" + std::to_string(row); }
std::string memberSection(int member) { return "Sanka" + std::to_string(member); }
std::string memberImageKey(int picture) { return "Gazo" + std::to_string(picture); }
std::string femaleLineKey(int line) { return "Kotoba" + std::to_string(line); }
std::string maleLineKey(int line) { return "Kotoba2" + std::to_string(line); }
std::string soundFileKey(int sound) { return "Oto" + std::to_string(sound); }

namespace {

constexpr int kDefaultMembers = 4;
constexpr int kMinMembers = 4;

std::filesystem::path absoluteFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    if (ec) absolute = folder;
    return absolute.lexically_normal();
}

std::string inFolder(const std::filesystem::path& programFolder, std::string_view sub,
                     std::string_view name) {
    return (absoluteFolder(programFolder) / sub / name).generic_string();
}

// The settings file's keys in the order the factory file lists them.
std::vector<profile::KeyValue> defaultEntries(const std::filesystem::path& folder) {
    std::vector<profile::KeyValue> entries;
    const auto add = [&](std::string section, std::string key, std::string value) {
        entries.push_back({std::move(section), std::move(key), std::move(value)});
    };
    add("HiScore", "Player", "???");
    add("HiScore", "Score", "100");
    for (int row = 1; row <= kRankRows; ++row) {
        for (const char* key : {"Name", "Ten", "Date", "Time"}) add(rankSection(row), key, "");
    }
    add("Mentu", "Ninzu", std::to_string(kDefaultMembers));
    for (int member = 1; member <= kMaxMembers; ++member) {
        const bool factory = member <= kDefaultMembers;
        add(memberSection(member), "Name", factory ? std::string(kDefaultMemberNames[member]) : "");
        for (int picture = 1; picture <= kPicturesPerMember; ++picture) {
            add(memberSection(member), memberImageKey(picture),
                factory ? defaultMemberImage(folder, member, picture) : "");
        }
        add(memberSection(member), "Sex", factory ? "1" : "");
    }
    for (int line = 1; line <= kLinesPerSet; ++line) {
        add("Serifu", femaleLineKey(line), std::string(kDefaultFemaleLines[line]));
    }
    for (int line = 1; line <= kLinesPerSet; ++line) {
        add("Serifu", maleLineKey(line), std::string(kDefaultMaleLines[line]));
    }
    for (int sound = 1; sound <= kSoundFiles; ++sound) {
        add("Saundo", soundFileKey(sound), defaultSoundFile(folder, sound));
    }
    add("Active", "Ocx_Flg", "0");
    return entries;
}

// A settings file that is there but cannot be opened (no permission) must
// not be taken for a missing one and overwritten with the factory values.
bool presentButUnreadable(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    ::close(fd);
    return false;
}

SettingsReport fatal(std::string problem) { return {SettingsStatus::Fatal, std::move(problem)}; }

std::string describe(std::string_view section, std::string_view key, std::string_view text,
                     std::string_view why) {
    return std::string(section) + "/" + std::string(key) + " = \"" + std::string(text) + "\": " +
           std::string(why);
}

SettingsReport writeDefaults(MatchState& state, const SettingsLocation& where, bool mayRetry,
                             bool onlyWithoutHighScore);

// One pass over the file. `mayWriteDefaults` is false for the read that
// follows the factory write, so a file that cannot be created ends in a
// settings error instead of writing and reading without end.
SettingsReport readOnce(MatchState& state, const SettingsLocation& where, bool mayWriteDefaults) {
    state.iniPath = where.file().string();
    const std::filesystem::path file = state.iniPath;
    const auto read = [&](std::string_view section, std::string_view key, std::size_t buffer,
                          std::string_view fallback = "") {
        return profile::readString(file, section, key, fallback, buffer);
    };

    const RecordsReport records = readRecords(read, state);
    if (records.status == RecordsStatus::NoHighScore) {
        if (presentButUnreadable(file)) return fatal("the settings file cannot be read: " + state.iniPath);
        if (!mayWriteDefaults) return fatal("the settings file cannot be written: " + state.iniPath);
        return writeDefaults(state, where, false, true);
    }
    if (records.status == RecordsStatus::Refused) return fatal(records.problem);

    const std::string ninzu = read("Mentu", "Ninzu", kMemberCountBuffer, "4");
    const NumberText count = toInt32(ninzu);
    if (count.status != NumberStatus::Ok) return fatal(describe("Mentu", "Ninzu", ninzu, "not a number"));
    // Fewer than four members cannot fill the four seats.
    if (count.value < kMinMembers || count.value > kMaxMembers) {
        return fatal(describe("Mentu", "Ninzu", ninzu, "outside 4..20"));
    }
    state.memberCount = count.value;

    for (int member = 1; member <= state.memberCount; ++member) {
        const std::string section = memberSection(member);
        state.memberName[member] = read(section, "Name", kMemberNameBuffer);
        for (int picture = 1; picture <= kPicturesPerMember; ++picture) {
            state.memberImage[member][picture] = read(section, memberImageKey(picture), kMemberImageBuffer);
        }
        const std::string sex = read(section, "Sex", kMemberSexBuffer, "1");
        const NumberText lineSet = toInt32(sex);
        if (lineSet.status != NumberStatus::Ok) return fatal(describe(section, "Sex", sex, "not a number"));
        // The line set is the first digit of the number ("2" gives 2, "12"
        // gives 1); a negative number has no leading digit.
        if (lineSet.value < 0) return fatal(describe(section, "Sex", sex, "negative"));
        int32_t firstDigit = lineSet.value;
        while (firstDigit >= 10) firstDigit /= 10;
        state.memberSex[member] = static_cast<int16_t>(firstDigit);
    }

    state.selectionPhase = 1;

    for (int line = 1; line <= kLinesPerSet; ++line) {
        state.femaleLines[line] = read("Serifu", femaleLineKey(line), kLineBuffer);
    }
    for (int line = 1; line <= kLinesPerSet; ++line) {
        state.maleLines[line] = read("Serifu", maleLineKey(line), kLineBuffer);
    }
    for (int sound = 1; sound <= kSoundFiles; ++sound) {
        state.soundFiles[sound] = read("Saundo", soundFileKey(sound), kSoundFileBuffer);
    }

    // The strength is a later addition: a file without it, or with a value
    // this version does not know, plays ふつう.
    state.strength =
        strengthFromValue(read(kStrengthSection, kStrengthKey, kStrengthBuffer)).value_or(kDefaultStrength);

    // First run: the Windows program installed its tab control here. There
    // is nothing to install on this platform, but the flag still records
    // that the step ran. A failed write is ignored; the step runs again on
    // the next read.
    const std::string installed = read("Active", "Ocx_Flg", kInstallFlagBuffer);
    if (!installed.empty() && installed.front() == '0') {
        profile::writeStringsLocked(file, {{"Active", "Ocx_Flg", "1"}});
    }
    return {SettingsStatus::Read, {}};
}

// A file that exists but has no high score is about to lose its ranking
// and members to the factory values; keep a copy of it beside the new one.
void keepBackup(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec) || std::filesystem::file_size(file, ec) == 0 || ec) {
        return;
    }
    std::filesystem::path backup = file;
    backup += ".bak";
    std::filesystem::copy_file(file, backup, std::filesystem::copy_options::overwrite_existing, ec);
}

SettingsReport writeDefaults(MatchState& state, const SettingsLocation& where, bool mayRetry,
                             bool onlyWithoutHighScore) {
    state.iniPath = where.file().string();
    bool written = false;
    // One replacement of the file: a factory file is complete or absent.
    // A failed write shows in the read that follows (no high score).
    profile::updateStrings(state.iniPath, [&](const std::optional<std::string>& bytes) {
        // Another copy that found no file either may have made it meanwhile,
        // and may have recorded a match in it since.
        if (onlyWithoutHighScore && bytes &&
            !profile::readStringFromText(*bytes, "HiScore", "Score", "", kScoreBuffer).empty()) {
            return std::vector<profile::KeyValue>{};
        }
        keepBackup(state.iniPath);
        written = true;
        return defaultEntries(where.programFolder);
    });
    SettingsReport report = readOnce(state, where, mayRetry);
    if (written && report.status == SettingsStatus::Read) report.status = SettingsStatus::DefaultsWritten;
    return report;
}

}  // namespace

RecordsReport readRecords(const SettingsKeyReader& read, MatchState& state) {
    const auto refused = [](std::string problem) {
        return RecordsReport{RecordsStatus::Refused, std::move(problem)};
    };
    state.hiScore = 100;
    state.hiScorePlayer = "???";
    const std::string score = read("HiScore", "Score", kScoreBuffer, "");
    if (score.empty()) return {RecordsStatus::NoHighScore, {}};
    const NumberText hiScore = toInt16(score);
    if (hiScore.status == NumberStatus::OutOfRange) {
        return refused(describe("HiScore", "Score", score, "does not fit 16 bits"));
    }
    if (hiScore.status == NumberStatus::Ok) state.hiScore = static_cast<int16_t>(hiScore.value);
    std::string player = read("HiScore", "Player", kPlayerBuffer, "");
    if (!player.empty()) state.hiScorePlayer = std::move(player);

    for (int row = 1; row <= kRankRows; ++row) {
        const std::string section = rankSection(row);
        state.rankName[row] = read(section, "Name", kRankNameBuffer, "");
        const std::string ten = read(section, "Ten", kRankPointsBuffer, "100");
        const NumberText points = toInt32(ten);
        if (points.status != NumberStatus::Ok) return refused(describe(section, "Ten", ten, "not a 32-bit number"));
        state.rankPoints[row] = points.value;
        state.rankDate[row] = read(section, "Date", kRankDateBuffer, "");
        state.rankTime[row] = read(section, "Time", kRankTimeBuffer, "");
    }
    return {};
}

std::string defaultMemberImage(const std::filesystem::path& programFolder, int member, int picture) {
    const std::string name =
        "shojo" + std::to_string(member) + "_0" + std::to_string(picture) + ".jpg";
    return inFolder(programFolder, "gazou", name);
}

std::string defaultSoundFile(const std::filesystem::path& programFolder, int sound) {
    if (sound < 1 || sound > kSoundFiles) return {};
    return inFolder(programFolder, "sound", kDefaultSoundFileNames[sound]);
}

std::filesystem::path programFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.has_parent_path()) return exe.parent_path();
    std::filesystem::path current = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path(".") : current;
}

bool holdsGameData(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(folder / "gazou", ec) || std::filesystem::is_directory(folder / "sound", ec);
}

std::filesystem::path installedDataFolder(const std::filesystem::path& programFolder) {
    // VANTEL_DATA_FROM_PROGRAM is the package's data folder relative to its
    // program folder, from the build's description of the layout.
    return (programFolder / VANTEL_DATA_FROM_PROGRAM).lexically_normal();
}

std::filesystem::path SettingsLocation::file() const {
    if (!settingsFile.empty()) return settingsFile;
    return programFolder / "help" / "Vantel.ini";
}

namespace {

// Creates a file in `folder` and removes it again: the one answer that holds
// for permissions, access lists, read-only mounts and immutable folders
// alike. An unnamed file leaves nothing behind even if the program is killed
// meanwhile; file systems without them get a named one.
bool canCreateFilesIn(const std::filesystem::path& folder) {
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR) return false;
    std::string probe = (folder / ".vantel-write-check.XXXXXX").string();
    fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::optional<std::filesystem::path> absolutePath(const std::optional<std::string>& text) {
    if (!text || text->empty()) return std::nullopt;
    std::filesystem::path path(*text);
    if (!path.is_absolute()) return std::nullopt;
    return path;
}

std::optional<std::filesystem::path> userDatabaseHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (found == nullptr || found->pw_dir == nullptr) return std::nullopt;
    return absolutePath(std::string(found->pw_dir));
}

}  // namespace

SettingsEnvironment systemSettingsEnvironment() {
    SettingsEnvironment environment;
    environment.variable = [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        if (value == nullptr) return std::nullopt;
        return std::string(value);
    };
    environment.userHome = userDatabaseHome;
    environment.ownHelpWritable = helpFolderWritable;
    environment.holdsData = holdsGameData;
    return environment;
}

bool helpFolderWritable(const std::filesystem::path& folder) {
    std::error_code ec;
    const std::filesystem::path help = folder / "help";
    if (std::filesystem::is_directory(help, ec)) return canCreateFilesIn(help);
    return canCreateFilesIn(folder);
}

std::optional<std::filesystem::path> userDataFolder(const SettingsEnvironment& environment) {
    const auto variable = [&](const char* name) -> std::optional<std::string> {
        if (!environment.variable) return std::nullopt;
        return environment.variable(name);
    };
    // A relative XDG_DATA_HOME is to be ignored, as if it were not set.
    if (auto data = absolutePath(variable("XDG_DATA_HOME"))) return data->lexically_normal();
    std::optional<std::filesystem::path> home = absolutePath(variable("HOME"));
    if (!home && environment.userHome) home = environment.userHome();
    if (!home || !home->is_absolute()) return std::nullopt;
    return (*home / ".local" / "share").lexically_normal();
}

SettingsLocation settingsLocationFor(const std::filesystem::path& folder,
                                     const SettingsEnvironment& environment) {
    if (environment.holdsData && !environment.holdsData(folder)) {
        const std::filesystem::path installed = installedDataFolder(folder);
        if (environment.holdsData(installed)) {
            const std::optional<std::filesystem::path> data = userDataFolder(environment);
            if (!data) return {installed, folder / "help" / "Vantel.ini"};
            return {installed, *data / "vantel" / "help" / "Vantel.ini"};
        }
    }
    if (environment.ownHelpWritable && environment.ownHelpWritable(folder)) return {folder, {}};
    const std::optional<std::filesystem::path> data = userDataFolder(environment);
    if (!data) return {folder, {}};
    return {folder, *data / "vantel" / "help" / "Vantel.ini"};
}

SettingsLocation programSettingsLocation() {
    return settingsLocationFor(programFolder(), systemSettingsEnvironment());
}

SettingsReport readSettings(MatchState& state, const SettingsLocation& where) {
    return readOnce(state, where, true);
}

SettingsReport writeDefaultSettings(MatchState& state, const SettingsLocation& where) {
    return writeDefaults(state, where, true, false);
}

bool writeStrength(const std::filesystem::path& file, Strength strength) {
    return profile::writeStringsLocked(
        file, {{std::string(kStrengthSection), std::string(kStrengthKey), std::string(strengthValue(strength))}});
}

namespace {

// The longest address (a DNS name) and name the section keeps.
constexpr std::size_t kAddressBuffer = 256;
constexpr std::size_t kFriendsNameBuffer = 64;

}  // namespace

FriendsPlace readFriendsPlace(const std::filesystem::path& file) {
    FriendsPlace place;
    place.address = profile::readString(file, kFriendsSection, "Adoresu", "", kAddressBuffer);
    place.name = profile::readString(file, kFriendsSection, "Namae", "", kFriendsNameBuffer);
    const std::string port = profile::readString(file, kFriendsSection, "Pooto", "", 8);
    int value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error == std::errc() && end == port.data() + port.size() && value >= 1 && value <= 65535) place.port = value;
    return place;
}

bool writeFriendsPlace(const std::filesystem::path& file, const FriendsPlace& place) {
    const std::string section(kFriendsSection);
    return profile::writeStringsLocked(file, {{section, "Adoresu", place.address},
                                              {section, "Pooto", std::to_string(place.port)},
                                              {section, "Namae", place.name}});
}

}  // namespace vantel
