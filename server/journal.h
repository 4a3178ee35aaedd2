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

#include <atomic>
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

// Journals as files <folder>/<ROOM>.journal, readable by this user alone,
// behind one shared log <folder>/log-<N>. Entries wait in memory until their
// batch is committed; a thread of its own then writes every table's entries
// of the batch to the log and to the tables' files, syncs the log alone
// (one fdatasync a pass for all tables; the event loop never touches the
// disk) and calls `synced` (on that thread) with the highest batch now
// durable. The tables' files are synced in the
// background when the log is rotated (it has grown past its limit or age);
// the old log is deleted after that. open() rebuilds the tables' files from
// whatever logs a crash left and deletes them; a clean close does the same
// without a log to read.
class FileJournal final : public JournalStore {
public:
    FileJournal(QString folder, std::function<void(uint64_t batch)> synced, int64_t logBytes = int64_t{16} << 20,
                int64_t logAgeMs = 60'000);
    ~FileJournal() override;
    FileJournal(const FileJournal&) = delete;
    FileJournal& operator=(const FileJournal&) = delete;

    // Makes the folder (mode 0700) and recovers what a crash left in the
    // logs; false with a reason when it cannot.
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
    struct Fd;
    struct Table {
        std::shared_ptr<Fd> file;
        uint64_t lines = 0;  // entries in the file, the next one's index
        uint64_t log = 0;    // the log generation it was last written in
        QByteArray pending;  // lines of the open batch
    };
    struct Checkpoint {
        std::vector<std::shared_ptr<Fd>> files;
        QString oldLog;
    };
    struct Batch {
        uint64_t id = 0;  // 0: nothing to sync, only a checkpoint to start
        std::shared_ptr<Fd> log;
        QByteArray logText;
        std::vector<std::pair<std::shared_ptr<Fd>, QByteArray>> files;
        bool syncFolder = false;  // the log is new: its folder entry too
        // The log was rotated after this batch: once its lines are written,
        // the old log's tables are synced and the old log goes.
        std::unique_ptr<Checkpoint> checkpoint;
    };
    bool recover(QString* why);
    bool startLog(QString* why);
    void maybeRotate();
    std::shared_ptr<Table> tableFor(const QString& room);
    void syncLoop();
    void checkpointLoop();
    void helpLoop();
    // Syncs every file of one pass, on the helpers and this thread at once.
    void syncAll(const std::vector<Fd*>& files);
    void syncFolder();

    QString folder_;
    std::function<void(uint64_t)> synced_;
    const int64_t logLimit_;
    const int64_t logAgeMs_;
    QHash<QString, std::shared_ptr<Table>> tables_;
    uint64_t batch_ = 1;
    bool dirty_ = false;
    QByteArray logText_;                           // the open batch's log records
    std::vector<std::shared_ptr<Table>> pending_;  // tables with lines in it
    std::atomic<bool> failed_{false};              // a write or sync failed: nothing is durable any more
    std::unique_ptr<Checkpoint> rotated_;

    // The log entries go to now.
    std::shared_ptr<Fd> log_;
    QString logPath_;
    uint64_t logGen_ = 0;
    int64_t logSize_ = 0;
    int64_t logStarted_ = 0;  // steady milliseconds
    bool logNew_ = false;
    std::vector<std::shared_ptr<Fd>> touched_;  // tables' files written in this log

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::vector<Batch> queue_;
    uint64_t durable_ = 0;
    bool stopping_ = false;
    std::thread syncer_;
    int folderFd_ = -1;

    // One checkpoint at a time; the log is not rotated while one runs.
    std::mutex checkMutex_;
    std::condition_variable checkWake_;
    std::vector<Checkpoint> checkQueue_;
    bool checkBusy_ = false;
    bool checkStop_ = false;
    std::thread checkpointer_;

    // fdatasync on several files at once lets the file system commit them
    // together: on ext4 a pass of 200 files takes a tenth of the time it
    // takes one by one. The helpers take files of the current pass in turn.
    std::vector<std::thread> helpers_;
    std::mutex passMutex_;
    std::condition_variable passReady_;
    std::condition_variable passDone_;
    const std::vector<Fd*>* passFiles_ = nullptr;
    size_t passNext_ = 0;
    size_t passLeft_ = 0;
    uint64_t passSerial_ = 0;
    bool helpersStop_ = false;
};

}  // namespace vantel::net
