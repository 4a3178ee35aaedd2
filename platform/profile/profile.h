// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reader and writer of profile files: section lines in square brackets and
// key lines "key=value", the format the Windows functions
// GetPrivateProfileStringA and WritePrivateProfileStringA keep, so that a
// settings file written by the Windows program reads here and ours there.
//
// What callers can rely on:
// - Text crosses this interface as UTF-8; on disk it is CP932 (Shift-JIS as
//   Windows writes it). Lines written end in CR LF; LF-only, CR-only and
//   mixed line ends read as well.
// - Section and key names match without regard to ASCII case. Only
//   single-byte letters fold: a double-byte character whose second byte
//   happens to be a letter is compared exactly.
// - Surrounding spaces and tabs are not part of a name or a value, and one
//   pair of matching quotes ("..." or '...') around a value is dropped, as
//   Windows does. A line whose first visible character is ';' is a comment.
//   Where a section or key appears twice, the first one counts.
// - A value is cut to bufferSize - 1 bytes of CP932, never in the middle of
//   a double-byte character. A missing key, or a value that is empty after
//   the cut, gives the caller's fallback.
// - Any file contents read without failing: invalid CP932 bytes become
//   U+FFFD, NUL bytes are dropped, a UTF-8 byte order mark at the start is
//   skipped, lines may be of any length.
// - A write replaces one key and keeps every other byte of the file as it
//   was (other sections and keys, their order, comments, line ends). A new
//   key goes after the last non-blank line of its section, a new section at
//   the end of the file. The new contents go to a temporary file beside the
//   old one that is then renamed over it, so an interrupted write leaves
//   either the old file or the new one, never a mix. The folder of the file
//   is created when missing.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantel::profile {

// One key to write: its section, its name and its new value (UTF-8).
struct KeyValue {
    std::string section;
    std::string key;
    std::string value;
};

// The value of `key` in `section` of the profile file `file`, cut to fit a
// buffer of `bufferSize` bytes; `fallback` when the file, the section or the
// key is missing, or the value is empty.
std::string readString(const std::filesystem::path& file, std::string_view section,
                       std::string_view key, std::string_view fallback, std::size_t bufferSize);

// Sets `key` in `section` to `value`. False, with the file left untouched,
// when the names or the value cannot be stored: an empty section or key
// name, a line break or NUL anywhere, "]" in a section name, "=" in a key
// name or a key name starting with ";" or "[", names with characters CP932
// cannot hold, or when the file cannot be written. Characters of the value
// that CP932 cannot hold are stored as "?".
bool writeString(const std::filesystem::path& file, std::string_view section,
                 std::string_view key, std::string_view value);

// Several keys written in order, as by one writeString call each, but stored
// with a single replacement of the file: readers see all of them or none.
// False, with the file untouched, when any one of them would be refused.
bool writeStrings(const std::filesystem::path& file, const std::vector<KeyValue>& entries);

// Copies of the program that share a file take its lock (platform/lock)
// around every write, so that one copy's read-modify-write never puts back
// what it read before another copy's write. The lock is not re-entrant:
// code already holding it writes with writeStrings.
//
// updateStrings reads the file as it is now, asks `change` which keys to
// write for those contents (CP932 bytes, as readStringFromText takes them;
// nothing when the file is missing or cannot be read) and writes them as
// writeStrings would, all under the lock. No keys writes nothing. When the
// lock cannot be had in time the update runs without it, after a note on
// stderr. False when the keys returned cannot be written.
using Change = std::function<std::vector<KeyValue>(const std::optional<std::string>& fileBytes)>;
bool updateStrings(const std::filesystem::path& file, const Change& change);

// writeStrings under the lock.
bool writeStringsLocked(const std::filesystem::path& file, const std::vector<KeyValue>& entries);

// The same two operations on file contents held in memory (CP932 bytes).
// The write gives the new contents, or nothing when it would be refused.
std::string readStringFromText(std::string_view fileBytes, std::string_view section,
                               std::string_view key, std::string_view fallback,
                               std::size_t bufferSize);
std::optional<std::string> writeStringToText(std::string_view fileBytes, std::string_view section,
                                             std::string_view key, std::string_view value);

}  // namespace vantel::profile
