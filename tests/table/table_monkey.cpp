// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Random input at the table, from the top of the event loop, for a given
// time: clicks on the cards and the buttons, keys, menu commands, the
// windows over the table answered or closed, the window resized, closed and
// started over (with the same or new members), all while cards fly and the
// game pauses, at the game's own pace and faster. Meant to run under
// AddressSanitizer; a fault ends the program there.
//
//   table_monkey [SECONDS] [SEED]   (defaults: 20 seconds, seed from the clock)
//
// It prints the actions taken, the tables opened and the steps the table
// took at the top level of the event loop and in a nested one; it fails
// when a step was ever taken in a nested loop, or when nothing was played.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "records/match_state.h"
#include "table/card_picture.h"
#include "table/form1.h"
#include "table/frmspl5.h"
#include "table/message_box.h"
#include "table/program.h"

using namespace vantel;

namespace {

class Monkey : public QObject {
public:
    Monkey(uint64_t seed, int seconds) : random_(seed), seconds_(seconds) {
        clock_.start();
        tick_.setSingleShot(true);
        connect(&tick_, &QTimer::timeout, this, &Monkey::act);
    }

    void start() {
        program().windowOpened = [this](QWidget* w) { opened(w); };
        program().endProgram = [this] {
            // The program would end: open it again instead.
            ++ends_;
            QTimer::singleShot(0, this, [] { openMemberSelection(); });
        };
        openMemberSelection();
        tick_.start(1);
    }

    int actions = 0;
    int tables = 0;
    int ends_ = 0;
    int matchesStarted = 0;
    int rounds = 0;

private:
    template <typename T>
    T pick(std::initializer_list<T> from) {
        return *(from.begin() + random_() % from.size());
    }
    int below(int n) { return static_cast<int>(random_() % static_cast<uint64_t>(n)); }

    void opened(QWidget* window) {
        if (auto* selection = qobject_cast<Frmspl5*>(window)) {
            // The member selection asks with boxes of its own; they are
            // answered here, at once.
            setMessageAnswerer([](QMessageBox& box) {
                return box.standardButtons() & QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::Yes;
            });
            QPointer<Frmspl5> s = selection;
            QTimer::singleShot(below(20), this, [this, s] {
                if (!s) return;
                QTest::mouseClick(s->imag(0), Qt::LeftButton);
                for (int m : {1, 2, 3}) QTest::mouseClick(s->imag(m), Qt::LeftButton);
            });
            return;
        }
        if (auto* table = qobject_cast<Form1*>(window)) {
            // The table's own windows are the real ones.
            setMessageAnswerer({});
            table_ = table;
            ++tables;
        }
    }

    void act() {
        if (clock_.elapsed() > seconds_ * 1000) {
            QCoreApplication::exit(0);
            return;
        }
        ++actions;
        if (qEnvironmentVariableIsSet("MONKEY_TRACE") && actions % 100 == 0 && table_) {
            QWidget* modal = QApplication::activeModalWidget();
            std::printf("t=%lld holding=%d idle=%d awaiting=%d start=%d round=%d modal=%s scale=%.2f steps=%d\n",
                        static_cast<long long>(clock_.elapsed()), table_->holding(), table_->follower().idle(),
                        table_->follower().awaitingMove(), table_->follower().isEnabled(Control::StartMenu),
                        sharedState().roundNumber, modal ? qPrintable(modal->objectName()) : "-",
                        program().pauseScale, TableFollower::stepsAtTopLevel());
        }
        // The game's pace, or faster, for a while.
        if (actions == 1 || below(300) == 0) program().pauseScale = pick({1.0, 1.0, 0.2, 0.02, 0.0});
        doSomething();
        tick_.start(below(25));
    }

    void doSomething() {
        // Windows over the table first, now and then.
        if (sharedState().roundNumber > lastRound_) ++rounds;
        lastRound_ = sharedState().roundNumber;
        if (QWidget* modal = QApplication::activeModalWidget(); modal && below(2) == 0) {
            answer(modal);
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (dialog && dialog->isVisible() && below(6) == 0) {
                answer(dialog);
                return;
            }
        }
        Form1* t = table_;
        if (!t || t->leaving() || !t->isVisible()) return;
        const int roll = below(100);
        if (roll < 15 && t->follower().awaitingMove()) {
            // A move that can be made, so that the rounds go on.
            for (int card = 1; card <= 53; ++card) {
                if (t->follower().isClickable(card)) {
                    QTest::mouseClick(t->img(card), Qt::LeftButton);
                    return;
                }
            }
            QTest::mouseClick(t->cmdPass()->isEnabled() ? t->cmdPass() : t->cmdOut(), Qt::LeftButton);
        } else if (roll < 30) {
            // A card, PASS or DROP, whether it can be played or not.
            const int what = below(60);
            QWidget* target = what < 53 ? static_cast<QWidget*>(t->img(what + 1))
                              : what < 57 ? static_cast<QWidget*>(t->cmdPass())
                                          : static_cast<QWidget*>(t->cmdOut());
            if (target->isVisible()) QTest::mouseClick(target, Qt::LeftButton);
        } else if (roll < 55) {
            const Qt::Key key = pick({Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Return,
                                      Qt::Key_Space, Qt::Key_P, Qt::Key_D, Qt::Key_H, Qt::Key_Tab, Qt::Key_Escape});
            QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : t;
            QTest::keyClick(to, key);
        } else if (roll < 85) {
            const char* name = pick({"mnu_kaisi", "mnu_kaisi", "mnu_kaisi", "mnu_skip", "mnu_skip", "mnu_hint",
                                     "mnu_gaiyo", "mnu_seiseki", "mnu_version", "mnu_clear", "mnu_bgm",
                                     "mnu_replay", "mnu_end", "mnu_tuyosa_0", "mnu_tuyosa_2"});
            if (std::string(name) == "mnu_replay" && below(20) != 0) return;
            if (std::string(name) == "mnu_end" && below(40) != 0) return;
            if (std::string(name) == "mnu_kaisi") ++matchesStarted;
            if (QAction* a = t->findChild<QAction*>(QString::fromUtf8(name))) a->trigger();
        } else if (roll < 88) {
            if (below(40) == 0) t->close();
        } else if (roll < 92) {
            switch (below(4)) {
                case 0: t->showMaximized(); break;
                case 1: t->showNormal(); break;
                case 2: t->resize(t->width() + below(41) - 20, t->height() + below(41) - 20); break;
                default: t->showMinimized(); break;
            }
        } else {
            // Ctrl+ shortcuts from the keyboard.
            QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : t;
            QTest::keyClick(to, pick({Qt::Key_S, Qt::Key_K, Qt::Key_B, Qt::Key_T}), Qt::ControlModifier);
        }
    }

    void answer(QWidget* window) {
        if (auto* box = qobject_cast<QMessageBox*>(window)) {
            const auto buttons = box->buttons();
            if (!buttons.isEmpty()) {
                QTest::mouseClick(buttons.at(below(static_cast<int>(buttons.size()))), Qt::LeftButton);
                return;
            }
        }
        if (auto* dialog = qobject_cast<QDialog*>(window)) {
            switch (below(3)) {
                case 0: dialog->accept(); break;
                case 1: dialog->reject(); break;
                default: QTest::keyClick(dialog, pick({Qt::Key_Return, Qt::Key_Escape})); break;
            }
        }
    }

    std::mt19937_64 random_;
    int seconds_;
    QElapsedTimer clock_;
    QTimer tick_;
    QPointer<Form1> table_;
    int lastRound_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    const uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10)
                                   : static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    QTemporaryDir dir;
    program().location.programFolder = std::filesystem::path(VANTEL_PROGRAM_DIR);
    program().location.settingsFile = std::filesystem::path(dir.path().toStdString()) / "help" / "Vantel.ini";
    sharedState() = MatchState{};

    Monkey monkey(seed, seconds);
    monkey.start();
    app.exec();

    const int top = TableFollower::stepsAtTopLevel(), nested = TableFollower::stepsNested();
    std::printf("seed %llu, %d s: %d actions, %d tables opened, %d program ends, %d starts asked, %d rounds "
                "begun; table steps: %d at the top level, %d in a nested loop\n",
                static_cast<unsigned long long>(seed), seconds, monkey.actions, monkey.tables, monkey.ends_,
                monkey.matchesStarted, monkey.rounds, top, nested);
    program().windowOpened = {};
    program().endProgram = {};
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<Form1*>(w) || qobject_cast<Frmspl5*>(w)) windows.emplace_back(w);
    }
    for (auto& w : windows) delete w.data();
    return nested == 0 && top > 0 ? 0 : 1;
}
