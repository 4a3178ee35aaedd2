// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The lock between copies of the game: exclusive, with a bounded wait, and
// free again at once when its holder is killed.
#include "platform/lock/file_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

namespace vantel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(FileLock, ExclusiveBoundedAndFreedWhenItsHolderIsKilled) {
    const fs::path folder = fs::path(::testing::TempDir()) / "file-lock-test" / "help";
    fs::remove_all(folder.parent_path());
    const fs::path guarded = folder / "Vantel.ini";

    {
        // The folder is made; a second taker in the same process is refused
        // after its wait, and succeeds once the first lets go.
        FileLock first(guarded, 0ms);
        ASSERT_TRUE(first.held());
        EXPECT_TRUE(fs::exists(FileLock::lockPathFor(guarded)));
        const auto start = std::chrono::steady_clock::now();
        FileLock second(guarded, 60ms);
        EXPECT_FALSE(second.held());
        EXPECT_GE(std::chrono::steady_clock::now() - start, 60ms);
        first.release();
        FileLock third(guarded, 0ms);
        EXPECT_TRUE(third.held());
    }

    // Another process holds the lock and is killed: the next taker has it at once.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileLock held(guarded, 0ms);
        const char ok = held.held() ? 'y' : 'n';
        if (::write(ready[1], &ok, 1) != 1) ::_exit(2);
        for (;;) ::pause();
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    EXPECT_FALSE(FileLock(guarded, 30ms).held());
    int written = 0;
    const int value = underFileLock(guarded, [&] { return ++written; }, 10ms);
    EXPECT_EQ(value, 1) << "the work runs even without the lock";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const auto start = std::chrono::steady_clock::now();
    FileLock after(guarded, 2000ms);
    EXPECT_TRUE(after.held());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
    ::close(ready[0]);
    ::close(ready[1]);
}

}  // namespace
}  // namespace vantel
