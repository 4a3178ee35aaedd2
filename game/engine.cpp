// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/engine.h"

#include "game/dialogue.h"
#include "game/round_scoring.h"
#include "game/rules.h"
#include "game/turns.h"

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
// The first back picture of each seat's row (seat 1's are never shown).
constexpr std::array<int, 5> kBackImageBase = {0, 54, 67, 80, 93};

// Thrown when the window went away while events ran; caught by the entry
// points, so nothing of the abandoned round is touched again.
struct Abandoned {};

}  // namespace

Engine::Engine(MatchPlay& match, TableView& view, Random& random, GameObserver* observer)
    : match_(match), view_(view), table_(TableSetup::local(), &match, observer, &random) {
    seen_.seat = kUser;
    controls_[static_cast<int>(Control::StartMenu)] = true;
    controls_[static_cast<int>(Control::StrengthMenu)] = true;
}

Engine::~Engine() = default;

void Engine::configureSearch(const MoveSearch::Settings& settings) { table_.configureSearch(settings); }

std::optional<SeatKnowledge> Engine::hintKnowledge() const {
    if (abandoned_ || !awaitingUser()) return std::nullopt;
    return table_.knowledgeFor(kUser);
}

// ---- entry points ---------------------------------------------------------

void Engine::mnuKaisiClick() {
    if (abandoned_ || !isEnabled(Control::StartMenu)) return;
    try {
        if (!table_.startMatch()) return;
        run();
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
            const int card = seen_.hand[slot];
            if (card != 0) view_.setPictureEnabled(card, false);
        }
        clickable_.fill(false);
        setControl(Control::PassButton, false);
        setControl(Control::DropButton, false);
        setControl(Control::HintMenu, false);
        takeMove({TurnMove::Card, index});
    } catch (const Abandoned&) {
    }
}

void Engine::cmdPassClick() {
    if (abandoned_ || !awaitingUser() || !isEnabled(Control::PassButton)) return;
    try {
        // Taken at once: nothing may pass twice while the line is said.
        setControl(Control::PassButton, false);
        setControl(Control::HintMenu, false);
        takeMove({TurnMove::Pass, 0});
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
        takeMove({TurnMove::Drop, 0});
    } catch (const Abandoned&) {
    }
}

void Engine::mnuSkipClick() {
    if (abandoned_ || !isEnabled(Control::SkipMenu)) return;
    // The skip arrives while the table plays on (between the steps of a
    // flight or a pause): the table scores the computers now, the pictures
    // go away at once, and the running entry point shows the rest. A round
    // already complete only has its pictures put away.
    table_.skip();
    for (int i = 1; i <= kLastPicture; ++i) {
        view_.setPictureVisible(i, false);
        view_.setPictureEnabled(i, false);
    }
}

void Engine::timerTick() {
    if (abandoned_) return;
    const RoundState& s = table_.round();
    if (s.roundOver == 1 || s.streakCount < 2) {
        infoShown_ = false;
        view_.setCaption(Caption::Info, 0, "");
    } else {
        infoShown_ = !infoShown_;
        if (infoShown_) {
            const int holder = s.streakSeat;
            const std::string name = holder >= 1 && holder <= kSeats ? match_.seatName[holder] : "";
            view_.setCaption(Caption::Info, 0,
                             "ただいま、" + name + "さんが" + std::to_string(s.streakCount) + "連勝中です！");
        } else {
            view_.setCaption(Caption::Info, 0, "");
        }
    }
    if (view_.musicOn()) view_.keepMusicLooping();
}

bool Engine::awaitingUser() const { return table_.awaitedSeat() == kUser && seen_.myTurn; }

bool Engine::isClickable(int index) const {
    return index >= 1 && index < static_cast<int>(clickable_.size()) && clickable_[index];
}

void Engine::playGame() {
    try {
        table_.resumeTurns();
        seen_ = table_.snapshot(kUser);
        run();
    } catch (const Abandoned&) {
    }
}

void Engine::batle() {
    try {
        table_.resumeTurns();
        seen_ = table_.snapshot(kUser);
        table_.batle();
        showPending();
    } catch (const Abandoned&) {
    }
}

// ---- following the table ------------------------------------------------------

void Engine::takeMove(const TurnMove& move) {
    if (table_.submit(kUser, move)) return;
    run();
}

void Engine::run() {
    for (;;) {
        showPending();
        if (table_.awaitedSeat() == kUser || abandoned_) return;
        const bool turn = lastShown_ == EventKind::TurnPause;
        if (!table_.step()) {
            showPending();
            return;
        }
        // After a computer's turn, window events run before the next one.
        if (turn && table_.awaitedSeat() != kUser) {
            showPending();
            processEvents();
        }
    }
}

void Engine::showPending() {
    // Events may be added while others are shown (the skip): take them
    // until there are none left.
    for (;;) {
        const std::vector<TableEvent> events = table_.eventsFor(kUser, seen_.seq);
        if (events.empty()) return;
        for (const TableEvent& event : events) {
            if (event.seq <= seen_.seq) continue;
            show(event);
            seen_.apply(event);
            lastShown_ = event.kind;
            checkAbandoned();
        }
    }
}

void Engine::show(const TableEvent& e) {
    const int seat = e.seat;
    switch (e.kind) {
        case EventKind::MatchStart:
        case EventKind::Hand:
        case EventKind::Drop:
        case EventKind::SkipScored:
            break;
        case EventKind::RoundStart:
            setControl(Control::StartMenu, false);
            shokika(e);
            if (view_.musicOn()) view_.playMusic(1, true);
            break;
        case EventKind::Deal: showDeal(); break;
        case EventKind::Seven:
            if (seat != kUser) {
                const Point place = seatRowPosition(geometry(), seat, e.slot);
                view_.placePicture(e.card, place.x, place.y);
            }
            movePicture(e.card, cellPosition(geometry(), e.card));
            view_.setPictureVisible(kBackImageBase[seat] + kHandSlots - seen_.cardsLeft[seat], false);
            break;
        case EventKind::SevensLaid:
        case EventKind::TurnStart:
            // SEIRETU while the user is still in the round.
            if (seen_.cardsLeft[kUser] > 0) seiretu();
            break;
        case EventKind::TurnPause: pause(kTurnPauseMs); break;
        case EventKind::TurnOpen: prepareUserTurn(e); break;
        case EventKind::Card:
            // The back that disappears is always the next from the start of
            // the seat's row, whatever slot the card came from.
            view_.setPictureVisible(kBackImageBase[seat] + kHandSlots - seen_.cardsLeft[seat], false);
            if (seat != kUser) {
                const Point place = seatRowPosition(geometry(), seat, e.slot);
                view_.placePicture(e.card, place.x, place.y);
            }
            movePicture(e.card, cellPosition(geometry(), e.card));
            break;
        case EventKind::Joker: movePicture(kJoker, cellPosition(geometry(), e.card)); break;
        case EventKind::Forced: pause(kForcedPlayPauseMs); break;
        case EventKind::JokerCleared: view_.setPictureVisible(kJoker, false); break;
        case EventKind::JokerGone:
            view_.setPictureVisible(kJoker, false);
            setControl(Control::DropButton, false);
            break;
        case EventKind::Pass:
            if (const auto stars = passStars(e.a)) setPassCaption(seat, std::string(*stars));
            break;
        case EventKind::Line: serifuRtn(seat, e.a, e.b); break;
        case EventKind::Out:
            setPassCaption(seat, std::to_string(e.a) + "番");
            if (seat == kUser) setControl(Control::SkipMenu, true);
            break;
        case EventKind::Skipped:
            for (int i = 1; i <= kLastPicture; ++i) {
                view_.setPictureVisible(i, false);
                view_.setPictureEnabled(i, false);
            }
            break;
        case EventKind::RoundEnd:
            roundEndMusic();
            totalsShown_ = false;
            break;
        case EventKind::Totals:
            // The totals are shown once, before the streak bonus; the next
            // round shows them with it.
            if (totalsShown_) break;
            totalsShown_ = true;
            for (int s = 1; s <= kSeats; ++s) {
                view_.setCaption(Caption::SeatTotal, s - 1, std::to_string(e.values[s - 1]));
            }
            break;
        case EventKind::Streak:
            if (const auto notice = streakNotice(e.a)) {
                view_.speak(seat, *notice, kNoticePauseMs);
                checkAbandoned();
            }
            break;
        case EventKind::Results:
            view_.showResults();
            checkAbandoned();
            break;
        case EventKind::MatchEnd: kekka(e); break;
        case EventKind::MatchClosed: askAgain(); break;
    }
}

// ---- round set-up ---------------------------------------------------------

void Engine::shokika(const TableEvent& e) {
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
    for (int seat = 1; seat <= kSeats; ++seat) setPassCaption(seat, "");
    setControl(Control::DropButton, false);
    view_.setCaption(Caption::RoundNumber, 0, std::to_string(e.a) + "回戦");
    setControl(Control::SkipMenu, false);
    setControl(Control::HintMenu, false);
    for (int seat = 1; seat <= kSeats; ++seat) {
        view_.setCaption(Caption::SeatTotal, seat - 1, std::to_string(e.values[seat - 1]));
    }
}

void Engine::showDeal() {
    const Point deck = deckPosition(geometry());
    Point fan = fanStart(geometry());
    for (int k = 1; k <= kHandSlots; ++k) {
        for (int seat = 1; seat <= kSeats; ++seat) {
            if (seat == kUser) {
                const int card = seen_.hand[k];
                view_.placePicture(card, deck.x, deck.y);
                movePicture(card, fan);
                fan.x = fanNext(geometry(), fan.x);
            } else {
                const int back = kBackImageBase[seat] + k - 1;
                const Point place = seatRowPosition(geometry(), seat, k);
                view_.placePicture(back, deck.x, deck.y);
                movePicture(back, place);
            }
        }
    }
    pause(kAfterDealPauseMs);
    view_.setPictureVisible(kDeckPicture, false);
}

void Engine::seiretu() {
    Point at = fanStart(geometry());
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = seen_.hand[slot];
        if (card != 0) {
            movePicture(card, at);
            at.x = fanNext(geometry(), at.x);
        }
        view_.setPictureEnabled(card, false);
    }
    clickable_.fill(false);
    if (seen_.holdsJoker()) {
        view_.placePicture(kJoker, at.x, at.y);
        movePicture(kJoker, at);
        at.x = fanNext(geometry(), at.x);
        view_.setPictureEnabled(kJoker, false);
    }
}

void Engine::prepareUserTurn(const TableEvent& e) {
    // Raised: the cards that may be laid; the joker too when one of them
    // can go only with it.
    bool jokerHint = false;
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = seen_.hand[slot];
        if (card == 0 || (e.cards & cardBit(card)) == 0) continue;
        if (dispChk(seen_.table, card) == 0) jokerHint = true;
        raisePicture(card);
        view_.setPictureEnabled(card, true);
        clickable_[card] = true;
    }
    if (jokerHint) raisePicture(kJoker);
    if (e.a & kMayPass) setControl(Control::PassButton, true);
    ++userTurnSerial_;
    setControl(Control::HintMenu, true);
    if (e.a & kMayDrop) setControl(Control::DropButton, true);
}

// ---- speech, round and match end ----------------------------------------------------

void Engine::serifuRtn(int seat, int kbn, int juni) {
    view_.speak(seat, serifuText(match_, seat, kbn, juni), kLinePauseMs);
    checkAbandoned();
}

void Engine::roundEndMusic() {
    if (!view_.musicOn()) return;
    view_.stopMusic();
    view_.playMusic(passCaption_[kUser] == "1番" ? 2 : 3, false);
    pause(kRoundEndMusicPauseMs);
}

void Engine::kekka(const TableEvent& e) {
    view_.recordMatch();
    checkAbandoned();
    view_.showMatchEndScreen(MatchEndScreen::Announcement);
    checkAbandoned();
    const bool userWon = e.values[kUser - 1] == 1;
    if (view_.musicOn()) {
        view_.playSoundEffect(userWon ? 6 : 7);
        view_.playMusic(userWon ? 4 : 5, false);
    }
    view_.showMatchEndScreen(userWon ? MatchEndScreen::UserWon : MatchEndScreen::UserLost);
    checkAbandoned();
}

void Engine::askAgain() {
    view_.clearResults();
    const bool again = view_.askRetry();
    checkAbandoned();
    if (again) {
        table_.startMatch();
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
