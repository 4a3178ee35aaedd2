// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Draws 「友達と遊ぶ」 to PNG files for a person to look at: the host tab
// with a room made on a loopback port and a friend seated, and the join
// tab, each at the window's own size and at a large one.
//   friends_window_screenshots [folder]

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "table/fonts.h"
#include "table/frm_friends.h"

using namespace vantel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    QApplication::setFont(gothicFont(9));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    QTemporaryDir folder;
    qputenv("XDG_DATA_HOME", folder.path().toUtf8());
    MatchState host;
    host.iniPath = (folder.path() + QStringLiteral("/host.ini")).toStdString();
    host.memberCount = 4;
    const char* names[] = {"", "あやや", "ゆうこ", "まさし", "けん"};
    for (int m = 1; m <= 4; ++m) {
        host.memberName[m] = names[m];
        host.memberSex[m] = m <= 2 ? 1 : 0;
    }
    host.seatName[1] = "あやや";
    host.seatMember[1] = 1;
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    FrmFriends hostWindow(host);
    hostWindow.show();
    hostWindow.hostPort()->setValue(port);
    QTest::mouseClick(hostWindow.createButton(), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return hostWindow.startButton()->isEnabled(); }, 10000)) return 1;

    MatchState guest = host;
    guest.iniPath = (folder.path() + QStringLiteral("/guest.ini")).toStdString();
    guest.seatName[1] = "ゆき";
    FrmFriends joinWindow(guest);
    joinWindow.show();
    joinWindow.tabs()->setCurrentIndex(1);
    joinWindow.joinAddress()->setText(QStringLiteral("127.0.0.1"));
    joinWindow.joinPort()->setValue(port);
    joinWindow.joinRoom()->setText(hostWindow.roomCode()->text());
    QTest::mouseClick(joinWindow.connectButton(), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return joinWindow.connectButton()->text().startsWith(QStringLiteral("参加")); }, 10000)) {
        return 1;
    }
    bool ok = true;
    for (const auto& [name, size] : {std::pair{"load", QSize()}, std::pair{"large", QSize(1280, 800)}}) {
        for (FrmFriends* window : {&hostWindow, &joinWindow}) {
            if (size.isValid()) window->resize(size);
            QTest::qWait(100);
            const QString file = QStringLiteral("%1/friends-%2-%3.png")
                                     .arg(out, window == &hostWindow ? QStringLiteral("host") : QStringLiteral("join"),
                                          QLatin1String(name));
            ok = window->grab().save(file) && ok;
        }
    }
    return ok ? 0 : 1;
}
