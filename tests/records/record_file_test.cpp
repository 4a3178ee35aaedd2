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
#include <variant>
#include <vector>

#include "records/match_recorder.h"
#include "tests/platform/file_fixtures.h"
#include "tests/records/played_record.h"

namespace vantel {
namespace {

namespace fs = std::filesystem;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

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

// ---- bad files ------------------------------------------------------------------------

using Path = std::vector<std::variant<QString, int>>;

// Every place in `v` that holds a value, containers included.
void collect(const QJsonValue& v, Path at, std::vector<Path>& out) {
    if (!at.empty()) out.push_back(at);
    if (v.isObject()) {
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it) {
            Path next = at;
            next.emplace_back(it.key());
            collect(it.value(), next, out);
        }
    } else if (v.isArray()) {
        for (int i = 0; i < v.toArray().size(); ++i) {
            Path next = at;
            next.emplace_back(i);
            collect(v.toArray()[i], next, out);
        }
    }
}

// `v` with the value at `at` replaced (or, for Undefined, removed).
QJsonValue replaced(const QJsonValue& v, const Path& at, size_t depth, const QJsonValue& with) {
    if (depth == at.size()) return with;
    if (const QString* key = std::get_if<QString>(&at[depth])) {
        QJsonObject o = v.toObject();
        const QJsonValue inner = replaced(o.value(*key), at, depth + 1, with);
        if (inner.isUndefined()) {
            o.remove(*key);
        } else {
            o.insert(*key, inner);
        }
        return o;
    }
    QJsonArray a = v.toArray();
    const int i = std::get<int>(at[depth]);
    a.replace(i, replaced(a[i], at, depth + 1, with));
    return a;
}

QJsonValue valueAt(const QJsonValue& v, const Path& at) {
    QJsonValue here = v;
    for (const auto& step : at) {
        here = std::holds_alternative<QString>(step) ? here.toObject().value(std::get<QString>(step))
                                                     : here.toArray()[std::get<int>(step)];
    }
    return here;
}

// Files the game cannot have written, each with what is wrong in it:
// random bytes, bad UTF-8, cut-off JSON, and a good file with one field
// missing, of another type, negative, fractional or huge.
std::vector<std::pair<std::string, std::string>> badFiles(const QJsonObject& good) {
    const std::string text = QJsonDocument(good).toJson().toStdString();
    std::vector<std::pair<std::string, std::string>> bad;
    std::mt19937 random(22);
    for (const size_t size : {1, 17, 300, 5000}) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        bad.emplace_back("random bytes", bytes);
    }
    std::string badUtf8 = text;
    badUtf8.replace(badUtf8.find("ゆうこ"), 3, "\xff\xfe\xc3");
    bad.emplace_back("bad UTF-8", badUtf8);
    for (size_t tenth = 0; tenth < 10; ++tenth) bad.emplace_back("cut", text.substr(0, 1 + text.size() * tenth / 10));
    bad.emplace_back("a list", "[]");
    bad.emplace_back("too large", text + std::string(kMaxRecordFileBytes, ' '));
    const std::set<QString> signedFields = {"streak", "best", "totalSum", "total"};
    std::vector<Path> paths;
    collect(good, {}, paths);
    for (const Path& at : paths) {
        const QJsonValue was = valueAt(good, at);
        std::vector<QJsonValue> wrong;
        if (std::holds_alternative<QString>(at.back())) wrong.emplace_back(QJsonValue::Undefined);
        if (was.isDouble()) {
            const bool isSigned = std::holds_alternative<QString>(at.back()) &&
                                  signedFields.count(std::get<QString>(at.back()));
            wrong.insert(wrong.end(), {QStringLiteral("1"), isSigned ? -1e15 : -1.0, 1e15, 0.5});
        } else if (was.isString()) {
            wrong.insert(wrong.end(), {7, QJsonValue::Null});
        } else {
            wrong.emplace_back(was.isArray() ? QJsonValue(QJsonObject{}) : QJsonValue(QJsonArray{}));
        }
        std::string where;
        for (const auto& step : at) {
            where += std::holds_alternative<QString>(step) ? "." + std::get<QString>(step).toStdString()
                                                           : "[" + std::to_string(std::get<int>(step)) + "]";
        }
        for (const QJsonValue& w : wrong) {
            bad.emplace_back(where + " = " + QJsonDocument(QJsonArray{w}).toJson(QJsonDocument::Compact).toStdString(),
                             QJsonDocument(replaced(good, at, 0, w).toObject()).toJson().toStdString());
        }
    }
    // Numbers each in range that cannot go together.
    QJsonObject places = good;
    places["strengths"] = replaced(good["strengths"], {QString("normal"), QString("places"), 1}, 0, 999);
    bad.emplace_back("places above the matches", QJsonDocument(places).toJson().toStdString());
    QJsonObject streak = good;
    streak["overall"] = replaced(good["overall"], {QString("longestWins")}, 0, 999);
    bad.emplace_back("a streak above the wins", QJsonDocument(streak).toJson().toStdString());
    return bad;
}

TEST(RecordFile, ABadFileIsKeptAsBakAndTheRecordStartsAgain) {
    TempFolder folder;
    const fs::path file = folder / "Seiseki.json";
    const QJsonObject good = recordToJson(test::playedRecord(3));
    ASSERT_TRUE(recordFromJson(good)) << "the unchanged file must read";
    const auto bad = badFiles(good);
    for (const auto& [what, bytes] : bad) {
        writeBytes(file, bytes);
        const RecordWrite write = changeRecordFile(file, [](PlayRecord& r) { addPlayedMatch(r, oneMatch()); });
        ASSERT_TRUE(write.damaged) << what;
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
        ::usleep(std::uniform_int_distribution<useconds_t>(500, 15000)(random));
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
    for (const char* copy : {"A", "B"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(gate[1]);
            char go = 0;
            if (::read(gate[0], &go, 1) != 0) ::_exit(3);  // both start when the gate closes
            MatchState state;
            MatchRecorder recorder(state, file);
            // A game writes seconds apart; a short pause between writes lets
            // the other copy's polls for the lock find it free, as they would.
            std::mt19937 random(copy[0]);
            const auto pause = [&] { ::usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random)); };
            for (int m = 0; m < 50; ++m) {
                recorder.onMatchStart();
                for (int round = 1; round <= 3; ++round) {
                    recorder.onPass(1, 1);
                    recorder.onRoundEnd(round);
                    pause();
                }
                state.finalPlace[1] = 1 + m % 4;
                state.seatName[2] = copy;
                state.seatName[3] = std::to_string(m);
                recorder.onMatchEnd();
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
    const StrengthFigures normal = read.record.at(Strength::Normal);
    EXPECT_EQ(normal.played, 100);
    EXPECT_EQ(normal.rounds, 300);
    EXPECT_EQ(normal.passes, 300);
    std::set<std::string> matches;
    for (const RecentMatch& m : read.record.recent) matches.insert(m.opponents[0] + m.opponents[1]);
    EXPECT_EQ(matches.size(), 100u);
}

}  // namespace
}  // namespace vantel
