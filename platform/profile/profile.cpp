// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/profile/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/lock/file_lock.h"
#include "platform/profile/cp932.h"

namespace vantel::profile {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";

// One line of the file: its text is [begin, end), its line end [end, next).
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed and unquoted
    std::size_t equalsPos = 0;  // file offset of the key line's '='
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Splits at CR LF, LF or CR. A UTF-8 byte order mark before the first line
// belongs to no line.
std::vector<Line> splitLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t pos = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    while (pos < bytes.size()) {
        Line line;
        line.begin = pos;
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = bytes.size();
        line.end = end;
        std::size_t next = end;
        if (next < bytes.size()) {
            if (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') {
                next += 2;
            } else {
                next += 1;
            }
        }
        line.next = next;
        lines.push_back(line);
        pos = next;
    }
    return lines;
}

// Position of the last single-byte ']' of `s`, or npos. Walking by
// characters keeps the second byte of a double-byte character (0x5D is a
// valid one) from being taken for a bracket.
std::size_t lastClosingBracket(std::string_view s) {
    std::size_t found = std::string_view::npos;
    for (std::size_t pos = 0; pos < s.size();) {
        const std::size_t length = cp932::charLength(s, pos);
        if (length == 1 && s[pos] == ']') found = pos;
        pos += length;
    }
    return found;
}

ParsedLine parseLine(std::string_view bytes, const Line& line) {
    ParsedLine parsed;
    const std::string_view text = bytes.substr(line.begin, line.end - line.begin);
    const std::string_view visible = trim(text);
    if (visible.empty() || visible.front() == ';') return parsed;
    if (visible.front() == '[') {
        const std::string_view inner = visible.substr(1);
        const std::size_t close = lastClosingBracket(inner);
        if (close == std::string_view::npos) return parsed;
        parsed.kind = LineKind::Section;
        parsed.name = trim(inner.substr(0, close));
        return parsed;
    }
    // '=' (0x3D) is never the second byte of a double-byte character.
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return parsed;
    const std::string_view name = trim(text.substr(0, equals));
    if (name.empty()) return parsed;
    std::string_view value = trim(text.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    parsed.kind = LineKind::Key;
    parsed.name = name;
    parsed.value = value;
    parsed.equalsPos = line.begin + equals;
    return parsed;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive for single-byte letters only.
bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t pos = 0; pos < a.size();) {
        const std::size_t length = cp932::charLength(a, pos);
        if (cp932::charLength(b, pos) != length) return false;
        if (length == 1) {
            if (asciiLower(a[pos]) != asciiLower(b[pos])) return false;
        } else if (a.substr(pos, 2) != b.substr(pos, 2)) {
            return false;
        }
        pos += length;
    }
    return true;
}

// Where a section and a key were found.
struct Location {
    std::vector<Line> lines;
    std::size_t sectionLine = std::string_view::npos;  // index of the header
    std::size_t sectionEnd = 0;                        // index of the line after the section
    std::size_t keyLine = std::string_view::npos;      // index of the key line
    ParsedLine key;
};

Location locate(std::string_view bytes, std::string_view section, std::string_view key) {
    Location where;
    where.lines = splitLines(bytes);
    const auto& lines = where.lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(bytes, lines[i]);
        if (parsed.kind == LineKind::Section && namesEqual(parsed.name, section)) {
            where.sectionLine = i;
            break;
        }
    }
    if (where.sectionLine == std::string_view::npos) return where;
    std::size_t i = where.sectionLine + 1;
    for (; i < lines.size(); ++i) {
        const ParsedLine parsed = parseLine(bytes, lines[i]);
        if (parsed.kind == LineKind::Section) break;
        if (parsed.kind == LineKind::Key && where.keyLine == std::string_view::npos &&
            namesEqual(parsed.name, key)) {
            where.keyLine = i;
            where.key = parsed;
        }
    }
    where.sectionEnd = i;
    return where;
}

bool hasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A caller's name in CP932, or nothing when CP932 cannot hold it exactly.
std::optional<std::string> nameInCp932(std::string_view utf8) {
    const std::string_view trimmed = trim(utf8);
    if (trimmed.empty() || hasLineBreakOrNul(trimmed)) return std::nullopt;
    bool lossy = false;
    std::string converted = cp932::fromUtf8(trimmed, &lossy);
    if (lossy) return std::nullopt;
    return converted;
}

std::optional<std::string> readFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes `bytes` to a new file beside `target` and renames it over `target`.
bool replaceFile(const std::filesystem::path& target, std::string_view bytes, mode_t mode) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here loses nothing.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

}  // namespace

std::string readStringFromText(std::string_view fileBytes, std::string_view section,
                               std::string_view key, std::string_view fallback,
                               std::size_t bufferSize) {
    const auto sectionName = nameInCp932(section);
    const auto keyName = nameInCp932(key);
    if (!sectionName || !keyName || bufferSize == 0) return std::string(fallback);
    const Location where = locate(fileBytes, *sectionName, *keyName);
    if (where.keyLine == std::string_view::npos) return std::string(fallback);
    const std::string_view value = where.key.value;
    std::string text = cp932::toUtf8(value.substr(0, cp932::prefixOnBoundary(value, bufferSize - 1)));
    if (text.empty()) return std::string(fallback);
    return text;
}

std::optional<std::string> writeStringToText(std::string_view fileBytes, std::string_view section,
                                             std::string_view key, std::string_view value) {
    const auto sectionName = nameInCp932(section);
    const auto keyName = nameInCp932(key);
    if (!sectionName || !keyName || hasLineBreakOrNul(value)) return std::nullopt;
    if (lastClosingBracket(*sectionName) != std::string::npos) return std::nullopt;
    if (keyName->find('=') != std::string::npos || keyName->front() == ';' ||
        keyName->front() == '[') {
        return std::nullopt;
    }
    const std::string storedValue = cp932::fromUtf8(value);
    const std::string keyLine = *keyName + "=" + storedValue;

    const Location where = locate(fileBytes, *sectionName, *keyName);
    std::string out;
    out.reserve(fileBytes.size() + keyLine.size() + sectionName->size() + 8);
    if (where.keyLine != std::string_view::npos) {
        // Keep the line as it was up to its '=' (key spelling, spacing) and
        // its line end; only the value changes.
        const Line& line = where.lines[where.keyLine];
        out.append(fileBytes.substr(0, where.key.equalsPos + 1));
        out.append(storedValue);
        out.append(fileBytes.substr(line.end));
        return out;
    }
    if (where.sectionLine != std::string_view::npos) {
        std::size_t last = where.sectionLine;
        for (std::size_t i = where.sectionLine + 1; i < where.sectionEnd; ++i) {
            const Line& line = where.lines[i];
            if (!trim(fileBytes.substr(line.begin, line.end - line.begin)).empty()) last = i;
        }
        const Line& after = where.lines[last];
        out.append(fileBytes.substr(0, after.next));
        if (after.next == after.end) out.append(kNewLine);  // the file ended without a line end
        out.append(keyLine);
        out.append(kNewLine);
        out.append(fileBytes.substr(after.next));
        return out;
    }
    out.append(fileBytes);
    if (!fileBytes.empty() && fileBytes.back() != '\n' && fileBytes.back() != '\r') {
        out.append(kNewLine);
    }
    out.append("[" + *sectionName + "]");
    out.append(kNewLine);
    out.append(keyLine);
    out.append(kNewLine);
    return out;
}

std::string readString(const std::filesystem::path& file, std::string_view section,
                       std::string_view key, std::string_view fallback, std::size_t bufferSize) {
    const auto bytes = readFile(file);
    if (!bytes) return std::string(fallback);
    return readStringFromText(*bytes, section, key, fallback, bufferSize);
}

namespace {

// The file a write replaces, its permissions and its contents; nothing for
// contents when the file does not exist yet.
struct WriteTarget {
    std::filesystem::path path;
    mode_t mode = 0644;
    std::optional<std::string> contents;
};

// Nothing when the file cannot be written: no name, a symbolic link that
// cannot be followed, something other than a regular file, or a file that
// cannot be read.
std::optional<WriteTarget> openTarget(const std::filesystem::path& file) {
    if (file.empty()) return std::nullopt;
    std::error_code ec;
    WriteTarget target{file, 0644, std::nullopt};
    // Write through a symbolic link rather than replacing the link itself.
    if (std::filesystem::is_symlink(file, ec)) {
        target.path = std::filesystem::weakly_canonical(file, ec);
        if (ec) return std::nullopt;
    }
    struct stat info {};
    if (::stat(target.path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return std::nullopt;
        target.mode = info.st_mode & 07777;
        target.contents = readFile(target.path);
        if (!target.contents) return std::nullopt;
    } else if (errno != ENOENT) {
        return std::nullopt;
    }
    return target;
}

bool writeEntries(const WriteTarget& target, const std::vector<KeyValue>& entries) {
    std::string contents = target.contents.value_or(std::string());
    for (const KeyValue& entry : entries) {
        auto updated = writeStringToText(contents, entry.section, entry.key, entry.value);
        if (!updated) return false;
        contents = std::move(*updated);
    }
    if (target.path.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(target.path.parent_path(), ec);
        if (ec) return false;
    }
    return replaceFile(target.path, contents, target.mode);
}

}  // namespace

bool writeStrings(const std::filesystem::path& file, const std::vector<KeyValue>& entries) {
    const auto target = openTarget(file);
    return target && writeEntries(*target, entries);
}

bool updateStrings(const std::filesystem::path& file, const Change& change) {
    // No file name, no lock file: the change is still made, for the caller's memory.
    if (file.empty()) return change(std::nullopt).empty();
    return underFileLock(file, [&] {
        const auto target = openTarget(file);
        const std::vector<KeyValue> entries = change(target ? target->contents : std::nullopt);
        if (entries.empty()) return true;
        return target && writeEntries(*target, entries);
    });
}

bool writeStringsLocked(const std::filesystem::path& file, const std::vector<KeyValue>& entries) {
    if (file.empty()) return false;
    return underFileLock(file, [&] { return writeStrings(file, entries); });
}

bool writeString(const std::filesystem::path& file, std::string_view section,
                 std::string_view key, std::string_view value) {
    return writeStrings(file, {KeyValue{std::string(section), std::string(key), std::string(value)}});
}

}  // namespace vantel::profile
