// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantel::net {

bool MemoryJournal::append(const QString& room, const QByteArray& line) {
    journals_[room].push_back(line);
    dirty_ = true;
    return true;
}

void MemoryJournal::remove(const QString& room) { journals_.erase(room); }

uint64_t MemoryJournal::commit() {
    if (!dirty_) return 0;
    dirty_ = false;
    return batch_++;
}

std::vector<StoredJournal> MemoryJournal::load() {
    std::vector<StoredJournal> all;
    for (const auto& [room, lines] : journals_) all.push_back({room, lines, false});
    return all;
}

struct FileJournal::Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

namespace {

constexpr int kSyncHelpers = 7;

int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool writeAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// A log record is "<check> <room> <index> <entry>" or "<check> <room> drop",
// where <check> is the FNV-1a hash of the rest in 16 hex digits: a record a
// crash cut short or left as garbage does not pass for an entry.
QByteArray check(const QByteArray& body) {
    uint64_t h = 14695981039346656037ull;
    for (char c : body) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return QByteArray::number(static_cast<qulonglong>(h), 16).rightJustified(16, '0');
}

QByteArray record(const QByteArray& body) { return check(body) + ' ' + body + '\n'; }

// The logs in the folder by generation, oldest first.
std::map<uint64_t, QString> logsIn(const QString& folder) {
    std::map<uint64_t, QString> logs;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("log-*")}, QDir::Files)) {
        bool ok = false;
        const uint64_t gen = name.mid(4).toULongLong(&ok);
        if (ok) logs[gen] = dir.filePath(name);
    }
    return logs;
}

// The complete lines of a file, and where the last complete one ends.
std::vector<QByteArray> readLines(const QString& path, qsizetype* end = nullptr) {
    std::vector<QByteArray> lines;
    QFile file(path);
    if (end) *end = 0;
    if (!file.open(QIODevice::ReadOnly)) return lines;
    const QByteArray data = file.readAll();
    qsizetype start = 0;
    for (;;) {
        const qsizetype nl = data.indexOf('\n', start);
        if (nl < 0) break;
        lines.push_back(data.mid(start, nl - start));
        start = nl + 1;
    }
    if (end) *end = start;
    return lines;
}

}  // namespace

FileJournal::FileJournal(QString folder, std::function<void(uint64_t)> synced, int64_t logBytes, int64_t logAgeMs)
    : folder_(std::move(folder)), synced_(std::move(synced)), logLimit_(logBytes), logAgeMs_(logAgeMs) {}

FileJournal::~FileJournal() {
    if (syncer_.joinable()) {
        commit();
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        syncer_.join();
    }
    if (checkpointer_.joinable()) {
        {
            std::lock_guard lock(checkMutex_);
            checkStop_ = true;
        }
        checkWake_.notify_all();
        checkpointer_.join();
    }
    // A clean close: every table's file durable, then no log is needed.
    if (log_ && !helpers_.empty() && !failed_) {
        std::vector<Fd*> files;
        for (auto& t : tables_) files.push_back(t->file.get());
        syncAll(files);
        syncFolder();
        log_.reset();
        QFile::remove(logPath_);
        syncFolder();
    }
    {
        std::lock_guard lock(passMutex_);
        ++passSerial_;
        passFiles_ = nullptr;
        helpersStop_ = true;
    }
    passReady_.notify_all();
    for (auto& t : helpers_) t.join();
    if (folderFd_ >= 0) ::close(folderFd_);
}

void FileJournal::syncFolder() {
    if (folderFd_ >= 0) ::fsync(folderFd_);
}

bool FileJournal::open(QString* why) {
    if (!QDir().mkpath(folder_)) {
        if (why) *why = QStringLiteral("cannot make the journal folder %1").arg(folder_);
        return false;
    }
    const QByteArray path = QFile::encodeName(folder_);
    ::chmod(path.constData(), 0700);
    folderFd_ = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0) {
        if (why) *why = QStringLiteral("cannot open the journal folder %1: %2").arg(folder_, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!recover(why) || !startLog(why)) return false;
    logNew_ = false;
    syncFolder();
    syncer_ = std::thread([this] { syncLoop(); });
    checkpointer_ = std::thread([this] { checkpointLoop(); });
    for (int i = 0; i < kSyncHelpers; ++i) helpers_.emplace_back([this] { helpLoop(); });
    return true;
}

// Every table the logs name gets the file the logs say: the lines before
// its first logged entry from its own file (synced when that entry's log
// began), the rest from the logs. Lines past the last logged entry were
// never synced, so never answered, and go. A table whose last record is
// "drop" was closed: its file goes. Then the logs go.
bool FileJournal::recover(QString* why) {
    const auto logs = logsIn(folder_);
    struct Logged {
        std::map<uint64_t, QByteArray> entries;
        bool dropped = false;
    };
    std::map<QString, Logged> rooms;
    for (const auto& [gen, path] : logs) {
        logGen_ = std::max(logGen_, gen);
        for (const QByteArray& rec : readLines(path)) {
            const qsizetype s1 = rec.indexOf(' ');
            if (s1 != 16 || check(rec.mid(17)) != rec.left(16)) break;  // torn: nothing after it was synced
            const QByteArray body = rec.mid(17);
            const qsizetype s2 = body.indexOf(' ');
            if (s2 <= 0) break;
            const QString room = QString::fromLatin1(body.left(s2));
            const qsizetype s3 = body.indexOf(' ', s2 + 1);
            Logged& logged = rooms[room];
            if (s3 < 0) {
                if (body.mid(s2 + 1) != "drop") break;
                logged.entries.clear();
                logged.dropped = true;
                continue;
            }
            bool ok = false;
            const uint64_t index = body.mid(s2 + 1, s3 - s2 - 1).toULongLong(&ok);
            if (!ok) break;
            logged.dropped = false;
            logged.entries[index] = body.mid(s3 + 1);
        }
    }
    const QDir dir(folder_);
    for (auto& [room, logged] : rooms) {
        const QString path = dir.filePath(room + QStringLiteral(".journal"));
        if (logged.entries.empty()) {
            if (logged.dropped) QFile::remove(path);
            continue;
        }
        const std::vector<QByteArray> had = readLines(path);
        QByteArray text;
        const uint64_t last = logged.entries.rbegin()->first;
        for (uint64_t i = 0; i <= last; ++i) {
            auto it = logged.entries.find(i);
            if (it != logged.entries.end()) {
                text += it->second;
            } else if (i < had.size()) {
                text += had[i];
            } else {
                break;  // a gap nothing fills: keep what leads up to it
            }
            text += '\n';
        }
        // The logged entries begin past a file that is gone: the table was
        // closed and its file removed before its "drop" record reached the
        // log. Nothing of it is left to resume.
        if (text.isEmpty()) {
            QFile::remove(path);
            continue;
        }
        QFile current(path);
        if (current.open(QIODevice::ReadOnly) && current.readAll() == text) continue;
        current.close();
        const QString temp = path + QStringLiteral(".new");
        const int fd = ::open(QFile::encodeName(temp).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const bool written = fd >= 0 && writeAll(fd, text) && ::fdatasync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (!written || ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
            if (why) *why = QStringLiteral("cannot rebuild the journal %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    syncFolder();
    for (const auto& [gen, path] : logs) QFile::remove(path);
    return true;
}

bool FileJournal::startLog(QString* why) {
    const QString path = QDir(folder_).filePath(QStringLiteral("log-%1").arg(logGen_ + 1));
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (why) *why = QStringLiteral("cannot make the journal log %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ++logGen_;
    log_ = std::make_shared<Fd>(fd);
    logPath_ = path;
    logSize_ = 0;
    logStarted_ = steadyMs();
    logNew_ = true;
    return true;
}

std::shared_ptr<FileJournal::Table> FileJournal::tableFor(const QString& room) {
    if (auto it = tables_.find(room); it != tables_.end()) return it.value();
    const QString path = folder_ + QLatin1Char('/') + room + QStringLiteral(".journal");
    const QByteArray name = QFile::encodeName(path);
    // A file kept from before counts its lines; a torn last line is cut off
    // so that the next entry starts a line of its own.
    qsizetype end = 0;
    const size_t lines = readLines(path, &end).size();
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    if (::ftruncate(fd, end) != 0) {
        ::close(fd);
        return nullptr;
    }
    auto table = std::make_shared<Table>();
    table->file = std::make_shared<Fd>(fd);
    table->lines = lines;
    tables_.insert(room, table);
    return table;
}

bool FileJournal::append(const QString& room, const QByteArray& line) {
    if (failed_) return false;
    const auto table = tableFor(room);
    if (!table) return false;
    logText_ += record(room.toLatin1() + ' ' + QByteArray::number(static_cast<qulonglong>(table->lines)) + ' ' + line);
    if (table->pending.isEmpty()) pending_.push_back(table);
    table->pending += line;
    table->pending += '\n';
    ++table->lines;
    if (table->log != logGen_) {
        table->log = logGen_;
        touched_.push_back(table->file);
    }
    dirty_ = true;
    return true;
}

void FileJournal::remove(const QString& room) {
    const QString path = folder_ + QLatin1Char('/') + room + QStringLiteral(".journal");
    // Lines still pending go to the removed file: nothing reads them.
    tables_.remove(room);
    logText_ += record(room.toLatin1() + " drop");
    dirty_ = true;
    QFile::remove(path);
}

uint64_t FileJournal::commit() {
    Batch batch;
    if (dirty_) {
        batch.id = batch_++;
        batch.log = log_;
        batch.logText = std::move(logText_);
        logText_.clear();
        logSize_ += batch.logText.size();
        for (auto& t : pending_) {
            batch.files.emplace_back(t->file, std::move(t->pending));
            t->pending.clear();
        }
        pending_.clear();
        batch.syncFolder = logNew_;
        logNew_ = false;
        dirty_ = false;
    }
    maybeRotate();
    if (batch.id == 0 && !rotated_) return 0;
    batch.checkpoint = std::move(rotated_);
    const uint64_t id = batch.id;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(batch));
    }
    wake_.notify_one();
    return id;
}

// A new log once this one is big or old enough (and holds anything): the
// tables written in the old one are synced in the background, then the old
// log goes. Entries go on into the new log meanwhile.
void FileJournal::maybeRotate() {
    if (logSize_ == 0 || !checkpointer_.joinable()) return;
    if (logSize_ < logLimit_ && steadyMs() - logStarted_ < logAgeMs_) return;
    {
        std::lock_guard lock(checkMutex_);
        if (checkBusy_) return;
        checkBusy_ = true;
    }
    const QString oldLog = logPath_;
    const auto oldFile = log_;
    if (!startLog(nullptr)) {
        log_ = oldFile;
        std::lock_guard lock(checkMutex_);
        checkBusy_ = false;
        return;
    }
    rotated_ = std::make_unique<Checkpoint>(Checkpoint{std::move(touched_), oldLog});
    touched_.clear();
}

void FileJournal::syncNow() {
    const uint64_t id = commit();
    std::unique_lock lock(mutex_);
    const uint64_t wanted = id != 0 ? id : batch_ - 1;
    done_.wait(lock, [&] { return durable_ >= wanted || stopping_ || failed_; });
}

void FileJournal::syncLoop() {
    for (;;) {
        std::vector<Batch> work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty() && stopping_) return;
            work.swap(queue_);
        }
        // Every batch waiting now shares one pass: its lines written, then
        // one fdatasync of the log (two when it was rotated in between).
        std::vector<Fd*> logs;
        bool folder = false;
        bool ok = true;
        uint64_t highest = 0;
        for (auto& batch : work) {
            highest = std::max(highest, batch.id);
            folder = folder || batch.syncFolder;
            if (batch.log) {
                ok = writeAll(batch.log->fd, batch.logText) && ok;
                if (std::find(logs.begin(), logs.end(), batch.log.get()) == logs.end()) logs.push_back(batch.log.get());
            }
            // A table's own file is only read after a restart that did not
            // need the log, or by a person: its lines are kept but not
            // synced. Their write-back starts now, without waiting for it:
            // left to the kernel, a thousand tables' files would go to the
            // disk at once every half minute and hold up the log's syncs.
            for (auto& [file, text] : batch.files) {
                writeAll(file->fd, text);
                ::sync_file_range(file->fd, 0, 0, SYNC_FILE_RANGE_WRITE);
            }
            if (batch.checkpoint) {
                {
                    std::lock_guard lock(checkMutex_);
                    checkQueue_.push_back(std::move(*batch.checkpoint));
                }
                checkWake_.notify_one();
            }
        }
        for (Fd* f : logs) {
            int rc;
            while ((rc = ::fdatasync(f->fd)) != 0 && errno == EINTR) {}
            ok = ok && rc == 0;
        }
        // A new log is durable only once its folder entry is.
        if (folder) syncFolder();
        // What could not be written is never reported durable: its answers
        // stay held, and append() refuses from now on.
        if (!ok) {
            failed_ = true;
            done_.notify_all();
            continue;
        }
        // The caller hears first, so that whoever syncNow() wakes finds the
        // news already passed on.
        if (synced_ && highest > 0) synced_(highest);
        {
            std::lock_guard lock(mutex_);
            durable_ = std::max(durable_, highest);
        }
        done_.notify_all();
    }
}

void FileJournal::checkpointLoop() {
    for (;;) {
        Checkpoint cp;
        {
            std::unique_lock lock(checkMutex_);
            checkWake_.wait(lock, [&] { return checkStop_ || !checkQueue_.empty(); });
            if (checkQueue_.empty()) return;
            cp = std::move(checkQueue_.front());
            checkQueue_.erase(checkQueue_.begin());
        }
        std::vector<Fd*> files;
        for (auto& f : cp.files) files.push_back(f.get());
        syncAll(files);
        // Files made and removed in the old log's time are settled too.
        syncFolder();
        QFile::remove(cp.oldLog);
        syncFolder();
        {
            std::lock_guard lock(checkMutex_);
            checkBusy_ = false;
        }
    }
}

void FileJournal::syncAll(const std::vector<Fd*>& files) {
    {
        std::lock_guard lock(passMutex_);
        passFiles_ = &files;
        passNext_ = 0;
        passLeft_ = files.size();
        ++passSerial_;
    }
    passReady_.notify_all();
    // This thread takes its share too.
    for (;;) {
        Fd* f = nullptr;
        {
            std::lock_guard lock(passMutex_);
            if (passNext_ >= files.size()) break;
            f = files[passNext_++];
        }
        while (::fdatasync(f->fd) != 0 && errno == EINTR) {}
        std::lock_guard lock(passMutex_);
        --passLeft_;
    }
    std::unique_lock lock(passMutex_);
    passDone_.wait(lock, [&] { return passLeft_ == 0; });
    passFiles_ = nullptr;
}

void FileJournal::helpLoop() {
    uint64_t seenSerial = 0;
    for (;;) {
        std::unique_lock lock(passMutex_);
        passReady_.wait(lock, [&] { return passSerial_ != seenSerial; });
        seenSerial = passSerial_;
        if (helpersStop_) return;
        while (passFiles_ && passNext_ < passFiles_->size()) {
            Fd* f = (*passFiles_)[passNext_++];
            lock.unlock();
            while (::fdatasync(f->fd) != 0 && errno == EINTR) {}
            lock.lock();
            if (--passLeft_ == 0) passDone_.notify_all();
        }
    }
}

std::vector<StoredJournal> FileJournal::load() {
    std::vector<StoredJournal> all;
    const QDir dir(folder_);
    const QStringList names = dir.entryList({QStringLiteral("*.journal")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        StoredJournal journal;
        journal.room = QFileInfo(name).completeBaseName();
        const QByteArray data = file.readAll();
        qsizetype start = 0;
        while (start < data.size()) {
            const qsizetype end = data.indexOf('\n', start);
            if (end < 0) {
                journal.tornTail = true;
                break;
            }
            journal.lines.push_back(data.mid(start, end - start));
            start = end + 1;
        }
        if (journal.tornTail) {
            // Cut the torn line off so that new entries start on a line of
            // their own.
            file.close();
            if (QFile f(dir.filePath(name)); f.open(QIODevice::ReadWrite)) f.resize(start);
        }
        all.push_back(std::move(journal));
    }
    return all;
}

}  // namespace vantel::net
