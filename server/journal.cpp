// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

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

struct FileJournal::File {
    int fd = -1;
    QString path;
    bool dirty = false;
    ~File() {
        if (fd >= 0) ::close(fd);
    }
};

FileJournal::FileJournal(QString folder, std::function<void(uint64_t)> synced)
    : folder_(std::move(folder)), synced_(std::move(synced)) {}

namespace {
constexpr int kSyncHelpers = 7;
}

FileJournal::~FileJournal() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (syncer_.joinable()) syncer_.join();
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
    syncer_ = std::thread([this] { syncLoop(); });
    for (int i = 0; i < kSyncHelpers; ++i) helpers_.emplace_back([this] { helpLoop(); });
    return true;
}

std::shared_ptr<FileJournal::File> FileJournal::fileFor(const QString& room, QString* why) {
    if (auto it = files_.find(room); it != files_.end()) return it.value();
    auto file = std::make_shared<File>();
    file->path = folder_ + QLatin1Char('/') + room + QStringLiteral(".journal");
    const QByteArray path = QFile::encodeName(file->path);
    file->fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (file->fd < 0) {
        if (why) *why = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    newFiles_ = true;
    files_.insert(room, file);
    return file;
}

bool FileJournal::append(const QString& room, const QByteArray& line) {
    auto file = fileFor(room, nullptr);
    if (!file) return false;
    QByteArray data = line;
    data.append('\n');
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(file->fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
    }
    if (!file->dirty) {
        file->dirty = true;
        dirty_.push_back(file);
    }
    return true;
}

void FileJournal::remove(const QString& room) {
    const QString path = folder_ + QLatin1Char('/') + room + QStringLiteral(".journal");
    files_.remove(room);  // the syncer may still hold the file open
    QFile::remove(path);
}

uint64_t FileJournal::commit() {
    if (dirty_.empty()) return 0;
    Batch batch;
    batch.id = batch_++;
    batch.files = std::move(dirty_);
    batch.newFiles = newFiles_;
    dirty_.clear();
    newFiles_ = false;
    for (auto& f : batch.files) f->dirty = false;
    const uint64_t id = batch.id;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(batch));
    }
    wake_.notify_one();
    return id;
}

void FileJournal::syncNow() {
    const uint64_t id = commit();
    std::unique_lock lock(mutex_);
    const uint64_t wanted = id != 0 ? id : batch_ - 1;
    done_.wait(lock, [&] { return durable_ >= wanted || stopping_; });
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
        // Every batch waiting now shares one pass: a file written in several
        // of them is synced once.
        std::vector<File*> seen;
        bool newFiles = false;
        uint64_t highest = 0;
        for (auto& batch : work) {
            highest = std::max(highest, batch.id);
            newFiles = newFiles || batch.newFiles;
            for (auto& f : batch.files) {
                if (std::find(seen.begin(), seen.end(), f.get()) != seen.end()) continue;
                seen.push_back(f.get());
            }
        }
        syncAll(seen);
        // A new file is durable only once its folder entry is.
        if (newFiles && folderFd_ >= 0) ::fsync(folderFd_);
        // The caller hears first, so that whoever syncNow() wakes finds the
        // news already passed on.
        if (synced_) synced_(highest);
        {
            std::lock_guard lock(mutex_);
            durable_ = std::max(durable_, highest);
        }
        done_.notify_all();
    }
}

void FileJournal::syncAll(const std::vector<File*>& files) {
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
        File* f = nullptr;
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
            File* f = (*passFiles_)[passNext_++];
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
