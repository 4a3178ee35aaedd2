// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The tables' journals: one file of JSON lines per table, appended as things
// happen and made durable in batches. Whoever answers a client must wait
// until the batch holding what the answer tells has been synced (see
// Lobby's held messages); many tables' entries share one sync pass.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vantel::net {

struct StoredJournal {
    QString room;
    std::vector<QByteArray> lines;
    // The last line was cut short (the process died while writing it); it
    // was never answered and is left out of `lines`.
    bool tornTail = false;
};

class JournalStore {
public:
    virtual ~JournalStore() = default;
    // Appends one entry (without its newline) to a table's journal. It is
    // durable once the batch it belongs to (openBatch() now) is synced.
    // False when it could not be written.
    virtual bool append(const QString& room, const QByteArray& line) = 0;
    // Forgets a closed table's journal.
    virtual void remove(const QString& room) = 0;
    // The batch that entries appended now belong to; ids grow from 1.
    virtual uint64_t openBatch() const = 0;
    // Closes the open batch and starts making it durable; its id, or 0 when
    // nothing was appended since the last commit.
    virtual uint64_t commit() = 0;
    // Every journal kept, for a restart.
    virtual std::vector<StoredJournal> load() = 0;
};

// Journals kept in memory and synced at once: for tests and the fuzzer.
class MemoryJournal final : public JournalStore {
public:
    bool append(const QString& room, const QByteArray& line) override;
    void remove(const QString& room) override;
    uint64_t openBatch() const override { return batch_; }
    uint64_t commit() override;
    std::vector<StoredJournal> load() override;

    const std::map<QString, std::vector<QByteArray>>& journals() const { return journals_; }

private:
    std::map<QString, std::vector<QByteArray>> journals_;
    uint64_t batch_ = 1;
    bool dirty_ = false;
};

// Journals as files <folder>/<ROOM>.journal, readable by this user alone.
// Writes go to the file at once; fdatasync runs on a thread of its own so
// the event loop never waits for the disk, and `synced` is called (on that
// thread) with the highest batch now durable.
class FileJournal final : public JournalStore {
public:
    FileJournal(QString folder, std::function<void(uint64_t batch)> synced);
    ~FileJournal() override;
    FileJournal(const FileJournal&) = delete;
    FileJournal& operator=(const FileJournal&) = delete;

    // Makes the folder (mode 0700); false with a reason when it cannot.
    bool open(QString* why);

    bool append(const QString& room, const QByteArray& line) override;
    void remove(const QString& room) override;
    uint64_t openBatch() const override { return batch_; }
    uint64_t commit() override;
    std::vector<StoredJournal> load() override;

    // Commits and waits until everything appended so far is durable.
    void syncNow();
    const QString& folder() const { return folder_; }

private:
    struct File;
    struct Batch {
        uint64_t id = 0;
        std::vector<std::shared_ptr<File>> files;
        bool newFiles = false;
    };
    std::shared_ptr<File> fileFor(const QString& room, QString* why);
    void syncLoop();
    void helpLoop();
    // Syncs every file of one pass, on the helpers and this thread at once.
    void syncAll(const std::vector<File*>& files);

    QString folder_;
    std::function<void(uint64_t)> synced_;
    QHash<QString, std::shared_ptr<File>> files_;
    std::vector<std::shared_ptr<File>> dirty_;
    bool newFiles_ = false;
    uint64_t batch_ = 1;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::vector<Batch> queue_;
    uint64_t durable_ = 0;
    bool stopping_ = false;
    std::thread syncer_;
    int folderFd_ = -1;

    // fdatasync on several files at once lets the file system commit them
    // together: on ext4 a pass of 200 files takes a tenth of the time it
    // takes one by one. The helpers take files of the current pass in turn.
    std::vector<std::thread> helpers_;
    std::mutex passMutex_;
    std::condition_variable passReady_;
    std::condition_variable passDone_;
    const std::vector<File*>* passFiles_ = nullptr;
    size_t passNext_ = 0;
    size_t passLeft_ = 0;
    uint64_t passSerial_ = 0;
    bool helpersStop_ = false;
};

}  // namespace vantel::net
