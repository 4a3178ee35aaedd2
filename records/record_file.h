// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The player's record on disk: UTF-8 JSON in a file of its own beside the
// settings file (playRecordFile), read and written with Qt's JSON classes.
//
// - Every change is a read, a change and a write under the file lock shared
//   by every copy of the game (platform/lock/file_lock.h), so a copy adds
//   its event to what the others have written meanwhile.
// - Writes go through QSaveFile: a new file is written beside the old one
//   and put in its place in one rename, so whatever ends the program, the
//   file is the old record or the new one.
// - A missing file is an empty record. A file that cannot be read (not
//   JSON, not UTF-8, the wrong shape, numbers out of range) is kept as
//   Seiseki.json.bak and the record starts again from empty; the caller is
//   told so, once, by the result.
// - Copies of the game from before friends' tables may share the file. They
//   read "format", "strengths", "overall" and "recent", ignore other keys,
//   and take the file for damaged unless "overall" fits within the
//   strengths' wins and losses and "recent" lists no more matches than were
//   played at them. So those keys hold the local table alone, as such a copy
//   writes them: "overall" is the streak over the strengths
//   (PlayRecord::localOverall), "recent" the local matches listed
//   (playedAt, strength, place, total, opponents).
// - Friends' tables have keys of their own: "friends", their figures with
//   their streaks; "friendsRecent", their listed matches (up to
//   kRecentMatches), each with "localBefore", how many matches at the local
//   table had been played before it, in place of a strength; and
//   "overallWithFriends", the streak over every match (PlayRecord::overall).
//   Reading puts the two lists back into one in the order played by
//   localBefore.
// - A file without those keys (one written before friends' tables, or by an
//   older copy, which drops them when it writes) reads as an empty
//   friends' column with a streak over every match that is the local
//   table's. They are always written, so a record read back is the record
//   written.
#pragma once

#include <QJsonObject>
#include <filesystem>
#include <functional>
#include <string>

#include "records/play_record.h"

namespace vantel {

// The message the windows show when a record file could not be read.
inline constexpr std::string_view kRecordDamagedTitle = "成績ファイルエラー";
inline constexpr std::string_view kRecordDamagedText =
    "成績のファイルを読み込めませんでした。\r\n"
    "元のファイルは Seiseki.json.bak として残し、成績を新しく始めます。";

// Largest record file read; a record of a hundred matches is a small part of it.
inline constexpr qint64 kMaxRecordFileBytes = 1 << 20;

QJsonObject recordToJson(const PlayRecord& record);
// The record `json` holds; `problem` says what is wrong when it holds none.
std::optional<PlayRecord> recordFromJson(const QJsonObject& json, std::string* problem = nullptr);

enum class RecordFileStatus {
    Read,     // the file was read
    Missing,  // there was no file: an empty record
    Damaged,  // the file could not be read: it is now the .bak, the record is empty
};

struct RecordLoad {
    PlayRecord record;
    RecordFileStatus status = RecordFileStatus::Missing;
    std::string problem;  // for Damaged: what was wrong, for logs and tests
};

// The .bak a damaged record file is kept as.
std::filesystem::path damagedRecordCopy(const std::filesystem::path& file);

// Reads the file as it is, changing nothing (a damaged file stays).
RecordLoad peekRecordFile(const std::filesystem::path& file);

// Reads the record under the lock; a damaged file is moved to the .bak.
RecordLoad loadRecordFile(const std::filesystem::path& file);

struct RecordWrite {
    bool written = false;  // false when the file could not be written
    bool damaged = false;  // a damaged file was found and moved to the .bak first
};

// Under the lock: reads the record (moving a damaged file aside), applies
// `change` and writes the result.
RecordWrite changeRecordFile(const std::filesystem::path& file, const std::function<void(PlayRecord&)>& change);

// Now, in local time with its offset from UTC, as a listed match's
// playedAt: it says when the match was played wherever the record is read.
std::string recordTimeNow();

// Under the lock: replaces the record with an empty one.
bool resetRecordFile(const std::filesystem::path& file);

}  // namespace vantel
