// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "replay_check.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "server/lobby.h"
#include "server/protocol.h"

namespace vantel::net::testing {

Replayed replayJournal(const QString& path, int searchPlayouts) {
    Replayed r;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return r;
    TableSettings settings;
    uint64_t seed = 0;
    std::array<bool, kSeats + 1> person{};
    std::vector<TableInput> inputs;
    bool started = false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.isEmpty()) continue;
        const QJsonObject e = QJsonDocument::fromJson(line).object();
        const QString kind = e.value("e").toString();
        if (kind == QLatin1String("table") || kind == QLatin1String("settings")) {
            if (auto s = settingsFromJson(e.value("settings"), nullptr)) settings = *s;
            if (kind == QLatin1String("table")) seed = e.value("seed").toString().toULongLong(nullptr, 16);
        } else if (kind == QLatin1String("start")) {
            const QJsonArray seats = e.value("seats").toArray();
            for (int seat = 1; seat <= kSeats; ++seat) person[seat] = seats.at(seat - 1).toString() == QLatin1String("person");
            started = true;
        } else if (kind == QLatin1String("input")) {
            TableInput in;
            const QString k = e.value("kind").toString();
            in.kind = k == QLatin1String("start")    ? TableInput::StartMatch
                    : k == QLatin1String("skip")     ? TableInput::Skip
                    : k == QLatin1String("search")   ? TableInput::SearchMove
                                                     : TableInput::Move;
            in.seat = static_cast<uint8_t>(e.value("seat").toInt());
            const QString m = e.value("move").toString();
            in.move.kind = m == QLatin1String("card") ? TurnMove::Card : m == QLatin1String("drop") ? TurnMove::Drop : TurnMove::Pass;
            in.move.card = e.value("card").toInt();
            in.atSeq = static_cast<uint64_t>(e.value("at").toDouble());
            inputs.push_back(in);
            if (e.contains("id")) r.moveIds.insert(e.value("id").toString());
        }
    }
    if (!started) return r;
    r.match = std::make_unique<MatchPlay>();
    r.table = std::make_unique<Table>(friendsTableSetup(settings, person, seed, searchPlayouts), r.match.get());
    r.table->setEventsKept(1 << 20);
    if (!r.table->replay(inputs)) {
        r.table.reset();
        return r;
    }
    while (r.table->step()) {}
    return r;
}

::testing::AssertionResult sameStream(const std::vector<QJsonObject>& received, const Table& table, int viewer) {
    const std::vector<TableEvent> expected = table.eventsFor(viewer, 0);
    if (received.size() != expected.size())
        return ::testing::AssertionFailure() << "received " << received.size() << " events, the replay has " << expected.size();
    for (size_t i = 0; i < received.size(); ++i) {
        QJsonObject got = received[i];
        QJsonObject want = eventJson(expected[i], {});
        got.remove(QStringLiteral("text"));
        want.remove(QStringLiteral("text"));
        if (got != want) {
            return ::testing::AssertionFailure()
                   << "event " << i << " differs:\n  received " << QJsonDocument(got).toJson(QJsonDocument::Compact).constData()
                   << "\n  replayed " << QJsonDocument(want).toJson(QJsonDocument::Compact).constData();
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace vantel::net::testing
