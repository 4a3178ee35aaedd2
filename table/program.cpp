// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/program.h"

#include <QApplication>
#include <QTimer>

#include "records/match_state.h"
#include "table/form1.h"
#include "table/friends_table.h"
#include "table/frmspl5.h"

namespace vantel {

Program& program() {
    static Program instance{programSettingsLocation(), 1.0, {}, {}};
    return instance;
}

namespace {
void announce(QWidget* window) {
    if (program().windowOpened) program().windowOpened(window);
}
}  // namespace

QWidget* openMemberSelection() {
    auto* window = new Frmspl5(sharedState());
    if (window->leaving()) return nullptr;
    window->show();
    announce(window);
    return window;
}

QWidget* openTable() {
    auto* window = new Form1(sharedState());
    if (window->leaving()) return nullptr;
    window->show();
    announce(window);
    return window;
}

QWidget* openFriendsTable(std::unique_ptr<FriendsTable> friends) {
    if (!friends) return openMemberSelection();
    auto* window = new Form1(std::move(friends));
    if (window->leaving()) return nullptr;
    window->show();
    announce(window);
    return window;
}

void endProgram() {
    if (program().endProgram) {
        program().endProgram();
        return;
    }
    // Every event loop, the nested ones included, ends once control is
    // back in it; the windows close with the application.
    QCoreApplication::exit(0);
}

}  // namespace vantel
