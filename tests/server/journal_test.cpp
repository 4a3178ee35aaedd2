// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The journal files: private to their user, read back line for line, a torn
// last line left out, and every batch reported durable in order.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <sys/stat.h>

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
