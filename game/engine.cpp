// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/engine.h"

#include <algorithm>

#include "game/game_observer.h"
#include "game/rules.h"
#include "game/search/playout.h"
#include "game/strategy.h"
#include "game/turns.h"
#include "game/dialogue.h"
#include "game/round_scoring.h"

namespace vantel {

namespace {

constexpr int kUser = 1;
constexpr int kDeckPicture = 54;
constexpr int kLastPicture = 105;
constexpr int kTurnPauseMs = 1000;
constexpr int kAfterDealPauseMs = 200;
constexpr int kRoundEndMusicPauseMs = 3000;
constexpr int kLinePauseMs = 1000;
constexpr int kNoticePauseMs = 3000;
constexpr int kMoveDelayMs = 1;
constexpr int kRaise = 10;
constexpr int kSevens[4] = {7, 20, 33, 46};

// Thrown when the window went away while events ran; caught by the entry
// points, so nothing of the abandoned round is touched again.
struct Abandoned {};

}  // namespace

// What the turns of a round look like at the table: every step of
// RoundTurns is shown through the view, reported to the observer, and the
// computers' moves come from the strategies of their seats.
struct Engine::Stage {
    Engine& e;

    void relayHand() { e.seiretu(); }
    void userTurn(RoundTurns<Stage>&) { e.prepareUserTurn(); }
    Decision decide(int seat) {
        const SeatStrategy how = seatStrategy(e.match_.matchStrength, seat, e.s_.blockerSeat);
        if (how == SeatStrategy::Search) return e.searchDecision(seat);
        return computerMove(e.s_, how);
    }
    void cardFlies(int seat, int card) {
        // The back that disappears is always the next from the start of the
        // seat's row, whatever slot the card came from.
        e.view_.setPictureVisible(e.s_.backImageBase[seat] + kHandSlots - e.s_.cardsLeft[seat], false);
        e.movePicture(card, cellPosition(e.geometry(), card));
    }
    void landed(int seat, int slot, int card, LandKind kind, int cell) {
        e.history_.cardLaid(seat, card);
        if (!e.observer_) return;
        switch (kind) {
            case LandKind::Play: e.observer_->onPlay(seat, slot, card); break;
            case LandKind::Forced: e.observer_->onForced(seat, slot, card); break;
            case LandKind::Lay: e.observer_->onLay(seat, slot, card, cell); break;
        }
    }
    void userHandEmpty() {
        if (e.s_.holdsJoker(kUser)) {
            e.view_.setPictureVisible(kJoker, false);
            e.setControl(Control::DropButton, false);
        }
    }
    void speak(int kbn, int place) { e.serifuRtn(kbn, place); }
    void showPlace(int seat, int place) { e.setPassCaption(seat, std::to_string(place) + "番"); }
    void scored(int seat, std::optional<int32_t> points) {
        if (points) e.match_.roundPoints[seat] = *points;
        if (seat == kUser) e.setControl(Control::SkipMenu, true);
    }
    void out(int seat, int place) {
        if (e.observer_) e.observer_->onOut(seat, place, e.match_.roundPoints[seat]);
    }
    void jokerFlies(int gap) { e.movePicture(kJoker, cellPosition(e.geometry(), gap)); }
    void jokerLaid(int seat, int gap) {
        e.history_.jokerUsed(seat);
        if (e.observer_) e.observer_->onJoker(seat, gap);
    }
    void hideJoker() { e.view_.setPictureVisible(kJoker, false); }
    void passed(int seat, int count) {
        e.history_.passed(e.s_, seat);
        if (e.observer_) e.observer_->onPass(seat, count);
        e.serifuRtn(3, 0);
        e.hosiDsp();
    }
    void dropping(int seat) {
        if (e.observer_) e.observer_->onDrop(seat);
    }
    void pause(int milliseconds) { e.pause(milliseconds); }
};

template <typename F>
void Engine::withTurns(F&& play) {
    Stage stage{*this};
    RoundTurns<Stage> turns(s_, stage);
    play(turns);
}

Engine::Engine(MatchPlay& match, TableView& view, Random& random, GameObserver* observer)
    : match_(match), view_(view), random_(random), observer_(observer),
      search_(std::make_unique<MoveSearch>(MoveSearch::Settings{})) {
    // A new table: the user did not have the joker before, and no round
    // is in play until the game is started.
    s_.userHadJoker = false;
    s_.roundOver = 1;
    controls_[static_cast<int>(Control::StartMenu)] = true;
    controls_[static_cast<int>(Control::StrengthMenu)] = true;
}

Engine::~Engine() = default;

void Engine::configureSearch(const MoveSearch::Settings& settings) {
    search_ = std::make_unique<MoveSearch>(settings);
}

std::optional<SeatKnowledge> Engine::hintKnowledge() const {
    if (abandoned_ || !awaitingUser()) return std::nullopt;
    return knowledgeFor(s_, kUser, match_.matchStrength, history_);
}

// ---- entry points ---------------------------------------------------------

void Engine::mnuKaisiClick() {
    if (abandoned_ || !isEnabled(Control::StartMenu)) return;
    try {
        startRound();
    } catch (const Abandoned&) {
    }
}

void Engine::imgClick(int index) {
    if (abandoned_ || !awaitingUser() || !isClickable(index)) return;
    try {
        // No second card may be clicked while this one travels, and the turn
        // can no longer be passed or given up: the window lets clicks and
        // keys through between the flight's steps.
        for (int slot = 1; slot <= kJokerSlot; ++slot) {
            const int card = s_.hand[kUser][slot];
            if (card != 0) view_.setPictureEnabled(card, false);
        }
        clickable_.fill(false);
        setControl(Control::PassButton, false);
        setControl(Control::DropButton, false);
        setControl(Control::HintMenu, false);
        withTurns([&](auto& turns) { turns.userCard(index); });
        playGame();
    } catch (const Abandoned&) {
    }
}

void Engine::cmdPassClick() {
    if (abandoned_ || !awaitingUser() || !isEnabled(Control::PassButton)) return;
    try {
        // Taken at once: nothing may pass twice while the line is said.
        setControl(Control::PassButton, false);
        setControl(Control::HintMenu, false);
        withTurns([](auto& turns) { turns.userPass(); });
        playGame();
    } catch (const Abandoned&) {
    }
}

void Engine::cmdOutClick() {
    if (abandoned_ || !awaitingUser() || !isEnabled(Control::DropButton)) return;
    try {
        // Taken at once: nothing else may be played while the seat gives up.
        clickable_.fill(false);
        setControl(Control::DropButton, false);
        setControl(Control::PassButton, false);
        setControl(Control::HintMenu, false);
        withTurns([](auto& turns) { turns.userDrop(); });
        playGame();
    } catch (const Abandoned&) {
    }
}

void Engine::mnuSkipClick() {
    if (abandoned_ || !isEnabled(Control::SkipMenu)) return;
    // The computers still in take the next places in random order, scored
    // as if they went out; no card moves and nobody speaks. When the round
    // is already complete this only hides the pictures again.
    random_.reseedFromClock();
    for (;;) {
        if (s_.placeCount + s_.dropCount > 3) {
            for (int i = 1; i <= kLastPicture; ++i) {
                view_.setPictureVisible(i, false);
                view_.setPictureEnabled(i, false);
            }
            s_.roundOver = 1;
            return;
        }
        const int seat = random_.draw(3, 2);
        if (s_.cardsLeft[seat] < 1) continue;
        s_.placeCount += 1;
        s_.currentSeat = seat;
        withTurns([](auto& turns) { turns.keisan(1); });
        s_.cardsLeft[seat] = 0;
    }
}

void Engine::timerTick() {
    if (abandoned_) return;
    if (s_.roundOver == 1 || s_.streakCount < 2) {
        infoShown_ = false;
        view_.setCaption(Caption::Info, 0, "");
    } else {
        infoShown_ = !infoShown_;
        if (infoShown_) {
            const int holder = s_.streakSeat;
            const std::string name = holder >= 1 && holder <= kSeats ? match_.seatName[holder] : "";
            view_.setCaption(Caption::Info, 0,
                             "ただいま、" + name + "さんが" + std::to_string(s_.streakCount) +
                                 "連勝中です！");
        } else {
            view_.setCaption(Caption::Info, 0, "");
        }
    }
    if (view_.musicOn()) view_.keepMusicLooping();
}

bool Engine::awaitingUser() const {
    return s_.roundOver == 0 && s_.currentSeat == kUser && s_.keepSeat == 0 &&
           s_.cardsLeft[kUser] > 0 && s_.userOut == 0;
}

bool Engine::isClickable(int index) const {
    return index >= 1 && index < static_cast<int>(clickable_.size()) && clickable_[index];
}

// ---- round set-up ---------------------------------------------------------

void Engine::startRound() {
    if (match_.roundNumber == 0) {
        // The strength holds for the whole match, whatever the settings say
        // meanwhile.
        match_.matchStrength = match_.strength;
        if (observer_) observer_->onMatchStart();
    }
    setControl(Control::StartMenu, false);
    shokika();
    if (view_.musicOn()) view_.playMusic(1, true);
    deal();
    sortHand(s_.hand[kUser]);
    const std::array<Hand, 5> dealt = s_.hand;
    showDeal();
    laySevens();
    if (s_.userOut != 1) seiretu();
    s_.blockerSeat = random_.draw(3, 1) + 1;
    if (observer_) observer_->onDeal(match_.roundNumber, dealt, s_.blockerSeat);
    playGame();
}

void Engine::shokika() {
    for (auto& row : s_.table) row.fill(kCellEmpty);
    history_.clear();
    ++roundSerial_;
    // Every picture gathers hidden at the centre cell of the grid as it was,
    // then the deck shows there.
    const Point centre = deckPosition(view_.tableGeometry());
    for (int i = 1; i <= kLastPicture; ++i) {
        view_.placePicture(i, centre.x, centre.y);
        view_.setPictureVisible(i, false);
        view_.setPictureEnabled(i, false);
    }
    clickable_.fill(false);
    view_.setPictureVisible(kDeckPicture, true);
    view_.setTableGeometry(gridFor(view_.clientSize(), view_.cardSize(), view_.landscapeCardSize()));
    s_.backImageBase = {0, 54, 67, 80, 93};
    for (int seat = 1; seat <= kSeats; ++seat) {
        s_.cardsLeft[seat] = kHandSlots;
        s_.passCount[seat] = 0;
        setPassCaption(seat, "");
    }
    s_.placeCount = s_.dropCount = s_.roundOver = s_.keepSeat = 0;
    s_.droppingOut = 0;
    setControl(Control::DropButton, false);
    match_.roundNumber += 1;
    view_.setCaption(Caption::RoundNumber, 0, std::to_string(match_.roundNumber) + "回戦");
    setControl(Control::SkipMenu, false);
    setControl(Control::HintMenu, false);
    s_.userOut = 0;
    for (int seat = 1; seat <= kSeats; ++seat) {
        view_.setCaption(Caption::SeatTotal, seat - 1, std::to_string(match_.matchTotal[seat]));
    }
}

void Engine::deal() {
    for (auto& h : s_.hand) h.fill(kNoCard);
    std::array<bool, 53> drawn{};
    random_.reseedFromClock();
    for (int seat = 1; seat <= kSeats; ++seat) {
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            int n = random_.draw(52, 1);
            while (drawn[n]) {
                processEvents();
                n = random_.draw(52, 1);
            }
            drawn[n] = true;
            s_.hand[seat][slot] = n;
            if (n == kSevenOfDiamonds) s_.currentSeat = seat - 1;
        }
    }
    // The user never gets the joker at two deals running; a computer may.
    int holder;
    for (;;) {
        holder = random_.draw(4, 1);
        if (holder != kUser) {
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

void Engine::showDeal() {
    const Point deck = deckPosition(geometry());
    Point fan = fanStart(geometry());
    for (int k = 1; k <= kHandSlots; ++k) {
        for (int seat = 1; seat <= kSeats; ++seat) {
            const int card = s_.hand[seat][k];
            if (seat == kUser) {
                view_.placePicture(card, deck.x, deck.y);
                movePicture(card, fan);
                fan.x = fanNext(geometry(), fan.x);
            } else {
                const int back = s_.backImageBase[seat] + k - 1;
                const Point place = seatRowPosition(geometry(), seat, k);
                view_.placePicture(card, place.x, place.y);
                view_.setPictureVisible(card, false);
                view_.placePicture(back, deck.x, deck.y);
                movePicture(back, place);
            }
        }
    }
    pause(kAfterDealPauseMs);
    view_.setPictureVisible(kDeckPicture, false);
}

void Engine::laySevens() {
    for (int seat = 1; seat <= kSeats; ++seat) {
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            const int card = s_.hand[seat][slot];
            for (const int seven : kSevens) {
                if (card != seven) continue;
                movePicture(card, cellPosition(geometry(), card));
                view_.setPictureVisible(s_.backImageBase[seat] + kHandSlots - s_.cardsLeft[seat], false);
                s_.hand[seat][slot] = kNoCard;
                s_.cardsLeft[seat] -= 1;
                s_.table[suitOf(card)][7] = kCellConnected;
            }
        }
    }
}

void Engine::seiretu() {
    Point at = fanStart(geometry());
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = s_.hand[kUser][slot];
        if (card != 0) {
            movePicture(card, at);
            at.x = fanNext(geometry(), at.x);
        }
        view_.setPictureEnabled(card, false);
    }
    clickable_.fill(false);
    if (s_.holdsJoker(kUser)) {
        view_.placePicture(kJoker, at.x, at.y);
        movePicture(kJoker, at);
        at.x = fanNext(geometry(), at.x);
        view_.setPictureEnabled(kJoker, false);
    }
}

// ---- the turn loop ---------------------------------------------------------

void Engine::playGame() {
    for (;;) {
        thinkAhead();
        pause(kTurnPauseMs);
        batle();
        const bool userTurn = s_.currentSeat == kUser && s_.keepSeat == 0;
        // Once the user's turn is open, control goes straight back to the
        // window: letting events run here would take the user's click or
        // key as a move nested inside this loop.
        if (!userTurn) processEvents();
        if (userTurn || s_.roundOver == 1) break;
    }

    // All three computers dropped and the user's cards were laid: one more
    // turn finds four seats out and ends the round.
    if (s_.currentSeat == kUser && s_.dropCount == 3) batle();

    if (s_.roundOver == 1) {
        roundEnd();
    } else if (s_.passCount[kUser] == kMaxPasses) {
        setControl(Control::DropButton, true);
    }
}

void Engine::batle() {
    withTurns([](auto& turns) { turns.batle(); });
}

void Engine::prepareUserTurn() {
    s_.jokerHint = 0;
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = s_.hand[kUser][slot];
        s_.playable[slot] = dispChk(s_.table, card);
        bool raise = s_.playable[slot] != 0;
        if (!raise && s_.holdsJoker(kUser) && card != 0 && jyoker(s_.table, s_.hand[kUser], card) != 0) {
            raise = true;
            s_.jokerHint = 1;
        }
        if (raise) {
            raisePicture(card);
            view_.setPictureEnabled(card, true);
            clickable_[card] = true;
        }
    }
    if (s_.jokerHint == 1) raisePicture(kJoker);
    if (s_.passCount[kUser] < kMaxPasses) setControl(Control::PassButton, true);
    ++userTurnSerial_;
    setControl(Control::HintMenu, true);
}

// ---- the search player -------------------------------------------------------

uint64_t Engine::moment(int seat) const {
    return (uint64_t{roundSerial_} << 32) | (uint64_t(history_.events().size()) << 16) |
           (uint64_t(history_.passes().size()) << 8) | uint64_t(seat);
}

void Engine::thinkAhead() {
    if (s_.placeCount + s_.dropCount > 3 || s_.dropCount == 3) return;
    const int seat = nextSeatToMove(s_);
    if (seat <= kUser || seatStrategy(match_.matchStrength, seat, s_.blockerSeat) != SeatStrategy::Search) return;
    // The round as it will stand when that seat's turn opens.
    RoundState at = s_;
    at.currentSeat = seat;
    at.keepSeat = 0;
    at.droppingOut = 0;
    search_->start(knowledgeFor(at, seat, match_.matchStrength, history_), moment(seat));
}

Decision Engine::searchDecision(int seat) {
    return decisionFor(s_, search_->take(knowledgeFor(s_, seat, match_.matchStrength, history_), moment(seat)));
}

// ---- scoring and speech ----------------------------------------------------

void Engine::serifuRtn(int kbn, int juni) {
    const int seat = s_.currentSeat;
    view_.speak(seat, serifuText(match_, seat, kbn, juni), kLinePauseMs);
    checkAbandoned();
}

void Engine::hosiDsp() {
    if (const auto stars = passStars(s_.passCount[s_.currentSeat])) {
        setPassCaption(s_.currentSeat, std::string(*stars));
    }
}

void Engine::rensyo() {
    const int winner = s_.roundWinnerSeat;
    if (winner != s_.streakSeat) {
        s_.streakSeat = winner;
        s_.streakCount = 1;
        return;
    }
    s_.streakCount += 1;
    if (const auto notice = streakNotice(s_.streakCount)) {
        view_.speak(winner, *notice, kNoticePauseMs);
        checkAbandoned();
        applyStreakBonus(s_.streakCount, winner, match_.matchTotal);
    }
}

// ---- round and match end ---------------------------------------------------

void Engine::roundEnd() {
    if (view_.musicOn()) {
        view_.stopMusic();
        view_.playMusic(passCaption_[kUser] == "1番" ? 2 : 3, false);
        pause(kRoundEndMusicPauseMs);
    }
    for (int seat = 1; seat <= kSeats; ++seat) {
        match_.matchTotal[seat] += match_.roundPoints[seat];
        view_.setCaption(Caption::SeatTotal, seat - 1, std::to_string(match_.matchTotal[seat]));
    }
    rensyo();
    match_.finalPlace = placesByTotal(match_.matchTotal);
    if (observer_) observer_->onRoundEnd(match_.roundNumber);
    view_.showResults();
    checkAbandoned();
    if (match_.roundNumber >= 10) {
        kekka();
    } else {
        startRound();
    }
}

void Engine::kekka() {
    if (observer_) observer_->onMatchEnd();
    match_.rankInPosition = 0;
    view_.recordMatch();
    checkAbandoned();
    view_.showMatchEndScreen(MatchEndScreen::Announcement);
    checkAbandoned();
    const bool userWon = match_.finalPlace[kUser] == 1;
    if (view_.musicOn()) {
        view_.playSoundEffect(userWon ? 6 : 7);
        view_.playMusic(userWon ? 4 : 5, false);
    }
    view_.showMatchEndScreen(userWon ? MatchEndScreen::UserWon : MatchEndScreen::UserLost);
    checkAbandoned();
    match_.roundNumber = 0;
    s_.streakCount = 0;
    for (int seat = 1; seat <= kSeats; ++seat) match_.matchTotal[seat] = 0;
    view_.clearResults();
    const bool again = view_.askRetry();
    checkAbandoned();
    if (again) {
        startRound();
    } else {
        setControl(Control::StartMenu, true);
        view_.stopMusic();
    }
}

// ---- helpers ---------------------------------------------------------------

void Engine::setPassCaption(int seat, std::string text) {
    view_.setCaption(Caption::SeatPass, seat - 1, text);
    passCaption_[seat] = std::move(text);
}

void Engine::setControl(Control control, bool enabled) {
    controls_[static_cast<int>(control)] = enabled;
    view_.setEnabled(control, enabled);
    // The strength can be chosen only while no match runs, that is while a
    // match can be started.
    if (control == Control::StartMenu) setControl(Control::StrengthMenu, enabled);
}

void Engine::movePicture(int index, Point to) {
    const Point from = view_.picturePosition(index);
    view_.movePicture(index, from.x, from.y, to.x, to.y, kMoveDelayMs);
    checkAbandoned();
}

void Engine::raisePicture(int index) {
    const Point p = view_.picturePosition(index);
    view_.placePicture(index, p.x, p.y - kRaise);
}

TableGeometry Engine::geometry() const { return view_.tableGeometry(); }

void Engine::checkAbandoned() const {
    if (abandoned_) throw Abandoned{};
}

void Engine::pause(int milliseconds) {
    view_.pause(milliseconds);
    checkAbandoned();
}

void Engine::processEvents() {
    view_.processEvents();
    checkAbandoned();
}

}  // namespace vantel
