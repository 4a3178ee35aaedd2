// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/engine.h"

#include <algorithm>

#include "game/game_observer.h"
#include "game/rules.h"
#include "game/strategy.h"
#include "records/dialogue.h"
#include "records/round_scoring.h"

namespace vantel {

namespace {

constexpr int kUser = 1;
constexpr int kDeckPicture = 54;
constexpr int kLastPicture = 105;
constexpr int kTurnPauseMs = 1000;
constexpr int kForcedPlayPauseMs = 1000;
constexpr int kAfterDealPauseMs = 200;
constexpr int kRoundEndMusicPauseMs = 3000;
constexpr int kLinePauseMs = 1000;
constexpr int kNoticePauseMs = 3000;
constexpr int kMoveDelayMs = 1;
constexpr int kRaise = 10;
constexpr int kMaxPasses = 3;
constexpr int kSevens[4] = {7, 20, 33, 46};

// Thrown when the window went away while events ran; caught by the entry
// points, so nothing of the abandoned round is touched again.
struct Abandoned {};

int nextSeat(int seat) { return seat >= kSeats ? 1 : seat + 1; }

}  // namespace

Engine::Engine(MatchState& match, TableView& view, Random& random, GameObserver* observer)
    : match_(match), view_(view), random_(random), observer_(observer) {
    // A new table: the user did not have the joker before, and no round
    // is in play until the game is started.
    s_.userHadJoker = false;
    s_.roundOver = 1;
    controls_[static_cast<int>(Control::StartMenu)] = true;
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
        int slot = 0;
        for (int i = 1; i <= kJokerSlot; ++i) {
            if (s_.hand[kUser][i] == index) {
                slot = i;
                break;
            }
        }
        zahyoIdo(slot, index, LandKind::Play);
        if (s_.playable[slot] == 0 && s_.holdsJoker(kUser)) {
            // The card went down through the joker: the gap is found on the
            // table that already holds the card.
            const int gap = jyoker(s_.table, s_.hand[kUser], index);
            if (gap != 0) {
                s_.keepSeat = gap;
                jyokerIdo(gap);
                tebanHenko(gap);
            }
        }
        playGame();
    } catch (const Abandoned&) {
    }
}

void Engine::cmdPassClick() {
    if (abandoned_ || !awaitingUser() || !isEnabled(Control::PassButton)) return;
    try {
        // Taken at once: nothing may pass twice while the line is said.
        setControl(Control::PassButton, false);
        s_.passCount[s_.currentSeat] += 1;
        if (observer_) observer_->onPass(s_.currentSeat, s_.passCount[s_.currentSeat]);
        serifuRtn(3, 0);
        hosiDsp();
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
        serifuRtn(2, 0);
        s_.droppingOut = 1;
        s_.userOut = 1;
        dropOut(kUser);
        if (s_.holdsJoker(kUser)) view_.setPictureVisible(kJoker, false);
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
        keisan(1);
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
    if (match_.roundNumber == 0 && observer_) observer_->onMatchStart();
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
    s_.droppingOut = 0;
    if (s_.placeCount + s_.dropCount > 3) {
        s_.roundOver = 1;
        return;
    }
    int seat = s_.currentSeat;
    for (int tries = 0;; ++tries) {
        if (s_.keepSeat == 0) {
            seat += 1;
        } else {
            s_.keepSeat = 0;
        }
        if (seat > kSeats) seat = 1;
        if (seat >= 1 && s_.cardsLeft[seat] >= 1) break;
        if (tries > 2 * kSeats) {
            // No seat holds a card although the counters say otherwise (only
            // possible when a skip cut the round short): end it.
            s_.roundOver = 1;
            return;
        }
    }
    s_.currentSeat = seat;

    if (s_.dropCount == 3) {
        // The last seat in the round lays everything it holds.
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            const int card = s_.hand[seat][slot];
            if (card != 0) zahyoIdo(slot, card, LandKind::Lay);
        }
        return;
    }
    if (s_.userOut != 1) seiretu();
    if (seat == kUser) {
        prepareUserTurn();
    } else {
        computerTurn(seat);
    }
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
}

void Engine::computerTurn(int seat) {
    Decision decision;
    if (seat == s_.blockerSeat) decision = blockingStrategy(s_);
    if (decision.kind == Decision::None) decision = generalStrategy(s_);
    if (decision.kind == Decision::None && s_.cardsLeft[seat] > 0) {
        if (const int k = sikouRtn5(s_); k != 0) decision = {Decision::Play, k};
    }
    switch (decision.kind) {
        case Decision::Play:
            zahyoIdo(decision.slot, s_.hand[seat][decision.slot], LandKind::Play);
            break;
        case Decision::JokerPlay:
            jokerPlay(decision.slot);
            break;
        case Decision::Pass:
        case Decision::None:
            passTurn(seat);
            break;
    }
}

void Engine::passTurn(int seat) {
    s_.passCount[seat] += 1;
    if (s_.passCount[seat] > kMaxPasses) {
        // The fourth pass drops the seat out; the joker stays in its hand.
        serifuRtn(2, 0);
        s_.droppingOut = 1;
        dropOut(seat);
        return;
    }
    if (observer_) observer_->onPass(seat, s_.passCount[seat]);
    serifuRtn(3, 0);
    hosiDsp();
}

void Engine::dropOut(int seat) {
    if (observer_) observer_->onDrop(seat);
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = s_.hand[seat][slot];
        if (card != 0) zahyoIdo(slot, card, LandKind::Lay);
    }
}

void Engine::jokerPlay(int slot) {
    const int seat = s_.currentSeat;
    const int card = s_.hand[seat][slot];
    const int gap = jyoker(s_.table, s_.hand[seat], card);
    s_.keepSeat = gap;
    jyokerIdo(gap);
    zahyoIdo(slot, card, LandKind::Play);
    tebanHenko(gap);
}

// ---- cards landing ---------------------------------------------------------

void Engine::zahyoIdo(int slot, int card, LandKind kind) {
    const int seat = s_.currentSeat;
    if (!isCard(card) || slot < 1 || slot > kHandSlots) return;
    // The back that disappears is always the next from the start of the
    // seat's row, whatever slot the card came from.
    view_.setPictureVisible(s_.backImageBase[seat] + kHandSlots - s_.cardsLeft[seat], false);
    movePicture(card, cellPosition(geometry(), card));
    land(seat, slot, card, kind);
}

void Engine::land(int seat, int slot, int card, LandKind kind) {
    s_.hand[seat][slot] = kNoCard;
    s_.cardsLeft[seat] -= 1;
    const int suit = suitOf(card);
    const int rank = rankOf(card);
    if (s_.droppingOut == 1) {
        s_.table[suit][rank] = kCellOutOfLine;
        flgChk2(s_.table, suit, rank);
    } else {
        s_.table[suit][rank] = kCellConnected;
        flgChk(s_.table, suit, rank);
    }
    if (observer_) {
        switch (kind) {
            case LandKind::Play: observer_->onPlay(seat, slot, card); break;
            case LandKind::Forced: observer_->onForced(seat, slot, card); break;
            case LandKind::Lay: observer_->onLay(seat, slot, card, s_.table[suit][rank]); break;
        }
    }
    if (s_.roundOver == 1 || s_.cardsLeft[seat] > 0) return;

    // The seat's hand is empty.
    if (seat == kUser) {
        s_.userOut = 1;
        if (s_.holdsJoker(kUser)) {
            view_.setPictureVisible(kJoker, false);
            setControl(Control::DropButton, false);
        }
    }
    int place;
    if (s_.droppingOut == 1) {
        s_.dropCount += 1;
        place = dropPlace(s_.dropCount);
        setPassCaption(seat, std::to_string(place) + "番");
        keisan(2);
    } else {
        s_.placeCount += 1;
        place = s_.placeCount;
        serifuRtn(1, place);
        setPassCaption(seat, std::to_string(place) + "番");
        keisan(1);
    }
    if (observer_) observer_->onOut(seat, place, match_.roundPoints[seat]);
}

void Engine::jyokerIdo(int gap) {
    movePicture(kJoker, cellPosition(geometry(), gap));
    s_.hand[s_.currentSeat][kJokerSlot] = kNoCard;
    if (observer_) observer_->onJoker(s_.currentSeat, gap);
}

void Engine::tebanHenko(int gap) {
    pause(kForcedPlayPauseMs);
    for (int seat = 1; seat <= kSeats; ++seat) {
        for (int slot = 1; slot <= kHandSlots; ++slot) {
            if (s_.hand[seat][slot] != gap) continue;
            s_.currentSeat = seat;
            serifuRtn(4, 0);
            view_.setPictureVisible(kJoker, false);
            zahyoIdo(slot, gap, LandKind::Forced);
            s_.currentSeat = nextSeat(seat);
            return;
        }
    }
}

// ---- scoring and speech ----------------------------------------------------

void Engine::keisan(int kbn) {
    const int seat = s_.currentSeat;
    int others = 0;
    for (int i = 1; i <= kSeats; ++i) {
        if (i != seat) others += s_.cardsLeft[i];
    }
    if (const auto points = roundPointsFor(kbn, s_.placeCount, s_.dropCount, others)) {
        match_.roundPoints[seat] = *points;
        if (kbn == 1 && s_.placeCount == 1) s_.roundWinnerSeat = seat;
    }
    if (seat == kUser) setControl(Control::SkipMenu, true);
}

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
