// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the windows share about the running program: where its settings and
// pictures live, how long its pauses really last, and how it ends.
#pragma once

#include <memory>

#include <functional>

#include "records/settings.h"

class QWidget;

namespace vantel {
class FriendsTable;
}

namespace vantel {

struct Program {
    // The settings file and the program folder (gazou/, sound/).
    SettingsLocation location;
    // 1 in play; tests set 0 so that every pause and card step is instant.
    double pauseScale = 1.0;
    // Ends the program (the event loop). Tests replace it to watch for it.
    std::function<void()> endProgram;
    // Called with every window the program opens as the next step of its
    // flow (the member selection, a new table), so tests can follow along.
    std::function<void(QWidget*)> windowOpened;
};

Program& program();

// The program's flow between its windows: the member selection at start,
// after a start over with new members and after the material reset; the
// table once the members are chosen or when a match is started over with
// the same members. Each returns the window it showed.
QWidget* openMemberSelection();
QWidget* openTable();
// A seat at a friends' table, taken in 「友達と遊ぶ」.
QWidget* openFriendsTable(std::unique_ptr<FriendsTable> friends);

// Asks the program to end once control is back in the event loop.
void endProgram();

}  // namespace vantel
