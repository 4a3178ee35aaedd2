// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What happens at a table, as numbered events. Every event is either public
// (every seat and every spectator sees it) or private to one seat; nothing
// else is ever told about another seat's hand. A seat's stream is the
// table's stream with the other seats' private events left out, so the
// sequence numbers a seat receives have gaps, and "everything after N"
// means the same thing for every seat.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "game/cards.h"
#include "game/match_play.h"

namespace vantel {

enum class EventKind : uint8_t {
    MatchStart,   // a match begins; a = the table's match number (1, 2, ...)
    RoundStart,   // a = the round (1..10); values = the match totals so far
    Hand,         // private: the seat's dealt hand, slot by slot in `handSlots` (14: the joker)
    Deal,         // the cards are dealt; values = each seat's count (13); seat = who holds the 7 of diamonds
    Seven,        // a seven goes down from the deal: seat, slot, card
    SevensLaid,   // the deal is laid out; the first turn comes next
    TurnPause,    // the pause before a turn; seat = whose turn comes (0: the round is over)
    TurnStart,    // the turn begins (every hand is laid out again); seat
    TurnOpen,     // private: the seat (a person) is to move; `cards` and `a` say how (MoveFlags)
    Card,         // a card goes down: seat, slot, card, how (LandHow); b = 1 when laid by a dropping
                  // seat; `cards` = its suit's row afterwards (packRow)
    Joker,        // the joker fills the gap `card` for seat (it goes down first for a computer)
    Forced,       // seat holds the joker's gap `card` and must lay it now (after a pause)
    JokerCleared, // the joker leaves the table: the gap card was played in its place
    JokerGone,    // private: the seat's own joker is put away unplayed (its hand is empty)
    Pass,         // seat passes; a = its passes this round (1..3)
    Drop,         // seat gives up the round (a = its passes); its cards follow as Card events (how Lay)
    Line,         // seat speaks: a = the moment (kbn 1..4), b = the place for kbn 1
    Out,          // seat is out: a = its place, b = its points (valid when how = 1)
    SkipScored,   // the skip puts a computer out: seat, a = place, b = points
    Skipped,      // the skip ended the round: every card is put away
    RoundEnd,     // the round is over; values = the round's points; seat = the round's winner
    Totals,       // values = the match totals now
    Streak,       // seat has won `a` rounds running and earns a bonus (shown before it is applied)
    Results,      // values = the places by the match totals; a = the round; seat and b = the streak
    MatchEnd,     // the match is over; values = the final places
    MatchClosed,  // totals and round go back to zero; a new match may start
};

// How a card came down.
enum class LandHow : uint8_t {
    Play = 0,    // chosen and laid next to its row
    Forced = 1,  // the holder of the joker's gap card had to lay it
    Lay = 2,     // laid out of line by a dropping seat, or by the last seat in
};

// The private part of a TurnOpen: the cards that may be laid are bits of
// `cards` (bit n for card n); these flags say whether PASS or DROP may be
// pressed.
enum MoveFlags : int32_t { kMayPass = 1, kMayDrop = 2 };

struct TableEvent {
    uint64_t seq = 0;
    EventKind kind = EventKind::MatchStart;
    // 0: every seat sees it; 1..4: only that seat.
    uint8_t visibleTo = 0;
    uint8_t seat = 0;
    uint8_t slot = 0;
    uint8_t card = 0;
    uint8_t how = 0;
    int32_t a = 0;
    int32_t b = 0;
    // Per seat, index seat - 1.
    std::array<int32_t, kSeats> values{};
    // A set of cards: bit n for card n (1..52).
    uint64_t cards = 0;
    // A hand, slot by slot (index 1..14).
    std::array<uint8_t, kJokerSlot + 1> handSlots{};

    bool visibleFor(int viewer) const { return visibleTo == 0 || visibleTo == viewer; }
    friend bool operator==(const TableEvent&, const TableEvent&) = default;
};

constexpr uint64_t cardBit(int card) { return uint64_t{1} << card; }

// A row of the table (ranks 1..13, each cell 0..2) in two bits a cell: a
// Card event carries its suit's row as the card left it, so that nobody
// has to work the connections out again.
template <typename Row>
constexpr uint64_t packRow(const Row& row) {
    uint64_t bits = 0;
    for (int rank = 1; rank <= kCardsPerSuit; ++rank) bits |= uint64_t(row[rank] & 3) << (2 * rank);
    return bits;
}
template <typename Row>
constexpr void unpackRow(uint64_t bits, Row& row) {
    for (int rank = 1; rank <= kCardsPerSuit; ++rank) row[rank] = int32_t((bits >> (2 * rank)) & 3);
}

// A short English name of the kind, for logs and test messages.
std::string_view eventName(EventKind kind);

}  // namespace vantel
