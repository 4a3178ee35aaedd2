// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target: the message parser and the lobby's dispatch, like
// dispatch_fuzz and with the same script of lines (see dispatch_fuzz.cpp),
// but on one lobby kept for the whole run of the fuzzer. Each input gets
// connections of its own and a clock an hour past the last input's, so that
// no rate limit carries over; at its end every connection goes and the clock
// passes the idle time, which must close every table it made. A lobby that
// keeps a room, a held message or a connection after that is a fault too.
// No restart from the journal here (dispatch_fuzz covers it): a run costs
// the parser and the dispatcher, and the tables it plays. Most of a run that
// starts a table goes into the events every connection is sent as JSON.

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cstdint>
#include <cstdlib>

#include "server/fuzz/fuzz_replies.h"
#include "server/lobby.h"

namespace {

using namespace vantel::net;

// The replies of this input's connections, numbered from `base`.
struct Seen : fuzz::Seen {
    ConnId base = 0;
};

class CheckingOutbox final : public Outbox {
public:
    Seen seen;
    void send(ConnId id, const QByteArray& text) override {
        if (id < seen.base) {
            // A connection of an earlier input: nothing more is kept of it.
            fuzz::checkedReply(text);
            return;
        }
        fuzz::takeReply(seen, static_cast<size_t>((id - seen.base) % 4), text);
    }
    void close(ConnId, int code, const QString&) override { fuzz::checkCloseCode(code); }
};

struct World {
    World() {
        options.graceMs = 20'000;
        options.searchPlayouts = 1;
        options.limits.tablesPerHourPerAddress = 3;
        options.limits.messagesPerSecond = 1'000;
        lobby = std::make_unique<Lobby>(options, outbox, journal);
    }
    CheckingOutbox outbox;
    MemoryJournal journal;
    LobbyOptions options;
    std::unique_ptr<Lobby> lobby;
    int64_t now = 1'000;
    ConnId next = 4;
};

World& world() {
    static int argc = 1;
    static char name[] = "lobby_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static World w;
    return w;
}

}  // namespace

// Allocation stacks and poisoned fills cost more than the runs themselves
// here; a crash still names its place.
extern "C" const char* __asan_default_options() { return "malloc_context_size=0:max_malloc_fill_size=0"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384) return 0;
    World& w = world();
    Lobby& lobby = *w.lobby;
    Seen& seen = w.outbox.seen;
    seen = Seen{};
    seen.base = w.next;
    w.next += 4;
    w.now += 3'600'000;
    std::array<bool, 4> open{};
    const auto conn = [&](size_t i) { return static_cast<ConnId>(seen.base + i); };
    for (size_t i = 0; i < 4; ++i) {
        lobby.connected(conn(i), QStringLiteral("127.0.0.1"), w.now);
        open[i] = true;
    }
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& line : input.split('\n')) {
        if (line.isEmpty()) continue;
        w.now += 7;
        if (line == "~") {
            w.now += 25'000;
            lobby.tick(w.now);
        } else if (line.startsWith('!') && line.size() >= 2) {
            const size_t i = static_cast<size_t>(static_cast<unsigned char>(line[1]) % 4);
            if (open[i]) lobby.disconnected(conn(i), w.now);
            open[i] = false;
        } else {
            const size_t i = static_cast<size_t>(static_cast<unsigned char>(line[0]) % 4);
            QByteArray frame = line.mid(1);
            frame.replace("$ROOM", seen.room.toUtf8());
            frame.replace("$HOST", seen.hostToken.toUtf8());
            frame.replace("$TOKEN", seen.token[i].toUtf8());
            frame.replace("$SEQ", QByteArray::number(static_cast<qulonglong>(seen.last[i])));
            // The search player belongs to the game, not to the dispatcher.
            frame.replace("strong", "general");
            if (!open[i]) {
                lobby.connected(conn(i), QStringLiteral("127.0.0.1"), w.now);
                open[i] = true;
            }
            lobby.received(conn(i), frame, w.now);
        }
        lobby.journalSynced(w.journal.commit());
    }
    for (size_t i = 0; i < 4; ++i)
        if (open[i]) lobby.disconnected(conn(i), w.now);
    w.now += w.options.idleCloseMs + 1;
    lobby.tick(w.now);
    lobby.journalSynced(w.journal.commit());
    if (lobby.roomCount() != 0 || lobby.connectionCount() != 0 || lobby.heldCount() != 0 || !w.journal.journals().empty()) std::abort();
    return 0;
}
