// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/table_hint.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <chrono>

namespace vantel {

namespace {

// How long a search may think at the table.
constexpr std::chrono::milliseconds kThinkTime{150};

struct SearchForTests {
    std::optional<SearchBudget> budget;
    uint64_t seed = 0;
};

SearchForTests& searchForTests() {
    static SearchForTests settings;
    return settings;
}

}  // namespace

SearchBudget TableHint::budget() { return searchForTests().budget.value_or(SearchBudget::ofTime(kThinkTime)); }

uint64_t TableHint::seed() {
    if (searchForTests().budget) return searchForTests().seed;
    return static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

MoveSearch::Settings TableHint::tableSearch() { return {budget(), seed(), !searchForTests().budget}; }

void TableHint::setSearchForTests(std::optional<SearchBudget> budget, uint64_t seed) {
    searchForTests() = {budget, seed};
}

TableHint::TableHint(QObject* parent) : QObject(parent) {}

bool TableHint::running() const { return watcher_ && watcher_->isRunning(); }

void TableHint::ask(SeatKnowledge knowledge, std::function<void(const TurnMove&)> found) {
    if (running()) return;
    found_ = std::move(found);
    if (!watcher_) {
        watcher_ = new QFutureWatcher<SearchResult>(this);
        connect(watcher_, &QFutureWatcher<SearchResult>::finished, this, [this] {
            if (found_) found_(watcher_->result().move);
        });
    }
    // The search works on its own copy of what the seat knows, so nothing
    // of the round is touched.
    watcher_->setFuture(QtConcurrent::run([knowledge = std::move(knowledge), budget = budget(), seed = seed()] {
        return searchMove(knowledge, budget, seed);
    }));
}

}  // namespace vantel
