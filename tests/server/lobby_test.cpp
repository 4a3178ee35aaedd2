// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The lobby with time in the test's hand: grace periods, stand-ins, turn
// timers, tables that hold, idle tables, duplicate and stale moves, answers
// held until the journal is durable, and a restart from the journal.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>
#include <memory>

#include <gtest/gtest.h>

#include "server/lobby.h"

using namespace vantel::net;

namespace {

class Harness : public Outbox {
public:
    explicit Harness(int64_t graceMs = 20'000) {
        options.graceMs = graceMs;
        options.searchPlayouts = 8;
        lobby = std::make_unique<Lobby>(options, *this, journal);
    }
    void send(ConnId id, const QByteArray& text) override {
        const QJsonObject m = QJsonDocument::fromJson(text).object();
        // Every message is exactly what QJsonDocument writes, the events
        // put together from each event's own JSON included.
        EXPECT_EQ(QJsonDocument(m).toJson(QJsonDocument::Compact), text);
        got[id].push_back(m);
        if (m.value("type").toString() == QLatin1String("events")) {
            for (const QJsonValue& e : m.value("events").toArray()) streams[id].push_back(e.toObject());
        }
    }
    void close(ConnId id, int code, const QString&) override { closed[id] = code; }

    void connect(ConnId id) {
        lobby->connected(id, QStringLiteral("10.0.0.%1").arg(id), now);
        say(id, {{"type", "hello"}, {"protocol", 1}});
    }
    void say(ConnId id, const QJsonObject& m) {
        now += 60;  // a person's pace, well inside the message rate
        lobby->received(id, QJsonDocument(m).toJson(QJsonDocument::Compact), now);
        if (autoSync) sync();
    }
    void sync() { lobby->journalSynced(journal.commit()); }
    void pass(int64_t ms) {
        now += ms;
        lobby->tick(now);
        if (autoSync) sync();
    }
    QJsonObject last(ConnId id, const QString& type) const {
        auto it = got.find(id);
        if (it == got.end()) return {};
        for (auto m = it->second.rbegin(); m != it->second.rend(); ++m) {
            if (m->value("type").toString() == type) return *m;
        }
        return {};
    }
    const std::vector<QJsonObject>& events(ConnId id) { return streams[id]; }
    uint64_t lastSeq(ConnId id) {
        const auto& list = events(id);
        return list.empty() ? 0 : static_cast<uint64_t>(list.back().value("seq").toDouble());
    }
    // The turn_open this connection has not answered yet, if its stream
    // ends with one.
    QJsonObject openTurn(ConnId id) {
        const auto& list = events(id);
        if (list.empty() || list.back().value("kind").toString() != QLatin1String("turn_open")) return {};
        return list.back();
    }
    // Plays every connection's open turn (its first playable card, else
    // PASS, else DROP) until `done` or nobody can move.
    void play(const std::vector<ConnId>& ids, const std::function<bool()>& done, int limit = 100'000) {
        for (int i = 0; i < limit && !done(); ++i) {
            bool moved = false;
            for (ConnId id : ids) {
                const QJsonObject open = openTurn(id);
                if (open.isEmpty()) continue;
                QJsonObject m{{"type", "move"}, {"id", QStringLiteral("c%1-%2").arg(id).arg(++serial)}, {"answers", open.value("seq")}};
                const QJsonArray cards = open.value("cards").toArray();
                if (!cards.isEmpty()) {
                    m.insert("move", "card");
                    m.insert("card", cards.first());
                } else {
                    m.insert("move", (open.value("a").toInt() & 1) ? "pass" : "drop");
                }
                say(id, m);
                moved = true;
                if (done()) return;
            }
            if (!moved) return;
        }
    }
    // Creates a table from `host` and seats `people` (host first).
    QString table(const std::vector<ConnId>& people, int turnTimer = 0) {
        connect(people.front());
        say(people.front(), {{"type", "create"}, {"settings", QJsonObject{{"turnTimer", turnTimer}}}});
        const QString room = last(people.front(), "created").value("room").toString();
        hostToken = last(people.front(), "created").value("hostToken").toString();
        for (size_t i = 0; i < people.size(); ++i) {
            if (i > 0) connect(people[i]);
            say(people[i], {{"type", "join"}, {"room", room}, {"name", QStringLiteral("p%1").arg(i + 1)}, {"picture", 1}});
            tokens[people[i]] = last(people[i], "seated").value("token").toString();
        }
        return room;
    }

    LobbyOptions options;
    MemoryJournal journal;
    std::unique_ptr<Lobby> lobby;
    std::map<ConnId, std::vector<QJsonObject>> got;
    std::map<ConnId, std::vector<QJsonObject>> streams;
    std::map<ConnId, int> closed;
    std::map<ConnId, QString> tokens;
    QString hostToken;
    int64_t now = 1'000;
    bool autoSync = true;
    int serial = 0;
};

}  // namespace

TEST(Lobby, AGoneSeatIsPlayedAfterTheGraceTheTableHoldsWhenAllAreGoneAndThePersonTakesItBack) {
    Harness h(20'000);
    const QString room = h.table({1, 2});
    h.say(1, {{"type", "start"}, {"room", room}, {"hostToken", h.hostToken}});
    // Play until seat 2 is to move, then seat 2's person goes.
    h.play({1}, [&] { return !h.openTurn(2).isEmpty(); });
    ASSERT_FALSE(h.openTurn(2).isEmpty());
    const uint64_t before = h.lastSeq(1);
    h.lobby->disconnected(2, h.now);
    h.pass(19'000);
    EXPECT_EQ(h.lastSeq(1), before) << "nobody moves for seat 2 within the grace";
    h.pass(1'500);
    const QJsonObject takeover = h.last(1, "notice");
    EXPECT_EQ(takeover.value("kind").toString(), QStringLiteral("takeover"));
    EXPECT_EQ(takeover.value("seat").toInt(), 2);
    EXPECT_GT(h.lastSeq(1), before) << "a computer moved for seat 2";

    // Now seat 1 goes too: the table holds however long it waits, as a
    // spectator sees.
    h.play({1}, [&] { return false; }, 3);
    h.connect(9);
    h.say(9, {{"type", "watch"}, {"room", room}});
    h.lobby->disconnected(1, h.now);
    const uint64_t held = h.lastSeq(9);
    h.pass(60'000);
    h.pass(60'000);
    EXPECT_EQ(h.lastSeq(9), held);

    // Seat 2's person returns with its token; the events it missed come, and
    // its own turns are its own again.
    h.connect(3);
    h.say(3, {{"type", "resume"}, {"room", room}, {"token", h.tokens[2]}, {"last", static_cast<qint64>(before)}});
    EXPECT_EQ(h.last(3, "seated").value("seat").toInt(), 2);
    EXPECT_EQ(h.last(3, "notice").value("kind").toString(), QStringLiteral("return"));
    const auto missed = h.events(3);
    ASSERT_FALSE(missed.empty());
    EXPECT_EQ(static_cast<uint64_t>(missed.front().value("seq").toDouble()) > before, true);
    h.play({3}, [&] { return h.lastSeq(3) > before + 400; });
    EXPECT_GT(h.lastSeq(3), before + 400) << "seat 2 plays on, with a computer at seat 1 while its person is gone";
}

TEST(Lobby, TheTurnTimerMovesForTheAwaitedPerson) {
    Harness h;
    const QString room = h.table({1}, 30);
    h.say(1, {{"type", "start"}, {"room", room}, {"hostToken", h.hostToken}});
    ASSERT_FALSE(h.openTurn(1).isEmpty());
    const uint64_t open = h.lastSeq(1);
    h.pass(29'000);
    EXPECT_EQ(h.lastSeq(1), open);
    h.pass(1'500);
    EXPECT_GT(h.lastSeq(1), open);
    EXPECT_EQ(h.last(1, "notice").value("kind").toString(), QStringLiteral("timer"));
}

TEST(Lobby, AMoveSentTwiceIsAppliedOnceAndAnOldOneIsStale) {
    Harness h;
    const QString room = h.table({1});
    h.say(1, {{"type", "start"}, {"room", room}, {"hostToken", h.hostToken}});
    QJsonObject open = h.openTurn(1);
    ASSERT_FALSE(open.isEmpty());
    const QJsonValue first = open.value("cards").toArray().isEmpty() ? QJsonValue() : open.value("cards").toArray().first();
    QJsonObject move{{"type", "move"}, {"id", "x1"}, {"answers", open.value("seq")}};
    if (first.isUndefined() || first.isNull()) move.insert("move", "pass");
    else {
        move.insert("move", "card");
        move.insert("card", first);
    }
    h.say(1, move);
    const QJsonObject answer = h.last(1, "answer");
    EXPECT_TRUE(answer.value("ok").toBool());
    const uint64_t after = h.lastSeq(1);
    const size_t inputs = h.journal.journals().begin()->second.size();
    h.say(1, move);
    EXPECT_EQ(h.last(1, "answer"), answer);
    EXPECT_EQ(h.lastSeq(1), after);
    EXPECT_EQ(h.journal.journals().begin()->second.size(), inputs) << "nothing journaled for a duplicate";

    // Wait for the next turn of seat 1, then answer the old turn_open.
    ASSERT_FALSE(h.openTurn(1).isEmpty());
    const uint64_t now = h.lastSeq(1);
    move.insert("id", "x2");
    h.say(1, move);
    EXPECT_EQ(h.last(1, "answer").value("code").toString(), QStringLiteral("stale"));
    move.insert("id", "x3");
    move.insert("answers", static_cast<qint64>(h.lastSeq(1) + 5));
    h.say(1, move);
    EXPECT_EQ(h.last(1, "answer").value("code").toString(), QStringLiteral("stale"));
    EXPECT_EQ(h.lastSeq(1), now) << "a refused move changes nothing";
    move.insert("id", "x4");
    move.insert("answers", static_cast<qint64>(h.lastSeq(1)));
    move.insert("move", "card");
    move.insert("card", 53 - 1);
    // A card the seat may well not hold: refused by the table, with its code.
    h.say(1, move);
    const QString code = h.last(1, "answer").value("code").toString();
    if (!h.last(1, "answer").value("ok").toBool()) {
        EXPECT_TRUE(code == QLatin1String("no_such_card") || code == QLatin1String("card_not_playable")) << code.toStdString();
    }
}

TEST(Lobby, NothingIsAnsweredBeforeItsJournalBatchIsDurable) {
    Harness h;
    const QString room = h.table({1});
    h.autoSync = false;
    h.say(1, {{"type", "start"}, {"room", room}, {"hostToken", h.hostToken}});
    EXPECT_TRUE(h.events(1).empty()) << "the deal waits for the journal";
    EXPECT_GT(h.lobby->heldCount(), 0u);
    h.sync();
    ASSERT_FALSE(h.openTurn(1).isEmpty());
    const QJsonObject open = h.openTurn(1);
    const size_t before = h.got[1].size();
    QJsonObject move{{"type", "move"}, {"id", "y"}, {"answers", open.value("seq")}};
    const QJsonArray cards = open.value("cards").toArray();
    if (cards.isEmpty()) move.insert("move", "pass");
    else {
        move.insert("move", "card");
        move.insert("card", cards.first());
    }
    h.say(1, move);
    EXPECT_EQ(h.got[1].size(), before) << "the answer waits for its sync";
    const uint64_t batch = h.journal.commit();
    h.lobby->journalSynced(batch - 1);
    EXPECT_EQ(h.got[1].size(), before) << "an older batch does not release it";
    h.lobby->journalSynced(batch);
    EXPECT_TRUE(h.last(1, "answer").value("ok").toBool());
}

TEST(Lobby, AnIdleTableClosesAndItsJournalGoes) {
    Harness h;
    const QString room = h.table({1});
    EXPECT_EQ(h.lobby->roomCount(), 1u);
    EXPECT_EQ(h.journal.journals().size(), 1u);
    h.lobby->disconnected(1, h.now);
    h.pass(9 * 60'000);
    EXPECT_EQ(h.lobby->roomCount(), 1u);
    h.pass(61'000);
    EXPECT_EQ(h.lobby->roomCount(), 0u);
    EXPECT_TRUE(h.journal.journals().empty());

    // A table whose last connection goes to watch another table is idle
    // from that moment too.
    const QString first = h.table({2});
    EXPECT_NE(first, QString());
    const QString second = h.table({3});
    h.say(2, {{"type", "watch"}, {"room", second}});
    h.lobby->disconnected(3, h.now);
    h.lobby->disconnected(2, h.now);
    h.pass(10 * 60'000 + 1'000);
    EXPECT_EQ(h.lobby->roomCount(), 0u);
}

TEST(Lobby, ARestartFromTheJournalResumesTheSameTable) {
    Harness h;
    const QString room = h.table({1, 2, 3});
    h.say(1, {{"type", "start"}, {"room", room}, {"hostToken", h.hostToken}});
    h.play({1, 2, 3}, [&] { return h.lastSeq(1) > 300; });
    const auto before = h.events(2);
    const uint64_t seq = h.lastSeq(2);

    // A new lobby on the same journal, as after kill -9.
    Harness again;
    again.journal = h.journal;
    again.lobby = std::make_unique<Lobby>(again.options, again, again.journal);
    ASSERT_EQ(again.lobby->restore(again.now), 1);
    again.connect(7);
    again.say(7, {{"type", "resume"}, {"room", room}, {"token", h.tokens[2]}, {"last", 0}});
    ASSERT_EQ(again.last(7, "seated").value("seat").toInt(), 2);
    const auto replayed = again.events(7);
    ASSERT_GE(replayed.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(replayed[i], before[i]) << "event " << i;
    EXPECT_EQ(again.lastSeq(7), seq);
    // A wrong token gets nothing.
    again.connect(8);
    again.say(8, {{"type", "resume"}, {"room", room}, {"token", "AAAAAAAAAAAAAAAAAAAAAA"}, {"last", 0}});
    EXPECT_EQ(again.last(8, "error").value("code").toString(), QStringLiteral("wrong_token"));
}

TEST(Lobby, JoinChecksNamesPicturesAndSeats) {
    Harness h;
    const QString room = h.table({1});
    auto joinAs = [&](ConnId id, const QString& name, int picture) {
        h.connect(id);
        h.say(id, {{"type", "join"}, {"room", room}, {"name", name}, {"picture", picture}});
        h.tokens[id] = h.last(id, "seated").value("token").toString();
        const QJsonObject e = h.last(id, "error");
        return e.isEmpty() ? QStringLiteral("ok") : e.value("code").toString();
    };
    EXPECT_EQ(joinAs(2, QStringLiteral("P1"), 1), QStringLiteral("name_taken"));  // "p1" is seat 1's, case folded
    EXPECT_EQ(joinAs(3, QStringLiteral(" \u0001 "), 1), QStringLiteral("bad_name"));
    EXPECT_EQ(joinAs(4, QStringLiteral("ながいなまえ"), 1), QStringLiteral("bad_name"));
    EXPECT_EQ(joinAs(5, QStringLiteral("ok"), 2), QStringLiteral("bad_picture"));  // one member only
    EXPECT_EQ(joinAs(6, QStringLiteral("b"), 1), QStringLiteral("ok"));
    EXPECT_EQ(joinAs(7, QStringLiteral("c"), 1), QStringLiteral("ok"));  // pictures may repeat
    EXPECT_EQ(joinAs(8, QStringLiteral("d"), 1), QStringLiteral("ok"));
    EXPECT_EQ(joinAs(9, QStringLiteral("e"), 1), QStringLiteral("table_full"));
    h.connect(10);
    h.say(10, {{"type", "join"}, {"room", "ZZZZZZZZZZ"}, {"name", "x"}, {"picture", 1}});
    EXPECT_EQ(h.last(10, "error").value("code").toString(), QStringLiteral("no_such_room"));
    // Seat tokens reach their own connection only.
    for (ConnId id : {1, 6, 7, 8}) {
        ASSERT_EQ(h.tokens[id].size(), 22);
        for (const auto& [other, messages] : h.got) {
            if (other == id) continue;
            for (const QJsonObject& m : messages)
                EXPECT_FALSE(QJsonDocument(m).toJson().contains(h.tokens[id].toUtf8())) << "seat token leaked";
        }
    }
}
