// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/record_file.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <system_error>

#include "platform/lock/file_lock.h"

namespace vantel {

namespace {

constexpr int kFormat = 1;
constexpr qsizetype kMaxNameChars = 64;
constexpr qsizetype kMaxDateChars = 40;
// Integers a JSON number holds exactly.
constexpr std::int64_t kExact = (std::int64_t{1} << 53) - 1;
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

const char* strengthKey(Strength s) {
    switch (s) {
        case Strength::Easy: return "easy";
        case Strength::Normal: return "normal";
        case Strength::Hard: return "hard";
    }
    return "normal";
}

QString fileName(const std::filesystem::path& path) { return QFile::decodeName(path.c_str()); }

// ---- writing ----------------------------------------------------------------------

QJsonObject streaksToJson(const Streaks& s, QJsonObject o = {}) {
    o.insert("streak", qint64(s.current));
    o.insert("longestWins", qint64(s.longestWins));
    o.insert("longestLosses", qint64(s.longestLosses));
    return o;
}

QJsonObject figuresToJson(const StrengthFigures& f) {
    QJsonObject o;
    o.insert("played", qint64(f.played));
    o.insert("left", qint64(f.left));
    o.insert("places", QJsonArray{qint64(f.places[1]), qint64(f.places[2]), qint64(f.places[3]),
                                  qint64(f.places[4])});
    o.insert("rounds", qint64(f.rounds));
    o.insert("roundsWon", qint64(f.roundsWon));
    o.insert("best", qint64(f.best));
    o.insert("totalSum", qint64(f.totalSum));
    o.insert("passes", qint64(f.passes));
    o.insert("drops", qint64(f.drops));
    o.insert("hints", qint64(f.hints));
    return streaksToJson(f.streaks, o);
}

// ---- reading: every field present, of its type, in its range -----------------------

class Reader {
public:
    std::string problem;

    void fail(const QString& where, const char* what) {
        if (problem.empty()) problem = (where + QStringLiteral(": ") + QString::fromUtf8(what)).toStdString();
    }

    QJsonObject object(const QJsonValue& v, const QString& where) {
        if (!v.isObject()) fail(where, "not an object");
        return v.toObject();
    }
    QJsonArray array(const QJsonValue& v, const QString& where, qsizetype minSize, qsizetype maxSize) {
        if (!v.isArray()) {
            fail(where, "not a list");
        } else if (v.toArray().size() < minSize || v.toArray().size() > maxSize) {
            fail(where, "a list of the wrong length");
        }
        return v.toArray();
    }
    std::int64_t integer(const QJsonValue& v, const QString& where, std::int64_t lowest, std::int64_t highest) {
        const double d = v.toDouble();
        if (!v.isDouble() || !std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > double(kExact)) {
            fail(where, "not a whole number");
            return 0;
        }
        const auto n = static_cast<std::int64_t>(d);
        if (n < lowest || n > highest) {
            fail(where, "out of range");
            return 0;
        }
        return n;
    }
    std::int64_t count(const QJsonObject& o, const QString& where, const char* key) {
        return integer(o.value(QLatin1String(key)), where + '.' + QLatin1String(key), 0, kMaxCount);
    }
    std::string text(const QJsonValue& v, const QString& where, qsizetype maxChars) {
        if (!v.isString() || v.toString().size() > maxChars) fail(where, "not a short text");
        return v.toString().toStdString();
    }

    Streaks streaks(const QJsonObject& o, const QString& where) {
        Streaks s;
        s.current = integer(o.value("streak"), where + ".streak", -kMaxCount, kMaxCount);
        s.longestWins = count(o, where, "longestWins");
        s.longestLosses = count(o, where, "longestLosses");
        return s;
    }

    StrengthFigures figures(const QJsonObject& o, const QString& where) {
        StrengthFigures f;
        f.played = count(o, where, "played");
        f.left = count(o, where, "left");
        const QJsonArray places = array(o.value("places"), where + ".places", 4, 4);
        for (int i = 0; i < 4 && i < places.size(); ++i) {
            f.places[i + 1] = integer(places[i], where + QStringLiteral(".places[%1]").arg(i), 0, kMaxCount);
        }
        f.rounds = count(o, where, "rounds");
        f.roundsWon = count(o, where, "roundsWon");
        f.best = integer(o.value("best"), where + ".best", kInt32Min, kInt32Max);
        f.totalSum = integer(o.value("totalSum"), where + ".totalSum", -kExact, kExact);
        f.passes = count(o, where, "passes");
        f.drops = count(o, where, "drops");
        f.hints = count(o, where, "hints");
        f.streaks = streaks(o, where);
        return f;
    }

    RecentMatch match(const QJsonObject& o, const QString& where, bool withFriends) {
        RecentMatch m;
        m.withFriends = withFriends;
        m.playedAt = text(o.value("playedAt"), where + ".playedAt", kMaxDateChars);
        if (!QDateTime::fromString(QString::fromStdString(m.playedAt), Qt::ISODate).isValid()) {
            fail(where + ".playedAt", "not a date and time");
        }
        // A match at friends' tables keeps no strength.
        if (!m.withFriends) m.strength = static_cast<Strength>(integer(o.value("strength"), where + ".strength", 1, 3));
        m.place = static_cast<int>(integer(o.value("place"), where + ".place", 1, 4));
        m.total = static_cast<std::int32_t>(integer(o.value("total"), where + ".total", kInt32Min, kInt32Max));
        const QJsonArray names = array(o.value("opponents"), where + ".opponents", 3, 3);
        for (int i = 0; i < 3 && i < names.size(); ++i) {
            m.opponents[static_cast<size_t>(i)] =
                text(names[i], where + QStringLiteral(".opponents[%1]").arg(i), kMaxNameChars);
        }
        return m;
    }
};

// ---- the file ---------------------------------------------------------------------

RecordLoad readFile(const std::filesystem::path& path) {
    RecordLoad load;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return load;
    load.status = RecordFileStatus::Damaged;
    QFile file(fileName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        load.problem = "cannot be opened";
        return load;
    }
    if (file.size() > kMaxRecordFileBytes) {
        load.problem = "too large";
        return load;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        load.problem = "not a JSON object: " + error.errorString().toStdString();
        return load;
    }
    std::optional<PlayRecord> record = recordFromJson(document.object(), &load.problem);
    if (!record) return load;
    load.record = std::move(*record);
    load.status = RecordFileStatus::Read;
    return load;
}

// Moves a damaged file out of the way, so the next write starts afresh and
// the old bytes are still there to look at.
void keepDamaged(const std::filesystem::path& path, const RecordLoad& load) {
    std::error_code ec;
    std::filesystem::rename(path, damagedRecordCopy(path), ec);
    std::cerr << "vantel: " << path.string() << " cannot be read (" << load.problem << "); kept as "
              << damagedRecordCopy(path).string() << ", starting an empty record\n";
}

RecordLoad loadUnlocked(const std::filesystem::path& path) {
    RecordLoad load = readFile(path);
    if (load.status == RecordFileStatus::Damaged) keepDamaged(path, load);
    return load;
}

bool writeFile(const std::filesystem::path& path, const PlayRecord& record) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    QSaveFile file(fileName(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = QJsonDocument(recordToJson(record)).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace

QJsonObject recordToJson(const PlayRecord& record) {
    QJsonObject strengths;
    for (const Strength s : kStrengths) strengths.insert(QLatin1String(strengthKey(s)), figuresToJson(record.at(s)));
    // The list splits by kind; a friends' match says how many local matches
    // came before it, so reading puts the two lists back in the order played.
    const std::int64_t localPlayed = record.localTable().played;
    const auto listedLocal = std::count_if(record.recent.begin(), record.recent.end(),
                                           [](const RecentMatch& m) { return !m.withFriends; });
    std::int64_t localBefore = localPlayed - listedLocal;
    QJsonArray recent;
    QJsonArray friendsRecent;
    for (const RecentMatch& m : record.recent) {
        QJsonObject o;
        o.insert("playedAt", QString::fromStdString(m.playedAt));
        if (m.withFriends) {
            o.insert("localBefore", qint64(localBefore));
        } else {
            o.insert("strength", static_cast<int>(m.strength));
            localBefore += 1;
        }
        o.insert("place", m.place);
        o.insert("total", m.total);
        o.insert("opponents", QJsonArray{QString::fromStdString(m.opponents[0]), QString::fromStdString(m.opponents[1]),
                                         QString::fromStdString(m.opponents[2])});
        (m.withFriends ? friendsRecent : recent).append(o);
    }
    QJsonObject root;
    root.insert("format", kFormat);
    root.insert("strengths", strengths);
    root.insert("overall", streaksToJson(record.localOverall));
    root.insert("recent", recent);
    root.insert("friends", figuresToJson(record.friends));
    root.insert("friendsRecent", friendsRecent);
    root.insert("overallWithFriends", streaksToJson(record.overall));
    return root;
}

std::optional<PlayRecord> recordFromJson(const QJsonObject& json, std::string* problem) {
    Reader r;
    PlayRecord record;
    r.integer(json.value("format"), "format", kFormat, kFormat);
    const QJsonObject strengths = r.object(json.value("strengths"), "strengths");
    for (const Strength s : kStrengths) {
        const QString where = QStringLiteral("strengths.") + QLatin1String(strengthKey(s));
        record.at(s) = r.figures(r.object(strengths.value(QLatin1String(strengthKey(s))), where), where);
    }
    record.localOverall = r.streaks(r.object(json.value("overall"), "overall"), "overall");
    const QJsonArray recent = r.array(json.value("recent"), "recent", 0, qsizetype(kRecentMatches));
    // A file without friends' tables (an older copy's, or one written before
    // them) has none of their keys: an empty column, and a streak over all
    // matches that is the local table's.
    if (json.contains("friends")) record.friends = r.figures(r.object(json.value("friends"), "friends"), "friends");
    const QJsonArray friendsRecent =
        json.contains("friendsRecent")
            ? r.array(json.value("friendsRecent"), "friendsRecent", 0, qsizetype(kRecentMatches))
            : QJsonArray{};
    record.overall = json.contains("overallWithFriends")
                         ? r.streaks(r.object(json.value("overallWithFriends"), "overallWithFriends"),
                                     "overallWithFriends")
                         : record.localOverall;

    // The local matches listed are the last ones played: the i-th of them is
    // local match number localPlayed - recent.size() + i + 1. A friends' match
    // goes after the local match its localBefore names.
    const std::int64_t localPlayed = record.localTable().played;
    std::int64_t local = localPlayed - recent.size();
    qsizetype nextLocal = 0;
    const auto takeLocal = [&] {
        const QString where = QStringLiteral("recent[%1]").arg(nextLocal);
        record.recent.push_back(r.match(r.object(recent[nextLocal], where), where, false));
        ++nextLocal;
        ++local;
    };
    std::int64_t lastBefore = 0;
    for (qsizetype i = 0; i < friendsRecent.size() && r.problem.empty(); ++i) {
        const QString where = QStringLiteral("friendsRecent[%1]").arg(i);
        const QJsonObject o = r.object(friendsRecent[i], where);
        const std::int64_t before = r.integer(o.value("localBefore"), where + ".localBefore", lastBefore, localPlayed);
        lastBefore = before;
        while (nextLocal < recent.size() && local < before && r.problem.empty()) takeLocal();
        record.recent.push_back(r.match(o, where, true));
    }
    while (nextLocal < recent.size() && r.problem.empty()) takeLocal();
    if (r.problem.empty()) r.problem = recordProblem(record);
    if (!r.problem.empty()) {
        if (problem) *problem = r.problem;
        return std::nullopt;
    }
    return record;
}

std::filesystem::path damagedRecordCopy(const std::filesystem::path& file) {
    std::filesystem::path copy = file;
    copy += ".bak";
    return copy;
}

RecordLoad peekRecordFile(const std::filesystem::path& file) { return readFile(file); }

RecordLoad loadRecordFile(const std::filesystem::path& file) {
    return underFileLock(file, [&] { return loadUnlocked(file); });
}

RecordWrite changeRecordFile(const std::filesystem::path& file, const std::function<void(PlayRecord&)>& change) {
    return underFileLock(file, [&] {
        RecordLoad load = loadUnlocked(file);
        change(load.record);
        return RecordWrite{writeFile(file, load.record), load.status == RecordFileStatus::Damaged};
    });
}

std::string recordTimeNow() {
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
}

bool resetRecordFile(const std::filesystem::path& file) {
    return underFileLock(file, [&] { return writeFile(file, PlayRecord{}); });
}

}  // namespace vantel
