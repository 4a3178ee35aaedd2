// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// 「友達と遊ぶ」: host a table on this machine (the game starts its own
// table server) or join a friend's, and sit down at it.
//
// 「部屋を作る」 starts the server on the chosen port, makes a room and seats
// the player; it shows the room code to read aloud, the addresses friends
// can use and a QR code of the browser link, and lists who has joined, live.
// 「開始」 starts the match; empty seats become computers. 「部屋に入る」
// connects to an address and port, reads the host's members for a picture,
// and joins the room by its code. Failures are told in plain Japanese.
#pragma once

#include <QDialog>
#include <memory>

#include "net/remote_table.h"
#include "records/match_state.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace vantel {

namespace net {
class ServerThread;
struct RoomSummary;
}  // namespace net

class FrmFriends : public QDialog {
    Q_OBJECT
public:
    explicit FrmFriends(MatchState& state, QWidget* parent = nullptr);
    ~FrmFriends() override;

    // The player's seat, once taken: the window hands its connection over
    // (and the server it hosts, if it hosts one).
    std::unique_ptr<net::RemoteTable> takeTable();
    std::unique_ptr<net::ServerThread> takeServer();

    // For tests and the accessibility script.
    QTabWidget* tabs() const { return tabs_; }
    QLabel* roomCode() const { return roomCode_; }
    QLabel* status() const { return status_; }
    QTableWidget* seatList() const { return seats_; }
    QSpinBox* hostPort() const { return hostPort_; }
    QPushButton* createButton() const { return create_; }
    QPushButton* startButton() const { return start_; }
    QLineEdit* joinAddress() const { return address_; }
    QSpinBox* joinPort() const { return joinPort_; }
    QLineEdit* joinRoom() const { return room_; }
    QLineEdit* joinName() const { return name_; }
    QComboBox* joinPicture() const { return picture_; }
    QPushButton* connectButton() const { return connect_; }

Q_SIGNALS:
    // The player sits at the table and its match is under way (or, for a
    // joiner, about to be): take the table with takeTable().
    void seatTaken();

private:
    QWidget* hostTab();
    QWidget* joinTab();
    void createRoom();
    void serverStarted(quint16 port);
    void roomCreated(const QString& room, const QString& link);
    void showRoom(const net::RoomInfo& room);
    void startMatch();
    void connectToRoom();
    // Takes back the seat a game closed by force left, when the address,
    // port and room are its own; false when they are not.
    bool resumeSavedSeat();
    void fail(const QString& text);
    std::unique_ptr<net::RemoteTable> newTable();
    void remember();

    MatchState& state_;
    std::unique_ptr<net::ServerThread> server_;
    std::unique_ptr<net::RemoteTable> table_;
    quint16 port_ = 0;
    bool joining_ = false;

    QTabWidget* tabs_;
    QSpinBox* hostPort_;
    QComboBox* computers_;
    QComboBox* timer_;
    QCheckBox* hints_;
    QPushButton* create_;
    QLabel* roomCode_;
    QLabel* addresses_;
    QLabel* qr_;
    QTableWidget* seats_;
    QPushButton* start_;
    QLineEdit* address_;
    QSpinBox* joinPort_;
    QLineEdit* room_;
    QLineEdit* name_;
    QComboBox* picture_;
    QPushButton* connect_;
    QLabel* status_;
};

}  // namespace vantel
