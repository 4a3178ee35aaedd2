// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What a table server is started with, and the command line of
// vantel-server that fills it.
#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "server/lobby.h"

namespace vantel::net {

struct ServerOptions {
    QHostAddress listen = QHostAddress::Any;
    quint16 port = 7777;
    // Where the tables' journals live (a folder "tables" is made in it).
    QString dataDir;
    // TLS: both or neither. With them the server speaks https and wss only.
    QString certFile;
    QString keyFile;
    // The browser page's files (index.html and its assets).
    QString webDir;
    // Origins besides the server's own page that browsers may connect from
    // (for a reverse proxy), as "https://example.org".
    QStringList allowedOrigins;

    int maxConnections = 20'000;
    int maxMessageBytes = 4096;
    int handshakeMs = 10'000;
    int pingIntervalMs = 10'000;
    int pingTimeoutMs = 30'000;
    // A connection whose unsent data grows beyond this reads too slowly and
    // is closed.
    qint64 maxQueuedBytes = 1 << 20;
    // How often grace periods, turn timers and idle tables are looked at.
    int tickMs = 250;

    // Rooms, seats and their limits; members and lines for the seats.
    LobbyOptions lobby;

    // One line per connection, table and refusal. Empty: standard error.
    std::function<void(const QString&)> log;
};

// The members and lines of a server that has no host's own: the game's
// factory members, with their pictures from `dataFolder`/gazou.
std::vector<Member> factoryMembers(const QString& dataFolder);
// The folder holding the game's pictures (gazou/) and the browser page
// (web/): beside the program, or an installed game's data folder.
QString gameDataFolder();
// The user's data folder for the server's journals.
QString defaultDataDir();

enum class CommandLine { Run, Help, Version, Error };

// Reads vantel-server's arguments (the program name first). On Help,
// Version and Error, `text` holds what to print.
CommandLine parseCommandLine(const QStringList& arguments, ServerOptions& options, QString& text);

}  // namespace vantel::net
