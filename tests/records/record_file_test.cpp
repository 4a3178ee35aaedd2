// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The record file: every figure kept, every kind of bad file set aside as
// the .bak, whole after a kill at any moment of a write, and two processes
// recording into it at once.
#include "records/record_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>
#include <vector>

#include "records/match_recorder.h"
#include "records/seat_recorder.h"
#include "tests/platform/file_fixtures.h"
#include "tests/records/played_record.h"

namespace vantel {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

std::string text(const QJsonValue& v) {
    const QJsonDocument document = v.isObject() ? QJsonDocument(v.toObject()) : QJsonDocument(v.toArray());
    return document.toJson(QJsonDocument::Compact).toStdString();
}

// `json` with only the keys the game before friends' tables reads.
QJsonObject olderKeysOnly(const QJsonObject& json) {
    QJsonObject older;
    for (const char* key : {"format", "strengths", "overall", "recent"}) older.insert(key, json[key]);
    return older;
}

RecentMatch oneMatch() {
    RecentMatch m;
    m.playedAt = "2026-03-07T21:00:00+09:00";
    m.place = 2;
    m.total = 1234;
    m.opponents = {"ゆうこ", "はるか", "みさこ"};
    return m;
}

TEST(RecordFile, KeepsEveryFigureAsUtf8AndStartsEmptyWithoutAFile) {
    TempFolder folder;
    const fs::path file = folder / "help" / "Seiseki.json";
    EXPECT_EQ(loadRecordFile(file).status, RecordFileStatus::Missing);
    const PlayRecord full = test::playedRecord(130);
    ASSERT_GT(full.friends.played, 0);
    const RecordWrite write = changeRecordFile(file, [&](PlayRecord& r) { r = full; });
    EXPECT_TRUE(write.written);
    EXPECT_FALSE(write.damaged);
    const RecordLoad read = loadRecordFile(file);
    EXPECT_EQ(read.status, RecordFileStatus::Read) << read.problem;
    EXPECT_EQ(read.record, full);
    EXPECT_NE(readBytes(file).find("\"ゆうこ\""), std::string::npos);
    EXPECT_TRUE(resetRecordFile(file));
    EXPECT_EQ(loadRecordFile(file).record, PlayRecord{});
}

// A file of the game before friends' tables (the keys it knows only) reads
// as the record it held, and takes a friends' match beside it.
TEST(RecordFile, AFileWrittenBeforeFriendsTablesReadsUnchanged) {
    TempFolder folder;
    const fs::path file = folder / "Seiseki.json";
    PlayRecord local;
    for (int i = 0; i < 30; ++i) {
        RecentMatch m = oneMatch();
        m.strength = kStrengths[static_cast<size_t>(i % 3)];
        m.place = 1 + i % 4;
        addRound(local, m.strength, {i % 2 == 0, 1, 0, 0});
        addPlayedMatch(local, m);
    }
    writeBytes(file, text(olderKeysOnly(recordToJson(local))));
    const RecordLoad read = loadRecordFile(file);
    ASSERT_EQ(read.status, RecordFileStatus::Read) << read.problem;
    EXPECT_EQ(read.record, local);

    RecentMatch withFriends = oneMatch();
    withFriends.withFriends = true;
    EXPECT_FALSE(changeRecordFile(file, [&](PlayRecord& r) { addPlayedMatch(r, withFriends); }).damaged);
    const PlayRecord now = peekRecordFile(file).record;
    EXPECT_EQ(now.byStrength, local.byStrength);
    EXPECT_EQ(now.localOverall, local.overall);
    EXPECT_EQ(now.friends.places[2], 1);
    EXPECT_EQ(now.recent.back(), withFriends);
}

// What the game before friends' tables checks of a record (its
// recordProblem, cut to the checks that the friends' part could upset):
// the streak over all strengths within their wins and losses, and no more
// matches listed than played at them.
std::string olderGamesProblem(const PlayRecord& r) {
    const auto streakProblem = [](const Streaks& s, std::int64_t wins, std::int64_t losses) -> std::string {
        if (s.longestWins < 0 || s.longestLosses < 0) return "a negative longest streak";
        if (s.longestWins > wins || s.longestLosses > losses) return "a streak longer than its matches";
        if (s.current > s.longestWins || -s.current > s.longestLosses) return "a current streak above the longest";
        return {};
    };
    std::int64_t played = 0, won = 0;
    for (const Strength s : kStrengths) {
        const StrengthFigures& f = r.at(s);
        if (std::string p = streakProblem(f.streaks, f.won(), f.played - f.won()); !p.empty()) return p;
        played += f.played;
        won += f.won();
    }
    if (std::string p = streakProblem(r.localOverall, won, played - won); !p.empty()) return "all strengths: " + p;
    if (r.recent.size() > kRecentMatches || static_cast<std::int64_t>(r.recent.size()) > played) {
        return "more matches listed than played";
    }
    return {};
}

// Random runs of events at the local table and at friends' tables, past a
// hundred matches of each kind: the file reads back as the record, and its
// older keys alone are the record the local table's events alone make, one
// the game before friends' tables takes for sound.
TEST(RecordFile, TheKeysAnOlderCopyReadsHoldTheLocalTableAlone) {
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        const auto below = [&](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
        PlayRecord record, localOnly;
        const int events = static_cast<int>(below(600));
        for (int e = 0; e < events; ++e) {
            const std::uint32_t pick = below(seed % 3 == 0 ? 8 : 4);  // some runs mostly with friends
            const RecordColumn column = pick >= 3 ? kFriendsColumn : RecordColumn(kStrengths[pick]);
            const RoundTally tally{below(3) == 0, below(3), below(2), below(2)};
            const std::uint32_t kind = below(10);
            RecentMatch m = oneMatch();
            m.withFriends = column.friends;
            m.strength = column.strength;
            m.place = 1 + static_cast<int>(below(4));
            m.total = static_cast<std::int32_t>(below(3000)) - 1500;
            m.opponents[0] = std::to_string(e);
            for (PlayRecord* r : {&record, &localOnly}) {
                if (r == &localOnly && column.friends) continue;
                if (kind < 5) addRound(*r, column, tally);
                else if (kind < 9) addPlayedMatch(*r, m);
                else addLeftMatch(*r, column, tally);
            }
        }
        ASSERT_EQ(recordProblem(record), "");
        const QJsonObject json = recordToJson(record);
        std::string problem;
        EXPECT_EQ(recordFromJson(json, &problem), record) << problem;
        const std::optional<PlayRecord> older = recordFromJson(olderKeysOnly(json), &problem);
        ASSERT_TRUE(older) << problem;
        EXPECT_EQ(*older, localOnly);
        EXPECT_EQ(olderGamesProblem(*older), "");
    }
}

// ---- bad files ------------------------------------------------------------------------

// Wrong values for `v`, a field called `key`: another type, and for numbers
// a negative one (below the range of the fields that may be negative), a
// fraction and a huge one.
std::vector<QJsonValue> wrongFor(const QJsonValue& v, const QString& key) {
    const bool mayBeNegative = key == "streak" || key == "best" || key == "totalSum" || key == "total";
    if (v.isDouble()) return {QStringLiteral("1"), mayBeNegative ? -1e15 : -1.0, 0.5, 1e15};
    if (v.isString()) return {7, QJsonValue::Null};
    return {v.isArray() ? QJsonValue(QJsonObject{}) : QJsonValue(QJsonArray{})};
}

// Every copy of `v` with one field wrong or left out.
std::vector<QJsonValue> withOneFieldWrong(const QJsonValue& v, const QString& key) {
    std::vector<QJsonValue> out = wrongFor(v, key);
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        for (const QString& k : o.keys()) {
            // A file from before friends' tables has none of these: they may be missing.
            if (k != "friends" && k != "friendsRecent" && k != "overallWithFriends") {
                QJsonObject without = o;
                without.remove(k);
                out.push_back(without);
            }
            for (const QJsonValue& inner : withOneFieldWrong(o[k], k)) {
                QJsonObject changed = o;
                changed[k] = inner;
                out.push_back(changed);
            }
        }
    } else if (v.isArray()) {
        const QJsonArray a = v.toArray();
        for (int i = 0; i < a.size(); ++i) {
            for (const QJsonValue& inner : withOneFieldWrong(a[i], key)) {
                QJsonArray changed = a;
                changed[i] = inner;
                out.push_back(changed);
            }
        }
    }
    return out;
}

// Files the game cannot have written: random bytes, bad UTF-8, cut-off or
// oversized JSON, a good file with one field wrong, and fields each in
// range that cannot go together.
std::vector<std::string> badFiles(const QJsonObject& good) {
    const std::string whole = text(good);
    std::vector<std::string> bad;
    std::mt19937 random(22);
    for (const size_t size : {1, 17, 300, 5000}) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        bad.push_back(bytes);
    }
    bad.push_back(whole);
    bad.back().replace(bad.back().find("ゆうこ"), 3, "\xff\xfe\xc3");
    for (size_t tenth = 0; tenth < 10; ++tenth) bad.push_back(whole.substr(0, 1 + whole.size() * tenth / 10));
    bad.push_back(whole + std::string(kMaxRecordFileBytes, ' '));
    for (const QJsonValue& v : withOneFieldWrong(good, {})) bad.push_back(text(v));
    QJsonObject strengths = good["strengths"].toObject(), normal = strengths["normal"].toObject();
    normal["places"] = QJsonArray{999, 0, 0, 0};
    strengths["normal"] = normal;
    QJsonObject places = good, friendsPlaces = good, streak = good, overall = good["overall"].toObject();
    places["strengths"] = strengths;
    QJsonObject friends = good["friends"].toObject();
    friends["places"] = QJsonArray{0, 0, 0, 999};
    friendsPlaces["friends"] = friends;
    overall["longestWins"] = 999;
    streak["overall"] = overall;
    QJsonObject streakWithFriends = good;
    streakWithFriends["overallWithFriends"] = overall;
    bad.push_back(text(places));
    bad.push_back(text(friendsPlaces));
    bad.push_back(text(streak));
    bad.push_back(text(streakWithFriends));
    return bad;
}

TEST(RecordFile, ABadFileIsKeptAsBakAndTheRecordStartsAgain) {
    TempFolder folder;
    const fs::path file = folder / "Seiseki.json";
    const PlayRecord base = test::playedRecord(8);
    ASSERT_GT(base.friends.played, 0) << "a friends' match among the fields to spoil";
    const QJsonObject good = recordToJson(base);
    ASSERT_TRUE(recordFromJson(good)) << "the unchanged file must read";
    const std::vector<std::string> bad = badFiles(good);
    for (const std::string& bytes : bad) {
        writeBytes(file, bytes);
        const RecordWrite write = changeRecordFile(file, [](PlayRecord& r) { addPlayedMatch(r, oneMatch()); });
        ASSERT_TRUE(write.damaged) << bytes.substr(0, 3000);
        EXPECT_TRUE(write.written);
        EXPECT_EQ(readBytes(damagedRecordCopy(file)), bytes);
        // The game went on with an empty record and this match; the next
        // write finds nothing wrong.
        const RecordLoad now = peekRecordFile(file);
        ASSERT_EQ(now.status, RecordFileStatus::Read) << now.problem;
        EXPECT_EQ(now.record.all().played, 1);
        EXPECT_FALSE(changeRecordFile(file, [](PlayRecord&) {}).damaged);
    }
    EXPECT_GT(bad.size(), 200u);
}

// ---- other processes --------------------------------------------------------------------

// Waits for `child` and tells whether it ended with status 0.
bool endedWell(pid_t child) {
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(RecordFile, WholeAfterAKillAtAnyMomentOfAWrite) {
    TempFolder folder;
    const fs::path file = folder / "Seiseki.json";
    std::mt19937 random(7);
    std::int64_t seen = 0;
    for (int kill = 0; kill < 200; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) changeRecordFile(file, [](PlayRecord& r) { addPlayedMatch(r, oneMatch()); });
        }
        // Kills land anywhere in a write; on a slow machine (a sanitizer
        // build, a loaded disk) some wait longer, so that writes also end.
        const useconds_t most = kill % 4 == 3 ? 200000 : 15000;
        ::usleep(std::uniform_int_distribution<useconds_t>(500, most)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        // The old record or a newer one, never a part of one.
        const RecordLoad after = peekRecordFile(file);
        ASSERT_NE(after.status, RecordFileStatus::Damaged) << "after kill " << kill << ": " << after.problem;
        ASSERT_GE(after.record.all().played, seen);
        seen = after.record.all().played;
    }
    EXPECT_GT(seen, 0);
    EXPECT_FALSE(fs::exists(damagedRecordCopy(file)));
}

TEST(RecordFile, TwoCopiesRecordingAtOnceLoseNoMatch) {
    TempFolder folder;
    const fs::path file = folder / "help" / "Seiseki.json";
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> copies;
    // Copy A plays at the local table, copy B at a friends' table.
    for (const char* copy : {"A", "B"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(gate[1]);
            char go = 0;
            if (::read(gate[0], &go, 1) != 0) ::_exit(3);  // both start when the gate closes
            MatchState state;
            MatchRecorder local(state, file);
            SeatRecorder friends(file);
            const bool atFriends = copy[0] == 'B';
            const auto seen = [&](EventKind kind, int seat = 0, int place = 0) {
                TableEvent e{.kind = kind, .seat = uint8_t(seat)};
                e.values[0] = place;
                friends.seen(e);
            };
            // A game writes seconds apart; a short pause between writes lets
            // the other copy's polls for the lock find it free, as they would.
            std::mt19937 random(copy[0]);
            const auto pause = [&] { ::usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random)); };
            for (int m = 0; m < 50; ++m) {
                atFriends ? seen(EventKind::MatchStart) : local.onMatchStart();
                for (int round = 1; round <= 3; ++round) {
                    if (atFriends) seen(EventKind::RoundStart);
                    atFriends ? seen(EventKind::Pass, 1) : local.onPass(1, 1);
                    atFriends ? seen(EventKind::Results) : local.onRoundEnd(round);
                    pause();
                }
                state.finalPlace[1] = 1 + m % 4;
                state.seatName[2] = copy;
                state.seatName[3] = std::to_string(m);
                friends.setOpponents({copy, std::to_string(m), ""});
                atFriends ? seen(EventKind::MatchEnd, 0, 1 + m % 4) : local.onMatchEnd();
                pause();
            }
            ::_exit(0);
        }
        copies.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t child : copies) EXPECT_TRUE(endedWell(child));

    const RecordLoad read = peekRecordFile(file);
    ASSERT_EQ(read.status, RecordFileStatus::Read) << read.problem;
    for (const StrengthFigures& f : {read.record.at(Strength::Normal), read.record.friends}) {
        EXPECT_EQ(std::tuple(f.played, f.rounds, f.passes), std::tuple(50, 150, 150));
        EXPECT_EQ(f.places, (std::array<std::int64_t, 5>{0, 13, 13, 12, 12}));
    }
    std::set<std::string> matches;
    for (const RecentMatch& m : read.record.recent) {
        EXPECT_EQ(m.withFriends, m.opponents[0] == "B");
        matches.insert(m.opponents[0] + m.opponents[1]);
    }
    EXPECT_EQ(matches.size(), 100u);
}

}  // namespace
}  // namespace vantel
