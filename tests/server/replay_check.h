// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A table played again from a server's journal (its seed, settings, seats
// and inputs, as docs/protocol.md describes the journal), to compare what
// clients received with what the same seed and moves give.
#pragma once

#include <QJsonObject>
#include <QString>

#include <memory>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "game/table.h"

namespace vantel::net::testing {

struct Replayed {
    std::unique_ptr<MatchPlay> match;
    std::unique_ptr<Table> table;
    // The move ids the journal holds.
    std::set<QString> moveIds;
};

// Reads tables/ROOM.journal and plays it again; null table when it cannot.
Replayed replayJournal(const QString& path, int searchPlayouts = 300);

// Whether `received` (a client's events, in order) is exactly what the
// replayed table shows `viewer` from its first event on (line texts aside).
::testing::AssertionResult sameStream(const std::vector<QJsonObject>& received, const Table& table, int viewer);

}  // namespace vantel::net::testing
