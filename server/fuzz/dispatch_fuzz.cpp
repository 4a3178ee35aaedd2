// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target: the message parser and the lobby's dispatch, from bytes
// to what every connection is sent. Each input is a script of lines: the
// first character picks one of four connections ('0'..'3'), the rest is the
// frame it sends. "$ROOM", "$HOST", "$TOKEN" and "$SEQ" in a frame become
// the table's room code, the host's token, the connection's seat token and
// its last event number, so that the fuzzer reaches seats and moves and not
// only refusals. A line "~" lets 25 seconds pass; "!N" drops connection N.
//
// Every message sent must be a JSON object with a type; nothing may crash.

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "server/fuzz/fuzz_replies.h"
#include "server/lobby.h"

namespace {

using namespace vantel::net;

class CheckingOutbox final : public Outbox {
public:
    explicit CheckingOutbox(fuzz::Seen& seen) : seen_(seen) {}
    void send(ConnId id, const QByteArray& text) override { fuzz::takeReply(seen_, static_cast<size_t>(id % 4), text); }
    void close(ConnId, int code, const QString&) override { fuzz::checkCloseCode(code); }

private:
    fuzz::Seen& seen_;
};

QCoreApplication* app() {
    static int argc = 1;
    static char name[] = "dispatch_fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return instance;
}

}  // namespace

// Allocation stacks and poisoned fills cost more than the runs themselves
// here (every event is a few small JSON objects); a crash still names its
// place.
extern "C" const char* __asan_default_options() { return "malloc_context_size=2:max_malloc_fill_size=0"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    app();
    if (size > 16384) return 0;
    fuzz::Seen seen;
    CheckingOutbox outbox(seen);
    MemoryJournal journal;
    LobbyOptions options;
    options.graceMs = 20'000;
    options.searchPlayouts = 1;
    options.limits.tablesPerHourPerAddress = 3;
    options.limits.messagesPerSecond = 1'000;
    Lobby lobby(options, outbox, journal);
    int64_t now = 1'000;
    std::array<bool, 4> open{};
    for (int i = 0; i < 4; ++i) {
        lobby.connected(static_cast<ConnId>(i + 4), QStringLiteral("127.0.0.1"), now);
        open[static_cast<size_t>(i)] = true;
    }
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QByteArray& line : input.split('\n')) {
        if (line.isEmpty()) continue;
        now += 7;
        if (line == "~") {
            now += 25'000;
            lobby.tick(now);
        } else if (line.startsWith('!') && line.size() >= 2) {
            const size_t i = static_cast<size_t>(static_cast<unsigned char>(line[1]) % 4);
            if (open[i]) lobby.disconnected(static_cast<ConnId>(i + 4), now);
            open[i] = false;
        } else {
            const size_t i = static_cast<size_t>(static_cast<unsigned char>(line[0]) % 4);
            QByteArray frame = line.mid(1);
            frame.replace("$ROOM", seen.room.toUtf8());
            frame.replace("$HOST", seen.hostToken.toUtf8());
            frame.replace("$TOKEN", seen.token[i].toUtf8());
            frame.replace("$SEQ", QByteArray::number(static_cast<qulonglong>(seen.last[i])));
            // The search player's playouts would take nearly all the time of
            // a run and belong to the game, not to the dispatcher: tables here
            // have general computers.
            frame.replace("strong", "general");
            if (!open[i]) {
                lobby.connected(static_cast<ConnId>(i + 4), QStringLiteral("127.0.0.1"), now);
                open[i] = true;
            }
            lobby.received(static_cast<ConnId>(i + 4), frame, now);
        }
        lobby.journalSynced(journal.commit());
    }
    // A restart from what the journal holds must not crash either.
    CheckingOutbox other(seen);
    Lobby again(options, other, journal);
    again.restore(now);
    again.tick(now + 60'000);
    return 0;
}
