// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The journal files: private to their user, read back line for line, a torn
// last line left out, and every batch reported durable in order; after a
// crash the shared log rebuilds every table's file, forgets closed tables and
// goes away.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "server/journal.h"

using namespace vantel::net;

TEST(Journal, FilesArePrivateReadBackAndSyncedInOrder) {
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/journal-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    std::atomic<uint64_t> durable{0};
    std::atomic<bool> ordered{true};
    {
        FileJournal journal(dir.path() + QStringLiteral("/tables"), [&](uint64_t batch) {
            if (batch < durable.load()) ordered = false;
            durable = batch;
        });
        ASSERT_TRUE(journal.open(nullptr));
        EXPECT_EQ(journal.commit(), 0u);  // nothing to sync
        uint64_t last = 0;
        for (int i = 0; i < 50; ++i) {
            ASSERT_TRUE(journal.append(QStringLiteral("AAAAAAAAAA"), QByteArray("{\"n\":") + QByteArray::number(i) + "}"));
            if (i % 3 == 0) {
                ASSERT_TRUE(journal.append(QStringLiteral("BBBBBBBBBB"), "{\"b\":1}"));
            }
            const uint64_t batch = journal.commit();
            EXPECT_GT(batch, last);
            last = batch;
        }
        journal.syncNow();
        EXPECT_EQ(durable.load(), last);
        EXPECT_TRUE(ordered.load());

        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(dir.path() + QStringLiteral("/tables/AAAAAAAAAA.journal")).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600);
        ASSERT_EQ(::stat(QFile::encodeName(dir.path() + QStringLiteral("/tables")).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700);

        journal.remove(QStringLiteral("BBBBBBBBBB"));
        EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/tables/BBBBBBBBBB.journal")));
    }
    // A line cut short by a crash is left out and cut off the file.
    QFile torn(dir.path() + QStringLiteral("/tables/AAAAAAAAAA.journal"));
    ASSERT_TRUE(torn.open(QIODevice::Append));
    torn.write("{\"n\":9");
    torn.close();
    FileJournal again(dir.path() + QStringLiteral("/tables"), nullptr);
    ASSERT_TRUE(again.open(nullptr));
    const auto stored = again.load();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].room, QStringLiteral("AAAAAAAAAA"));
    EXPECT_TRUE(stored[0].tornTail);
    ASSERT_EQ(stored[0].lines.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(stored[0].lines[static_cast<size_t>(i)], QByteArray("{\"n\":") + QByteArray::number(i) + "}");
    ASSERT_TRUE(again.append(QStringLiteral("AAAAAAAAAA"), "{\"n\":50}"));
    again.syncNow();
    EXPECT_EQ(again.load()[0].lines.size(), 51u);
    EXPECT_FALSE(again.load()[0].tornTail);
}

namespace {

// Runs `work` in a child process, which ends with ::_exit() in the middle
// of it, closing nothing, as a killed server does: the log stays as it was.
void crashIn(const std::function<void()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        work();
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

QByteArray entry(int i) { return QByteArray("{\"n\":") + QByteArray::number(i) + "}"; }

// What a restart reads; the logs are gone once it closes.
std::map<QString, std::vector<QByteArray>> reopen(const QString& folder) {
    std::map<QString, std::vector<QByteArray>> all;
    {
        FileJournal journal(folder, nullptr);
        EXPECT_TRUE(journal.open(nullptr));
        for (auto& j : journal.load()) {
            EXPECT_FALSE(j.tornTail);
            all[j.room] = j.lines;
        }
    }
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("log-*")}, QDir::Files).isEmpty());
    return all;
}

}  // namespace

TEST(Journal, TheLogRebuildsWhatACrashLeftBehind) {
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/journal-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/tables");
    const auto file = [&](const char* room) { return folder + QLatin1Char('/') + QLatin1String(room) + QStringLiteral(".journal"); };
    crashIn([&] {
        FileJournal journal(folder, nullptr);
        if (!journal.open(nullptr)) ::_exit(1);
        for (int i = 0; i < 10; ++i) journal.append(QStringLiteral("AAAAAAAAAA"), entry(i));
        for (int i = 0; i < 5; ++i) journal.append(QStringLiteral("BBBBBBBBBB"), entry(i));
        journal.append(QStringLiteral("CCCCCCCCCC"), entry(0));
        journal.commit();
        journal.remove(QStringLiteral("CCCCCCCCCC"));
        journal.syncNow();
        ::_exit(0);
    });
    // The tables' own files as a power cut may leave them: one behind and
    // torn, one never made, a closed one still there; and a torn log record.
    QFile a(file("AAAAAAAAAA"));
    ASSERT_TRUE(a.open(QIODevice::ReadWrite));
    a.resize(4 * 7);
    a.seek(a.size());
    a.write("{\"n");
    a.close();
    ASSERT_TRUE(QFile::remove(file("BBBBBBBBBB")));
    QFile c(file("CCCCCCCCCC"));
    ASSERT_TRUE(c.open(QIODevice::WriteOnly));
    c.close();
    const QStringList logs = QDir(folder).entryList({QStringLiteral("log-*")}, QDir::Files);
    ASSERT_EQ(logs.size(), 1) << QDir(folder).entryList().join(QLatin1Char(' ')).toStdString();
    QFile log(folder + QLatin1Char('/') + logs[0]);
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("0123456789abcdef AAAAAAAAAA 10 {\"n\":10}\n00000");
    log.close();

    const auto all = reopen(folder);
    ASSERT_EQ(all.size(), 2u);
    ASSERT_EQ(all.at(QStringLiteral("AAAAAAAAAA")).size(), 10u);
    ASSERT_EQ(all.at(QStringLiteral("BBBBBBBBBB")).size(), 5u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(all.at(QStringLiteral("AAAAAAAAAA"))[static_cast<size_t>(i)], entry(i));
    EXPECT_FALSE(QFile::exists(file("CCCCCCCCCC")));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file("BBBBBBBBBB")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600);
}

// A log kept small is rotated again and again while tables play on and
// close: at most two logs at a time, and a kill at any point loses nothing.
TEST(Journal, RotatedLogsStayFewAndLoseNothing) {
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/journal-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/tables");
    crashIn([&] {
        FileJournal journal(folder, nullptr, 300);
        if (!journal.open(nullptr)) ::_exit(1);
        for (int i = 0; i < 300; ++i) {
            journal.append(QStringLiteral("AAAAAAAAAA"), entry(i));
            if (i < 100) journal.append(QStringLiteral("BBBBBBBBBB"), entry(i));
            if (i == 100) journal.remove(QStringLiteral("BBBBBBBBBB"));
            journal.syncNow();
            if (QDir(folder).entryList({QStringLiteral("log-*")}, QDir::Files).size() > 2) ::_exit(2);
        }
        ::_exit(0);
    });
    const auto all = reopen(folder);
    ASSERT_EQ(all.size(), 1u);
    ASSERT_EQ(all.at(QStringLiteral("AAAAAAAAAA")).size(), 300u);
    for (int i = 0; i < 300; ++i) EXPECT_EQ(all.at(QStringLiteral("AAAAAAAAAA"))[static_cast<size_t>(i)], entry(i));
}
