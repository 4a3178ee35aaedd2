// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/table.h"

#include <algorithm>

#include "game/game_observer.h"
#include "game/round_scoring.h"
#include "game/rules.h"
#include "game/search/playout.h"
#include "game/turns.h"

namespace vantel {

namespace {

constexpr int kSevens[4] = {7, 20, 33, 46};
constexpr size_t kFewestKept = 64;

}  // namespace

// ---- setup ----------------------------------------------------------------

int TableSetup::people() const {
    return static_cast<int>(std::count(seats.begin() + 1, seats.end(), SeatKind::Person));
}

TableSetup TableSetup::local(std::optional<uint64_t> seed) {
    TableSetup setup;
    setup.seed = seed;
    return setup;
}

std::string_view refusalText(Refusal refusal) {
    switch (refusal) {
        case Refusal::NotYourTurn: return "あなたの番ではありません。";
        case Refusal::NotAPerson: return "その席はコンピュータの席です。";
        case Refusal::NoSuchCard: return "そのカードは手札にありません。";
        case Refusal::CardNotPlayable: return "そのカードは今は出せません。";
        case Refusal::NoPassLeft: return "パスは３回までです。";
        case Refusal::DropNotAllowed: return "DROPは３回パスした後だけです。";
        case Refusal::NotNow: return "今はできません。";
    }
    return "";
}

std::string_view refusalCode(Refusal refusal) {
    switch (refusal) {
        case Refusal::NotYourTurn: return "not_your_turn";
        case Refusal::NotAPerson: return "not_a_person";
        case Refusal::NoSuchCard: return "no_such_card";
        case Refusal::CardNotPlayable: return "card_not_playable";
        case Refusal::NoPassLeft: return "no_pass_left";
        case Refusal::DropNotAllowed: return "drop_not_allowed";
        case Refusal::NotNow: return "not_now";
    }
    return "";
}

// ---- the turns as this table tells them -----------------------------------

// Every step of RoundTurns becomes an event (and a call of the observer);
// the computers' moves come from the strategy of their seat.
struct Table::Stage {
    Table& t;

    bool isPerson(int seat) const { return t.isPerson(seat); }
    void relayHand() { t.announce({.kind = EventKind::TurnStart, .seat = uint8_t(t.s_.currentSeat)}); }
    void userTurn(RoundTurns<Stage>&) { t.openTurn(t.s_.currentSeat); }
    Decision decide(int seat) {
        const SeatStrategy how = t.strategyOf(seat);
        if (how == SeatStrategy::Search) return t.searchDecision(seat);
        return computerMove(t.s_, how);
    }
    void cardFlies(int, int) {}
    void landed(int seat, int slot, int card, LandKind kind, int) {
        t.history_.cardLaid(seat, card);
        if (t.observer_) {
            switch (kind) {
                case LandKind::Play: t.observer_->onPlay(seat, slot, card); break;
                case LandKind::Forced: t.observer_->onForced(seat, slot, card); break;
                case LandKind::Lay:
                    t.observer_->onLay(seat, slot, card, t.s_.table[suitOf(card)][rankOf(card)]);
                    break;
            }
        }
        const LandHow how = kind == LandKind::Play     ? LandHow::Play
                            : kind == LandKind::Forced ? LandHow::Forced
                                                       : LandHow::Lay;
        t.announce({.kind = EventKind::Card, .seat = uint8_t(seat), .slot = uint8_t(slot), .card = uint8_t(card),
                .how = uint8_t(how), .b = t.s_.droppingOut, .cards = packRow(t.s_.table[suitOf(card)])});
    }
    void userHandEmpty(int seat) {
        // The joker held to the end goes away unseen by anyone else.
        if (t.s_.holdsJoker(seat)) {
            t.announce({.kind = EventKind::JokerGone, .visibleTo = uint8_t(seat), .seat = uint8_t(seat)});
        }
    }
    void speak(int kbn, int place) {
        t.announce({.kind = EventKind::Line, .seat = uint8_t(t.s_.currentSeat), .a = kbn, .b = place});
    }
    void showPlace(int, int) {}
    void scored(int seat, std::optional<int32_t> points) {
        if (points) t.match_->roundPoints[seat] = *points;
        t.scored_ = points;
    }
    void out(int seat, int place) {
        if (t.observer_) t.observer_->onOut(seat, place, t.match_->roundPoints[seat]);
        // A person's joker went with the emptied hand already.
        if (!t.isPerson(seat)) userHandEmpty(seat);
        t.announce({.kind = EventKind::Out, .seat = uint8_t(seat), .how = uint8_t(t.scored_ ? 1 : 0), .a = place,
                .b = t.scored_.value_or(0)});
    }
    void jokerFlies(int) {}
    void jokerLaid(int seat, int gap) {
        t.history_.jokerUsed(seat);
        if (t.observer_) t.observer_->onJoker(seat, gap);
        t.announce({.kind = EventKind::Joker, .seat = uint8_t(seat), .card = uint8_t(gap)});
    }
    void forcedPlay(int seat, int gap) {
        t.announce({.kind = EventKind::Forced, .seat = uint8_t(seat), .card = uint8_t(gap)});
    }
    void hideJoker() { t.announce({.kind = EventKind::JokerCleared}); }
    void passed(int seat, int count) {
        t.history_.passed(t.s_, seat);
        if (t.observer_) t.observer_->onPass(seat, count);
        // The line is said first; the stars follow it.
        speak(3, 0);
        t.announce({.kind = EventKind::Pass, .seat = uint8_t(seat), .a = count});
    }
    void dropping(int seat) {
        if (t.observer_) t.observer_->onDrop(seat);
        t.announce({.kind = EventKind::Drop, .seat = uint8_t(seat), .a = t.s_.passCount[seat]});
    }
    void pause(int) {}
};

template <typename F>
void Table::withTurns(F&& play) {
    Stage stage{*this};
    RoundTurns<Stage> turns(s_, stage);
    play(turns);
}

// ---- the table -------------------------------------------------------------

Table::Table(const TableSetup& setup, MatchPlay* match, GameObserver* observer, Random* random)
    : setup_(setup), match_(match ? match : &ownMatch_), observer_(observer),
      ownRandom_(setup.seed ? Random(*setup.seed) : Random()), random_(random ? random : &ownRandom_),
      search_(std::make_unique<MoveSearch>(setup.search)) {
    // A new table: the user did not have the joker before, and no round is
    // in play until a match starts.
    s_.userHadJoker = false;
    s_.roundOver = 1;
    for (int seat = 0; seat <= kSeats; ++seat) views_[seat].seat = seat;
}

Table::~Table() = default;

void Table::configureSearch(const MoveSearch::Settings& settings) {
    setup_.search = settings;
    search_ = std::make_unique<MoveSearch>(settings);
}

SeatStrategy Table::strategyOf(int seat) const {
    if (setup_.kind == TableKind::Local) return seatStrategy(match_->matchStrength, seat, s_.blockerSeat);
    if (isPerson(seat)) return SeatStrategy::User;
    return setup_.computers == ComputerPlay::Search ? SeatStrategy::Search : SeatStrategy::General;
}

void Table::announce(TableEvent event) {
    event.seq = nextSeq_++;
    if (!setup_.followed) return;
    for (SeatView& view : views_) view.apply(event);
    events_.push_back(event);
    while (events_.size() > eventsKept_) events_.pop_front();
}

void Table::record(TableInput::Kind kind, int seat, const TurnMove& move) {
    if (!setup_.followed) return;
    inputs_.push_back({kind, uint8_t(seat), move, lastSeq()});
}

// ---- driving -----------------------------------------------------------------

bool Table::startMatch() {
    if (next_ != Next::Idle) return false;
    record(TableInput::StartMatch, 0, {});
    // The strength holds for the whole match, whatever the settings say
    // meanwhile.
    match_->matchStrength = match_->strength;
    match_->roundNumber = 0;
    ++matchNumber_;
    if (observer_) observer_->onMatchStart();
    announce({.kind = EventKind::MatchStart, .a = matchNumber_});
    next_ = Next::Deal;
    return true;
}

bool Table::step() {
    switch (next_) {
        case Next::Idle:
        case Next::Awaiting: return false;
        case Next::Deal: dealRound(); return true;
        case Next::TurnPause: turnPause(); return true;
        case Next::Turn: turn(); return true;
        case Next::RoundEnd: roundEnd(); return true;
        case Next::StreakBonus: streakBonus(); return true;
        case Next::MatchEnd: matchEnd(); return true;
        case Next::MatchClose: matchClose(); return true;
    }
    return false;
}

int Table::awaitedSeat() const { return next_ == Next::Awaiting ? awaited_ : 0; }

std::vector<TurnMove> Table::legalMovesFor(int seat) const {
    if (awaitedSeat() == 0 || seat != awaited_) return {};
    std::array<TurnMove, 16> moves{};
    const int count = legalMoves(s_, moves);
    return {moves.begin(), moves.begin() + count};
}

std::optional<Refusal> Table::submit(int seat, const TurnMove& move) {
    if (seat < 1 || seat > kSeats) return Refusal::NotYourTurn;
    if (!isPerson(seat)) return Refusal::NotAPerson;
    if (awaitedSeat() != seat) return Refusal::NotYourTurn;
    switch (move.kind) {
        case TurnMove::Card: {
            if (!isCard(move.card) || cdChk(s_.hand[seat], move.card) == 0) {
                return move.card == kJoker && s_.holdsJoker(seat) ? Refusal::CardNotPlayable : Refusal::NoSuchCard;
            }
            const std::vector<TurnMove> moves = legalMovesFor(seat);
            if (std::find(moves.begin(), moves.end(), move) == moves.end()) return Refusal::CardNotPlayable;
            break;
        }
        case TurnMove::Pass:
            if (s_.passCount[seat] >= kMaxPasses) return Refusal::NoPassLeft;
            break;
        case TurnMove::Drop:
            if (s_.passCount[seat] != kMaxPasses) return Refusal::DropNotAllowed;
            break;
        default: return Refusal::NotNow;
    }
    record(TableInput::Move, seat, move);
    awaited_ = 0;
    withTurns([&](auto& turns) {
        switch (move.kind) {
            case TurnMove::Card: turns.userCard(move.card); break;
            case TurnMove::Pass: turns.userPass(); break;
            case TurnMove::Drop: turns.userDrop(); break;
        }
    });
    next_ = s_.roundOver == 1 ? Next::RoundEnd : Next::TurnPause;
    return std::nullopt;
}

TurnMove Table::standInMove(int seat) const {
    if (seat < 1 || seat > kSeats || s_.cardsLeft[seat] < 1) return {TurnMove::Pass, 0};
    RoundState at = s_;
    at.currentSeat = seat;
    Decision d = computerMove(at, SeatStrategy::General);
    if (d.kind == Decision::None) {
        if (const int k = sikouRtn5(at); k != 0) d = {Decision::Play, k};
    }
    if (d.kind == Decision::Play || d.kind == Decision::JokerPlay) return {TurnMove::Card, at.hand[seat][d.slot]};
    return at.passCount[seat] < kMaxPasses ? TurnMove{TurnMove::Pass, 0} : TurnMove{TurnMove::Drop, 0};
}

bool Table::canSkip() const {
    const bool inPlay = next_ == Next::TurnPause || next_ == Next::Turn;
    return setup_.kind == TableKind::Local && inPlay && s_.userOut == 1 && s_.roundOver == 0;
}

bool Table::skip() {
    if (!canSkip()) return false;
    record(TableInput::Skip, 0, {});
    // The computers still in take the next places in random order, scored
    // as if they went out; no card moves and nobody speaks.
    random_->reseedFromClock();
    for (;;) {
        if (s_.placeCount + s_.dropCount > 3) break;
        const int seat = random_->draw(3, 2);
        if (s_.cardsLeft[seat] < 1) continue;
        s_.placeCount += 1;
        s_.currentSeat = seat;
        withTurns([](auto& turns) { turns.keisan(1); });
        s_.cardsLeft[seat] = 0;
        announce({.kind = EventKind::SkipScored, .seat = uint8_t(seat), .how = uint8_t(scored_ ? 1 : 0),
              .a = s_.placeCount, .b = scored_.value_or(0)});
    }
    s_.roundOver = 1;
    announce({.kind = EventKind::Skipped});
    next_ = Next::RoundEnd;
    return true;
}

// ---- a round -----------------------------------------------------------------

void Table::dealRound() {
    // SHOKIKA: a clean table and counters for the new round.
    for (auto& row : s_.table) row.fill(kCellEmpty);
    history_.clear();
    ++roundSerial_;
    s_.backImageBase = {0, 54, 67, 80, 93};
    for (int seat = 1; seat <= kSeats; ++seat) {
        s_.cardsLeft[seat] = kHandSlots;
        s_.passCount[seat] = 0;
    }
    s_.placeCount = s_.dropCount = s_.roundOver = s_.keepSeat = 0;
    s_.droppingOut = 0;
    s_.userOut = 0;
    match_->roundNumber += 1;
    TableEvent start{.kind = EventKind::RoundStart, .a = match_->roundNumber};
    for (int seat = 1; seat <= kSeats; ++seat) start.values[seat - 1] = match_->matchTotal[seat];
    announce(start);

    deal();
    // A person holds the hand sorted, as the user always has.
    for (int seat = 1; seat <= kSeats; ++seat) {
        if (setup_.kind == TableKind::Local ? seat == kUserSeat : isPerson(seat)) sortHand(s_.hand[seat]);
    }
    const std::array<Hand, 5> dealt = s_.hand;
    for (int seat = 1; seat <= kSeats; ++seat) {
        TableEvent hand{.kind = EventKind::Hand, .visibleTo = uint8_t(seat), .seat = uint8_t(seat)};
        for (int slot = 1; slot <= kJokerSlot; ++slot) hand.handSlots[slot] = uint8_t(s_.hand[seat][slot]);
        announce(hand);
    }
    TableEvent dealEvent{.kind = EventKind::Deal, .seat = uint8_t(s_.currentSeat % kSeats + 1)};
    dealEvent.values.fill(kHandSlots);
    announce(dealEvent);
    laySevens();
    announce({.kind = EventKind::SevensLaid});

    // The blocker is drawn at every table, so that a seed deals the same
    // cards whoever sits; only the local table has one.
    s_.blockerSeat = random_->draw(3, 1) + 1;
    if (setup_.kind != TableKind::Local) s_.blockerSeat = 0;
    if (observer_) observer_->onDeal(match_->roundNumber, dealt, s_.blockerSeat);
    next_ = Next::TurnPause;
}

void Table::deal() {
    for (auto& h : s_.hand) h.fill(kNoCard);
    std::array<bool, 53> drawn{};
    random_->reseedFromClock();
    for (int seat = 1; seat <= kSeats; ++seat) {
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            int n = random_->draw(52, 1);
            while (drawn[n]) n = random_->draw(52, 1);
            drawn[n] = true;
            s_.hand[seat][slot] = n;
            if (n == kSevenOfDiamonds) s_.currentSeat = seat - 1;
        }
    }
    // The user never gets the joker at two deals running; a computer may.
    int holder;
    for (;;) {
        holder = random_->draw(4, 1);
        if (holder != kUserSeat) {
            s_.userHadJoker = false;
            break;
        }
        if (!s_.userHadJoker) {
            s_.userHadJoker = true;
            break;
        }
    }
    s_.hand[holder][kJokerSlot] = kJoker;
}

void Table::laySevens() {
    for (int seat = 1; seat <= kSeats; ++seat) {
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            const int card = s_.hand[seat][slot];
            if (std::find(std::begin(kSevens), std::end(kSevens), card) == std::end(kSevens)) continue;
            s_.hand[seat][slot] = kNoCard;
            s_.cardsLeft[seat] -= 1;
            s_.table[suitOf(card)][7] = kCellConnected;
            announce({.kind = EventKind::Seven, .seat = uint8_t(seat), .slot = uint8_t(slot), .card = uint8_t(card)});
        }
    }
}

void Table::turnPause() {
    thinkAhead();
    const bool over = s_.placeCount + s_.dropCount > 3;
    announce({.kind = EventKind::TurnPause, .seat = uint8_t(over ? 0 : nextSeatToMove(s_))});
    next_ = Next::Turn;
}

void Table::turn() {
    const uint64_t before = lastSeq();
    batle();
    if (next_ == Next::Awaiting) return;
    // The last seat in after three drops was a person, whose cards were all
    // laid: one more turn at once finds four seats out.
    if (s_.roundOver == 0 && s_.dropCount == 3 && isPerson(s_.currentSeat) && s_.keepSeat == 0) batle();
    next_ = s_.roundOver == 1 ? Next::RoundEnd : Next::TurnPause;
    // A turn that only found every seat out ends the round in the same
    // step: every step says something, so that an event number names one
    // state of the table.
    if (lastSeq() == before && next_ == Next::RoundEnd) roundEnd();
}

void Table::resumeTurns() {
    next_ = Next::TurnPause;
    awaited_ = 0;
    for (int viewer = 0; viewer <= kSeats; ++viewer) views_[viewer] = viewFromRound(viewer);
}

SeatView Table::viewFromRound(int viewer) const {
    SeatView v;
    v.seat = viewer;
    v.seq = lastSeq();
    v.match = matchNumber_;
    v.round = match_->roundNumber;
    v.phase = s_.roundOver == 1 ? ViewPhase::RoundOver : ViewPhase::Playing;
    if (viewer >= 1) {
        v.hand = s_.hand[viewer];
        // A joker held to the end went away with the emptied hand.
        if (s_.cardsLeft[viewer] == 0) v.hand[kJokerSlot] = kNoCard;
    }
    v.table = s_.table;
    v.cardsLeft = s_.cardsLeft;
    v.passCount = s_.passCount;
    v.roundPoints = match_->roundPoints;
    v.totals = match_->matchTotal;
    v.places = match_->finalPlace;
    v.streakSeat = s_.streakSeat;
    v.streakCount = s_.streakCount;
    return v;
}

void Table::batle() {
    withTurns([](auto& turns) { turns.batle(); });
}

void Table::openTurn(int seat) {
    awaited_ = seat;
    next_ = Next::Awaiting;
    ++turnSerial_;
    // The raised cards, as the user's turn has always marked them.
    s_.jokerHint = 0;
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = s_.hand[seat][slot];
        s_.playable[slot] = dispChk(s_.table, card);
        if (s_.playable[slot] == 0 && s_.holdsJoker(seat) && card != 0 &&
            jyoker(s_.table, s_.hand[seat], card) != 0) {
            s_.jokerHint = 1;
        }
    }
    TableEvent open{.kind = EventKind::TurnOpen, .visibleTo = uint8_t(seat), .seat = uint8_t(seat)};
    std::array<TurnMove, 16> moves{};
    const int count = legalMoves(s_, moves);
    for (int i = 0; i < count; ++i) {
        switch (moves[i].kind) {
            case TurnMove::Card: open.cards |= cardBit(moves[i].card); break;
            case TurnMove::Pass: open.a |= kMayPass; break;
            case TurnMove::Drop: open.a |= kMayDrop; break;
        }
    }
    announce(open);
}

void Table::roundEnd() {
    for (int seat = 1; seat <= kSeats; ++seat) match_->matchTotal[seat] += match_->roundPoints[seat];
    TableEvent end{.kind = EventKind::RoundEnd, .seat = uint8_t(s_.roundWinnerSeat)};
    for (int seat = 1; seat <= kSeats; ++seat) end.values[seat - 1] = match_->roundPoints[seat];
    announce(end);
    announceTotals();
    // RENSYO: the round's winner extends its streak or starts one. A streak
    // of 3, 5 or 10 is announced first; its bonus is the next step.
    const int winner = s_.roundWinnerSeat;
    if (winner != s_.streakSeat) {
        s_.streakSeat = winner;
        s_.streakCount = 1;
    } else {
        s_.streakCount += 1;
        if (streakNotice(s_.streakCount)) {
            announce({.kind = EventKind::Streak, .seat = uint8_t(winner), .a = s_.streakCount});
            next_ = Next::StreakBonus;
            return;
        }
    }
    roundResults();
}

void Table::streakBonus() {
    applyStreakBonus(s_.streakCount, s_.streakSeat, match_->matchTotal);
    announceTotals();
    roundResults();
}

void Table::roundResults() {
    match_->finalPlace = placesByTotal(match_->matchTotal);
    if (observer_) observer_->onRoundEnd(match_->roundNumber);
    TableEvent results{.kind = EventKind::Results, .seat = uint8_t(s_.streakSeat), .a = match_->roundNumber,
                       .b = s_.streakCount};
    for (int seat = 1; seat <= kSeats; ++seat) results.values[seat - 1] = match_->finalPlace[seat];
    announce(results);
    next_ = match_->roundNumber >= 10 ? Next::MatchEnd : Next::Deal;
}

void Table::announceTotals() {
    TableEvent totals{.kind = EventKind::Totals};
    for (int seat = 1; seat <= kSeats; ++seat) totals.values[seat - 1] = match_->matchTotal[seat];
    announce(totals);
}

void Table::matchEnd() {
    if (observer_) observer_->onMatchEnd();
    TableEvent end{.kind = EventKind::MatchEnd};
    for (int seat = 1; seat <= kSeats; ++seat) end.values[seat - 1] = match_->finalPlace[seat];
    announce(end);
    next_ = Next::MatchClose;
}

void Table::matchClose() {
    match_->roundNumber = 0;
    s_.streakCount = 0;
    for (int seat = 1; seat <= kSeats; ++seat) match_->matchTotal[seat] = 0;
    announce({.kind = EventKind::MatchClosed});
    next_ = Next::Idle;
}

// ---- the search player -------------------------------------------------------

uint64_t Table::moment(int seat) const {
    return (uint64_t{roundSerial_} << 32) | (uint64_t(history_.events().size()) << 16) |
           (uint64_t(history_.passes().size()) << 8) | uint64_t(seat);
}

SeatKnowledge Table::seatKnowledge(const RoundState& at, int seat) const {
    SeatKnowledge k = vantel::knowledgeFor(at, seat, match_->matchStrength, history_);
    if (setup_.kind == TableKind::Friends) {
        k.friends = true;
        for (int other = 1; other <= kSeats; ++other) k.friendsPlay[other] = strategyOf(other);
    }
    return k;
}

void Table::thinkAhead() {
    if (s_.placeCount + s_.dropCount > 3 || s_.dropCount == 3) return;
    const int seat = nextSeatToMove(s_);
    if (seat == 0 || isPerson(seat) || strategyOf(seat) != SeatStrategy::Search) return;
    if (!recordedSearch_.empty()) return;
    // The round as it will stand when that seat's turn opens.
    RoundState at = s_;
    at.currentSeat = seat;
    at.keepSeat = 0;
    at.droppingOut = 0;
    search_->start(seatKnowledge(at, seat), moment(seat));
}

Decision Table::searchDecision(int seat) {
    TurnMove move;
    if (!recordedSearch_.empty()) {
        // Played again from the record: the answer the search gave then.
        move = recordedSearch_.front();
        recordedSearch_.pop_front();
    } else {
        move = search_->take(seatKnowledge(s_, seat), moment(seat));
        // A search by time is not a function of the table: keep its answer.
        if (setup_.search.budget.playouts <= 0) record(TableInput::SearchMove, seat, move);
    }
    return decisionFor(s_, move);
}

std::optional<SeatKnowledge> Table::knowledgeFor(int seat) const {
    if (seat < 1 || seat > kSeats || awaitedSeat() != seat) return std::nullopt;
    return seatKnowledge(s_, seat);
}

// ---- what the seats see ----------------------------------------------------

uint64_t Table::firstKeptSeq() const { return events_.empty() ? nextSeq_ : events_.front().seq; }

void Table::setEventsKept(size_t count) {
    eventsKept_ = std::max(count, kFewestKept);
    while (events_.size() > eventsKept_) events_.pop_front();
}

std::vector<TableEvent> Table::eventsFor(int viewer, uint64_t after, bool* complete) const {
    std::vector<TableEvent> out;
    const bool whole = after + 1 >= firstKeptSeq();
    if (complete) *complete = whole;
    if (!whole) return out;
    const uint64_t first = firstKeptSeq();
    for (size_t i = after + 1 - first; i < events_.size(); ++i) {
        if (events_[i].visibleFor(viewer)) out.push_back(events_[i]);
    }
    return out;
}

SeatView Table::snapshot(int viewer) const {
    if (viewer < 0 || viewer > kSeats) viewer = 0;
    return views_[viewer];
}

// ---- replay --------------------------------------------------------------------

bool Table::replay(const std::vector<TableInput>& inputs) {
    recordedSearch_.clear();
    for (const TableInput& input : inputs) {
        if (input.kind == TableInput::SearchMove) recordedSearch_.push_back(input.move);
    }
    bool fits = true;
    for (const TableInput& input : inputs) {
        if (input.kind == TableInput::SearchMove) continue;
        while (lastSeq() < input.atSeq && step()) {
        }
        if (lastSeq() != input.atSeq) {
            fits = false;
            break;
        }
        bool taken = false;
        switch (input.kind) {
            case TableInput::StartMatch: taken = startMatch(); break;
            case TableInput::Move: taken = !submit(input.seat, input.move).has_value(); break;
            case TableInput::Skip: taken = skip(); break;
            case TableInput::SearchMove: break;
        }
        if (!taken) {
            fits = false;
            break;
        }
    }
    // The recorded search answers still waiting are taken as the table
    // plays on; the record is the one played.
    if (fits) inputs_ = inputs;
    return fits;
}

}  // namespace vantel
