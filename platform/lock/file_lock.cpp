// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/lock/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <system_error>
#include <thread>

namespace vantel {

namespace {

int openLockFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A lock file made by another user may be read-only to us; flock works
    // on a descriptor opened for reading as well.
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd;
}

}  // namespace

std::filesystem::path FileLock::lockPathFor(const std::filesystem::path& guarded) {
    std::filesystem::path lock = guarded;
    lock += ".lock";
    return lock;
}

FileLock::FileLock(const std::filesystem::path& guarded, std::chrono::milliseconds wait) {
    fd_ = openLockFile(lockPathFor(guarded));
    if (fd_ < 0) return;
    // Polled rather than blocking, so that the wait has an end; the steps
    // grow from a millisecond, so an uncontended lock costs one call and a
    // short wait for another copy's write stays short.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto step = std::chrono::microseconds(500);
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) return;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(step, deadline - now));
        step = std::min(step * 2, std::chrono::microseconds(20000));
    }
}

FileLock::~FileLock() { release(); }

void FileLock::release() {
    if (fd_ < 0) return;
    if (held_) ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    held_ = false;
}

void reportUnlockedWrite(const std::filesystem::path& guarded) {
    std::cerr << "vantel: could not lock " << FileLock::lockPathFor(guarded).string()
              << "; writing " << guarded.string() << " without the lock\n";
}

}  // namespace vantel
