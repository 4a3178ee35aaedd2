// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/seat_presenter.h"

#include <memory>

#include "game/dialogue.h"
#include "game/round_scoring.h"
#include "game/rules.h"
#include "game/turns.h"

namespace vantel {

namespace {

constexpr int kDeckPicture = 54;
constexpr int kLastPicture = 105;
constexpr int kRaise = 10;
// The first back picture of each seat's row (seat 1's are never shown).
constexpr std::array<int, 5> kBackImageBase = {0, 54, 67, 80, 93};

}  // namespace

SeatPresenter::SeatPresenter(int seat, const MatchPlay& match, TableStage& stage) : match_(match), stage_(stage) {
    seen_.seat = seat;
    controls_[static_cast<int>(Control::StartMenu)] = true;
    controls_[static_cast<int>(Control::StrengthMenu)] = true;
}

void SeatPresenter::resetTo(const SeatView& view) {
    acts_.clear();
    seen_ = view;
    moveSent_ = false;
    presented_ = view.seq;
}

void SeatPresenter::restore(const SeatView& view) {
    acts_.clear();
    moveSent_ = false;
    presented_ = view.seq;
    addNow([this, view] {
        hideAll();
        clickable_.fill(false);
        const int me = seat();
        stage_.setTableGeometry(gridFor(stage_.clientSize(), stage_.cardSize(), stage_.landscapeCardSize()));
        const TableGeometry g = geometry();
        stage_.setCaption(Caption::RoundNumber, 0, view.round > 0 ? std::to_string(view.round) + "回戦" : "");
        for (int s = 1; s <= kSeats; ++s) {
            stage_.setCaption(Caption::SeatTotal, s - 1, std::to_string(view.totals[s]));
            if (view.place[s] > 0) {
                setPassCaption(s, std::to_string(view.place[s]) + "番");
            } else {
                const auto stars = passStars(view.passCount[s]);
                setPassCaption(s, stars ? std::string(*stars) : "");
            }
        }
        const bool inRound = view.phase == ViewPhase::Playing || view.phase == ViewPhase::Dealing;
        if (!inRound) {
            seen_ = view;
            return;
        }
        for (int card = 1; card <= 52; ++card) {
            if (view.table[suitOf(card)][rankOf(card)] == kCellEmpty) continue;
            const Point at = cellPosition(g, card);
            stage_.placePicture(card, at.x, at.y);
            stage_.setPictureVisible(card, true);
        }
        if (view.jokerGap != 0) {
            const Point gap = cellPosition(g, view.jokerGap);
            stage_.placePicture(kJoker, gap.x, gap.y);
            stage_.setPictureVisible(kJoker, true);
        }
        Point at = fanStart(g);
        for (int slot = 1; slot <= kJokerSlot; ++slot) {
            const int card = view.hand[slot];
            if (card == 0) continue;
            stage_.placePicture(card, at.x, at.y);
            stage_.setPictureVisible(card, true);
            at.x = fanNext(g, at.x);
        }
        for (int s = 1; s <= kSeats; ++s) {
            if (s == me) continue;
            for (int k = kHandSlots - view.cardsLeft[s] + 1; k <= kHandSlots; ++k) {
                const Point place = seatRowPosition(g, s, k);
                stage_.placePicture(kBackImageBase[s] + k - 1, place.x, place.y);
                stage_.setPictureVisible(kBackImageBase[s] + k - 1, true);
            }
        }
        seen_ = view;
        seen_.myTurn = false;
        if (view.myTurn) {
            TableEvent open;
            open.kind = EventKind::TurnOpen;
            open.seat = uint8_t(me);
            open.visibleTo = uint8_t(me);
            open.cards = view.moveCards;
            open.a = view.moveFlags;
            prepareTurn(open);
            seen_.myTurn = true;
        }
    });
}

bool SeatPresenter::isClickable(int index) const {
    return index >= 1 && index < static_cast<int>(clickable_.size()) && clickable_[index];
}

std::optional<Wait> SeatPresenter::next() {
    if (acts_.empty()) return std::nullopt;
    const Act act = std::move(acts_.front());
    acts_.pop_front();
    return act();
}

void SeatPresenter::addNow(std::function<void()> act) {
    add([act = std::move(act)] {
        act();
        return Wait{};
    });
}

void SeatPresenter::present(const TableEvent& event) {
    if (event.seq <= presented_ || !event.visibleFor(seat())) return;
    presented_ = event.seq;
    if (options_.eventShowing) addNow([this, event] { options_.eventShowing(event); });
    showEvent(event);
    // The seat's view takes the event once everything that shows it has
    // run: the acts read the view as it was before.
    addNow([this, event] {
        seen_.apply(event);
        lastShown_ = event.kind;
        if (event.kind == EventKind::TurnOpen) moveSent_ = false;
    });
}

// ---- the seat's moves and commands -----------------------------------------------

void SeatPresenter::moveSent(const TurnMove& move) {
    switch (move.kind) {
        case TurnMove::Card:
            // No second card may be clicked while this one travels, and the
            // turn can no longer be passed or given up.
            for (int slot = 1; slot <= kJokerSlot; ++slot) {
                const int card = seen_.hand[slot];
                if (card != 0) stage_.setPictureEnabled(card, false);
            }
            clickable_.fill(false);
            setControl(Control::PassButton, false);
            setControl(Control::DropButton, false);
            break;
        case TurnMove::Pass:
            // Nothing may pass twice while the line is said.
            setControl(Control::PassButton, false);
            break;
        case TurnMove::Drop:
            clickable_.fill(false);
            setControl(Control::DropButton, false);
            setControl(Control::PassButton, false);
            break;
    }
    setControl(Control::HintMenu, false);
    moveSent_ = true;
}

void SeatPresenter::retryAnswered(bool again) {
    if (again) return;
    setControl(Control::StartMenu, true);
    stage_.stopMusic();
}

void SeatPresenter::skipped() { hideAll(); }

void SeatPresenter::tick(bool roundOver, int streakSeat, int streakCount) {
    if (roundOver || streakCount < 2) {
        infoShown_ = false;
        stage_.setCaption(Caption::Info, 0, "");
    } else {
        infoShown_ = !infoShown_;
        if (infoShown_) {
            const std::string name = streakSeat >= 1 && streakSeat <= kSeats ? match_.seatName[streakSeat] : "";
            stage_.setCaption(Caption::Info, 0,
                              "ただいま、" + name + "さんが" + std::to_string(streakCount) + "連勝中です！");
        } else {
            stage_.setCaption(Caption::Info, 0, "");
        }
    }
    if (stage_.musicOn()) stage_.keepMusicLooping();
}

// ---- one event ----------------------------------------------------------------------

void SeatPresenter::showEvent(const TableEvent& e) {
    const int who = e.seat;
    const int me = seat();
    switch (e.kind) {
        case EventKind::MatchStart:
        case EventKind::Hand:
        case EventKind::Drop:
        case EventKind::SkipScored:
            break;
        case EventKind::RoundStart:
            addNow([this, e] {
                setControl(Control::StartMenu, false);
                shokika(e);
                if (stage_.musicOn()) stage_.playMusic(1, true);
            });
            break;
        case EventKind::Deal: showDeal(); break;
        case EventKind::Seven:
            add([this, e, who, me] {
                if (who != me) {
                    const Point place = seatRowPosition(geometry(), who, e.slot);
                    stage_.placePicture(e.card, place.x, place.y);
                }
                return Wait::flight(e.card, cellPosition(geometry(), e.card));
            });
            addNow([this, who] {
                stage_.setPictureVisible(kBackImageBase[who] + kHandSlots - seen_.cardsLeft[who], false);
            });
            break;
        case EventKind::SevensLaid:
        case EventKind::TurnStart:
            // SEIRETU while the seat is still in the round.
            add([this] {
                if (seen_.cardsLeft[seat()] > 0) seiretu();
                return Wait{};
            });
            break;
        case EventKind::TurnPause: add([] { return Wait::pause(kTurnPauseMs); }); break;
        case EventKind::TurnOpen: addNow([this, e] { prepareTurn(e); }); break;
        case EventKind::Card:
            add([this, e, who, me] {
                // The back that disappears is always the next from the start
                // of the seat's row, whatever slot the card came from.
                stage_.setPictureVisible(kBackImageBase[who] + kHandSlots - seen_.cardsLeft[who], false);
                if (who != me) {
                    const Point place = seatRowPosition(geometry(), who, e.slot);
                    stage_.placePicture(e.card, place.x, place.y);
                }
                return Wait::flight(e.card, cellPosition(geometry(), e.card));
            });
            break;
        case EventKind::Joker: add([this, e] { return Wait::flight(kJoker, cellPosition(geometry(), e.card)); }); break;
        case EventKind::Forced: add([] { return Wait::pause(kForcedPlayPauseMs); }); break;
        case EventKind::JokerCleared: addNow([this] { stage_.setPictureVisible(kJoker, false); }); break;
        case EventKind::JokerGone:
            addNow([this] {
                stage_.setPictureVisible(kJoker, false);
                setControl(Control::DropButton, false);
            });
            break;
        case EventKind::Pass:
            addNow([this, e, who] {
                if (const auto stars = passStars(e.a)) setPassCaption(who, std::string(*stars));
            });
            break;
        case EventKind::Line:
            add([this, e, who] {
                std::optional<std::string> told;
                if (options_.lineText) told = options_.lineText(e);
                return Wait::speech(who, told ? *told : serifuText(match_, who, e.a, e.b), kLinePauseMs);
            });
            break;
        case EventKind::Out:
            addNow([this, e, who, me] {
                setPassCaption(who, std::to_string(e.a) + "番");
                if (who == me) setControl(Control::SkipMenu, true);
            });
            break;
        case EventKind::Skipped: addNow([this] { hideAll(); }); break;
        case EventKind::RoundEnd: roundEndMusic(); break;
        case EventKind::Totals:
            addNow([this, e] {
                // The totals are shown once, before the streak bonus; the
                // next round shows them with it.
                if (totalsShown_) return;
                totalsShown_ = true;
                for (int s = 1; s <= kSeats; ++s) {
                    stage_.setCaption(Caption::SeatTotal, s - 1, std::to_string(e.values[s - 1]));
                }
            });
            break;
        case EventKind::Streak:
            if (const auto notice = streakNotice(e.a)) {
                add([who, text = *notice] { return Wait::speech(who, text, kNoticePauseMs); });
            }
            break;
        case EventKind::Results: add([] { return Wait::of(Wait::Results); }); break;
        case EventKind::MatchEnd: kekka(e); break;
        case EventKind::MatchClosed: askAgain(); break;
    }
}

// ---- round set-up --------------------------------------------------------------------

void SeatPresenter::shokika(const TableEvent& e) {
    // Every picture gathers hidden at the centre cell of the grid as it was,
    // then the deck shows there.
    const Point centre = deckPosition(stage_.tableGeometry());
    for (int i = 1; i <= kLastPicture; ++i) {
        stage_.placePicture(i, centre.x, centre.y);
        stage_.setPictureVisible(i, false);
        stage_.setPictureEnabled(i, false);
    }
    clickable_.fill(false);
    stage_.setPictureVisible(kDeckPicture, true);
    stage_.setTableGeometry(gridFor(stage_.clientSize(), stage_.cardSize(), stage_.landscapeCardSize()));
    for (int s = 1; s <= kSeats; ++s) setPassCaption(s, "");
    setControl(Control::DropButton, false);
    stage_.setCaption(Caption::RoundNumber, 0, std::to_string(e.a) + "回戦");
    setControl(Control::SkipMenu, false);
    setControl(Control::HintMenu, false);
    for (int s = 1; s <= kSeats; ++s) {
        stage_.setCaption(Caption::SeatTotal, s - 1, std::to_string(e.values[s - 1]));
    }
}

void SeatPresenter::showDeal() {
    // Card by card around the table, the seat's own to its fan, the others'
    // backs to their rows. The fan's next place is worked out when its card
    // flies, from the grid as it is then.
    auto fan = std::make_shared<Point>();
    addNow([this, fan] { *fan = fanStart(geometry()); });
    for (int k = 1; k <= kHandSlots; ++k) {
        for (int s = 1; s <= kSeats; ++s) {
            if (s == seat()) {
                add([this, fan, k] {
                    const int card = seen_.hand[k];
                    const Point deck = deckPosition(geometry());
                    stage_.placePicture(card, deck.x, deck.y);
                    const Point to = *fan;
                    fan->x = fanNext(geometry(), fan->x);
                    return Wait::flight(card, to);
                });
            } else {
                add([this, k, s] {
                    const int back = kBackImageBase[s] + k - 1;
                    const Point deck = deckPosition(geometry());
                    stage_.placePicture(back, deck.x, deck.y);
                    return Wait::flight(back, seatRowPosition(geometry(), s, k));
                });
            }
        }
    }
    add([] { return Wait::pause(kAfterDealPauseMs); });
    addNow([this] { stage_.setPictureVisible(kDeckPicture, false); });
}

void SeatPresenter::seiretu() {
    // Runs as an act: the flights it needs go to the front of the script, in
    // order, each placed when it flies.
    std::deque<Act> flights;
    auto at = std::make_shared<Point>(fanStart(geometry()));
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = seen_.hand[slot];
        if (card == 0) continue;
        flights.push_back([this, at, card] {
            const Point to = *at;
            at->x = fanNext(geometry(), at->x);
            return Wait::flight(card, to);
        });
        flights.push_back([this, card] {
            stage_.setPictureEnabled(card, false);
            return Wait{};
        });
    }
    flights.push_back([this, at] {
        clickable_.fill(false);
        if (!seen_.holdsJoker()) return Wait{};
        stage_.placePicture(kJoker, at->x, at->y);
        const Point to = *at;
        at->x = fanNext(geometry(), at->x);
        return Wait::flight(kJoker, to);
    });
    flights.push_back([this] {
        if (seen_.holdsJoker()) stage_.setPictureEnabled(kJoker, false);
        return Wait{};
    });
    acts_.insert(acts_.begin(), flights.begin(), flights.end());
}

void SeatPresenter::prepareTurn(const TableEvent& e) {
    // Raised: the cards that may be laid; the joker too when one of them
    // can go only with it.
    bool jokerHint = false;
    for (int slot = 1; slot <= kHandSlots; ++slot) {
        const int card = seen_.hand[slot];
        if (card == 0 || (e.cards & cardBit(card)) == 0) continue;
        if (dispChk(seen_.table, card) == 0) jokerHint = true;
        raisePicture(card);
        stage_.setPictureEnabled(card, true);
        clickable_[card] = true;
    }
    if (jokerHint) raisePicture(kJoker);
    if (e.a & kMayPass) setControl(Control::PassButton, true);
    ++turnSerial_;
    setControl(Control::HintMenu, true);
    if (e.a & kMayDrop) setControl(Control::DropButton, true);
}

// ---- round and match end ----------------------------------------------------------------

void SeatPresenter::roundEndMusic() {
    add([this] {
        totalsShown_ = false;
        if (!stage_.musicOn()) return Wait{};
        stage_.stopMusic();
        stage_.playMusic(passCaption_[seat()] == "1番" ? 2 : 3, false);
        return Wait::pause(kRoundEndMusicPauseMs);
    });
}

void SeatPresenter::kekka(const TableEvent& e) {
    if (options_.ranking) add([] { return Wait::of(Wait::Ranking); });
    add([] { return Wait::matchEndScreen(MatchEndScreen::Announcement); });
    const bool won = e.values[seat() - 1] == 1;
    add([this, won] {
        if (stage_.musicOn()) {
            stage_.playSoundEffect(won ? 6 : 7);
            stage_.playMusic(won ? 4 : 5, false);
        }
        return Wait::matchEndScreen(won ? MatchEndScreen::UserWon : MatchEndScreen::UserLost);
    });
}

void SeatPresenter::askAgain() {
    add([this] {
        stage_.clearResults();
        return Wait::of(Wait::Retry);
    });
}

// ---- helpers --------------------------------------------------------------------------

void SeatPresenter::hideAll() {
    for (int i = 1; i <= kLastPicture; ++i) {
        stage_.setPictureVisible(i, false);
        stage_.setPictureEnabled(i, false);
    }
}

void SeatPresenter::setPassCaption(int s, std::string text) {
    stage_.setCaption(Caption::SeatPass, s - 1, text);
    passCaption_[s] = std::move(text);
}

void SeatPresenter::setControl(Control control, bool enabled) {
    controls_[static_cast<int>(control)] = enabled;
    stage_.setEnabled(control, enabled);
    // The strength can be chosen only while no match runs, that is while a
    // match can be started.
    if (control == Control::StartMenu) setControl(Control::StrengthMenu, enabled);
}

void SeatPresenter::raisePicture(int index) {
    const Point p = stage_.picturePosition(index);
    stage_.placePicture(index, p.x, p.y - kRaise);
}


}  // namespace vantel
