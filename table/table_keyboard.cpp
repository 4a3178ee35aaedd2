// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/table_keyboard.h"

#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>

#include "assets/art_resources.h"
#include "table/card_picture.h"
#include "table/focus_frame.h"

namespace vantel {

TableKeyboard::TableKeyboard(QWidget& surface, const std::array<CardPicture*, 106>& pictures, QPushButton& pass,
                             QPushButton& drop)
    : surface_(surface), pictures_(pictures), pass_(pass), drop_(drop) {}

std::vector<CardPicture*> TableKeyboard::raisedCards() const {
    // Only the user's playable cards ever take clicks.
    std::vector<CardPicture*> cards;
    for (int n = 1; n <= art::kJoker; ++n) {
        if (pictures_[n]->isEnabled() && pictures_[n]->isVisibleTo(&surface_)) cards.push_back(pictures_[n]);
    }
    std::sort(cards.begin(), cards.end(), [](const CardPicture* a, const CardPicture* b) { return a->x() < b->x(); });
    return cards;
}

void TableKeyboard::focusTurn() {
    const std::vector<CardPicture*> cards = raisedCards();
    if (!cards.empty()) {
        cards.front()->setFocus(Qt::OtherFocusReason);
    } else if (pass_.isEnabled()) {
        pass_.setFocus(Qt::OtherFocusReason);
    } else if (drop_.isEnabled()) {
        drop_.setFocus(Qt::OtherFocusReason);
    }
}

bool TableKeyboard::keyPress(QKeyEvent& event, QWidget* focus) {
    const int key = event.key();
    if (event.modifiers() & ~Qt::KeypadModifier) return false;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Buttons outside a dialog take Space but not Enter.
        auto* button = qobject_cast<QPushButton*>(focus);
        if ((button == &pass_ || button == &drop_) && button->isEnabled()) button->click();
        event.accept();
        return true;
    }
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Home && key != Qt::Key_End) return false;
    event.accept();
    const std::vector<CardPicture*> cards = raisedCards();
    if (cards.empty()) return true;
    const auto at = std::find(cards.begin(), cards.end(), qobject_cast<CardPicture*>(focus));
    const int count = static_cast<int>(cards.size());
    int to = 0;
    if (key == Qt::Key_Home) {
        to = 0;
    } else if (key == Qt::Key_End) {
        to = count - 1;
    } else if (at == cards.end()) {
        // From PASS or DROP the arrows come back to the hand.
        to = key == Qt::Key_Right ? 0 : count - 1;
    } else {
        const int from = static_cast<int>(at - cards.begin());
        to = (from + (key == Qt::Key_Right ? 1 : count - 1)) % count;
    }
    cards[static_cast<size_t>(to)]->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TableKeyboard::focusNextPrev(bool next, QWidget* focus) {
    std::vector<QWidget*> stops;
    auto* card = qobject_cast<CardPicture*>(focus);
    const std::vector<CardPicture*> cards = raisedCards();
    if (card && card->isEnabled()) {
        stops.push_back(card);
    } else if (!cards.empty()) {
        stops.push_back(cards.front());
    }
    for (QPushButton* button : {&pass_, &drop_}) {
        if (button->isEnabled()) stops.push_back(button);
    }
    return focusNextStop(stops, focus, next);
}

}  // namespace vantel
