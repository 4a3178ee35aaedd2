// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// 「ヒント」: the search player works out, on a thread of its own and over
// a copy of what the seat knows, what it would do in the seat; the window
// stays free meanwhile. Also how long the table's searches think.
#pragma once

#include <QObject>
#include <functional>
#include <optional>

#include "game/search/knowledge.h"
#include "game/search/move_search.h"
#include "game/search/search_player.h"

template <typename T>
class QFutureWatcher;

namespace vantel {

class TableHint : public QObject {
    Q_OBJECT
public:
    explicit TableHint(QObject* parent = nullptr);

    // Works the move out; `found` runs with it on the window's thread once
    // it is known (and not at all when the hint goes away first).
    void ask(SeatKnowledge knowledge, std::function<void(const TurnMove&)> found);
    // True while a hint is being worked out.
    bool running() const;

    // How a search thinks at the table (a computer's move at むずかしい,
    // and a hint): by time in play; tests think by a count of playouts and
    // a fixed seed, so that the hint and the computers can be foreseen.
    static SearchBudget budget();
    static uint64_t seed();
    // The searching computers' settings: in play they think during the
    // pause before their turn, on a thread of their own.
    static MoveSearch::Settings tableSearch();
    static void setSearchForTests(std::optional<SearchBudget> budget, uint64_t seed = 0);

private:
    QFutureWatcher<SearchResult>* watcher_ = nullptr;
    std::function<void(const TurnMove&)> found_;
};

}  // namespace vantel
