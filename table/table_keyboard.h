// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table from the keyboard, during the user's turn: Left, Right, Home
// and End move the focus among the playable cards (the focus starts on the
// first, or on PASS or DROP when none can be laid), Enter presses PASS or
// DROP in focus, and Tab goes from the cards (one stop) to the buttons and
// back. Outside the turn nothing takes the focus.
#pragma once

#include <array>
#include <vector>

class QKeyEvent;
class QPushButton;
class QWidget;

namespace vantel {

class CardPicture;

class TableKeyboard {
public:
    // The pictures (1..53 the faces and the joker) and buttons on `surface`.
    TableKeyboard(QWidget& surface, const std::array<CardPicture*, 106>& pictures, QPushButton& pass,
                  QPushButton& drop);

    // The user's playable cards, left to right as the hand shows them.
    std::vector<CardPicture*> raisedCards() const;
    // At the start of the user's turn: the first playable card, else PASS,
    // else DROP.
    void focusTurn();
    // A key pressed on the table with `focus` in focus; false when it is not
    // the table's.
    bool keyPress(QKeyEvent& event, QWidget* focus);
    // Tab and Backtab from `focus`.
    bool focusNextPrev(bool next, QWidget* focus);

private:
    QWidget& surface_;
    const std::array<CardPicture*, 106>& pictures_;
    QPushButton& pass_;
    QPushButton& drop_;
};

}  // namespace vantel
