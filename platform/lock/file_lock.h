// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An exclusive lock shared by every copy of the game (and the simulator)
// that writes a file of ours: the settings file, the player's record.
//
// The lock is flock(2) on a lock file beside the guarded file
// ("Vantel.ini.lock" beside "Vantel.ini"). The kernel lets go of it when the
// holder's process ends, however it ends, so a copy killed while it holds
// the lock never blocks the others. The lock file itself stays; it holds
// nothing and removing it would let two copies lock two different files.
#pragma once

#include <chrono>
#include <filesystem>
#include <string_view>
#include <utility>

namespace vantel {

class FileLock {
public:
    // How long a writer waits for another copy before it writes anyway.
    static constexpr std::chrono::milliseconds kDefaultWait{3000};

    // Takes the lock of `guarded`, waiting at most `wait`. Whether it was had
    // is held(); the lock file's folder is made when it is missing.
    explicit FileLock(const std::filesystem::path& guarded, std::chrono::milliseconds wait = kDefaultWait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0 && held_; }
    // Lets go before the object ends.
    void release();

    // The lock file that guards `guarded`: the same path with ".lock" added.
    static std::filesystem::path lockPathFor(const std::filesystem::path& guarded);

private:
    int fd_ = -1;
    bool held_ = false;
};

// Notes on stderr that `guarded` is written without its lock: another copy
// held it for longer than the wait, or no lock file could be made there.
void reportUnlockedWrite(const std::filesystem::path& guarded);

// Runs `work` holding the lock of `guarded` and returns what it returns.
// When the lock cannot be had in time the work runs all the same, after a
// note on stderr: a result is never dropped for want of a lock.
template <typename Work>
decltype(auto) underFileLock(const std::filesystem::path& guarded, Work&& work,
                             std::chrono::milliseconds wait = FileLock::kDefaultWait) {
    FileLock lock(guarded, wait);
    if (!lock.held()) reportUnlockedWrite(guarded);
    return std::forward<Work>(work)();
}

}  // namespace vantel
