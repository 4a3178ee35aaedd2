// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The server's tests need an application object for Qt's event loop,
// sockets and timers; the loop is the server's own (epoll).

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "server/epoll_dispatcher.h"

int main(int argc, char** argv) {
    QCoreApplication::setEventDispatcher(new vantel::net::EpollEventDispatcher);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
