// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The follower on its own, with a stage in memory: over whole matches it
// shows exactly what the headless engine shows for the same deals, never
// asks for a step before the last is shown or while a window holds the
// table, and stops at once when it is destroyed. And the input that waits
// during a pause: held, then handed on with its shortcuts, or dropped.
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QThread>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "game/engine.h"
#include "game/picture_board.h"
#include "game/seat_source.h"
#include "table/input_hold.h"
#include "table/program.h"
#include "table/table_follower.h"

using namespace vantel;

namespace {

// What a stage was asked to show, as lines to compare; the pictures as a
// board.
struct ShowLog {
    std::vector<std::string> lines;
    PictureBoard board;
    std::map<std::pair<int, int>, std::string> captions;
    std::map<int, bool> controls;
    TableGeometry geometry;

    void add(std::string line) { lines.push_back(std::move(line)); }

    Size clientSize() const { return {784, 592}; }
    void setCaption(Caption label, int index, std::string_view text) {
        captions[{static_cast<int>(label), index}] = std::string(text);
    }
};

// The headless engine's stage.
class EngineView : public TableView {
public:
    explicit EngineView(ShowLog& log) : log_(log) {}
    Size clientSize() const override { return log_.clientSize(); }
    Size cardSize() const override { return {49, 65}; }
    Size landscapeCardSize() const override { return {65, 49}; }
    TableGeometry tableGeometry() const override { return log_.geometry; }
    void setTableGeometry(const TableGeometry& g) override { log_.geometry = g; }
    Point picturePosition(int index) const override { return log_.board.position(index); }
    void placePicture(int index, int left, int top) override { log_.board.place(index, {left, top}); }
    void setPictureVisible(int index, bool visible) override { log_.board.setVisible(index, visible); }
    void setPictureEnabled(int index, bool enabled) override { log_.board.setEnabled(index, enabled); }
    void setCaption(Caption label, int index, std::string_view text) override { log_.setCaption(label, index, text); }
    void setEnabled(Control control, bool enabled) override { log_.controls[static_cast<int>(control)] = enabled; }
    bool musicOn() const override { return false; }
    void playMusic(int, bool) override {}
    void stopMusic() override {}
    void playSoundEffect(int) override {}
    void keepMusicLooping() override {}
    void clearResults() override { log_.add("clear"); }

    void movePicture(int index, int, int, int toLeft, int toTop, int) override {
        log_.add("fly " + std::to_string(index));
        log_.board.setVisible(index, true);
        log_.board.place(index, {toLeft, toTop});
    }
    void speak(int seat, std::string_view text, int) override {
        log_.add("say " + std::to_string(seat) + " " + std::string(text));
    }
    void pause(int) override { log_.add("pause"); }
    void processEvents() override {}
    void showResults() override { log_.add("results"); }
    void recordMatch() override { log_.add("ranking"); }
    void showMatchEndScreen(MatchEndScreen screen) override {
        log_.add("screen " + std::to_string(static_cast<int>(screen)));
    }
    bool askRetry() override {
        log_.add("retry");
        return ++asked_ < 2;
    }

private:
    ShowLog& log_;
    int asked_ = 0;
};

// The follower's stage: the same log, and windows that close at once or
// later, at random.
class FakeHost : public FollowerHost, public TableStage {
public:
    FakeHost(ShowLog& log, uint64_t seed) : log_(log), random_(seed) {}

    // TableStage
    Size clientSize() const override { return log_.clientSize(); }
    Size cardSize() const override { return {49, 65}; }
    Size landscapeCardSize() const override { return {65, 49}; }
    TableGeometry tableGeometry() const override { return log_.geometry; }
    void setTableGeometry(const TableGeometry& g) override { log_.geometry = g; }
    Point picturePosition(int index) const override { return log_.board.position(index); }
    void placePicture(int index, int left, int top) override { log_.board.place(index, {left, top}); }
    void setPictureVisible(int index, bool visible) override { log_.board.setVisible(index, visible); }
    void setPictureEnabled(int index, bool enabled) override { log_.board.setEnabled(index, enabled); }
    void setCaption(Caption label, int index, std::string_view text) override { log_.setCaption(label, index, text); }
    void setEnabled(Control control, bool enabled) override { log_.controls[static_cast<int>(control)] = enabled; }
    bool musicOn() const override { return false; }
    void playMusic(int, bool) override {}
    void stopMusic() override {}
    void playSoundEffect(int) override {}
    void keepMusicLooping() override {}
    void clearResults() override { log_.add("clear"); }

    // FollowerHost
    TableStage& stage() override { return *this; }
    void flightBegins(int picture, bool) override {
        log_.add("fly " + std::to_string(picture));
        log_.board.setVisible(picture, true);
        ++calls;
    }
    void drawStep(int picture, Point at) override {
        log_.board.place(picture, at);
        ++calls;
    }
    const QScreen* tableScreen() const override { return nullptr; }
    void showBalloon(int seat, const std::string& text) override {
        log_.add("say " + std::to_string(seat) + " " + text);
        balloonUp_ = true;
        ++calls;
    }
    void hideBalloon() override { balloonUp_ = false; }
    bool balloonGone() const override { return !balloonUp_; }
    void openModal(const Wait& wait, std::function<void(bool)> closed) override {
        ++calls;
        ++modalsOpen;
        std::string line;
        switch (wait.kind) {
            case Wait::Results: line = "results"; break;
            case Wait::Ranking: line = "ranking"; break;
            case Wait::Screen: line = "screen " + std::to_string(static_cast<int>(wait.screen)); break;
            case Wait::Retry: line = "retry"; break;
            default: line = "?"; break;
        }
        log_.add(line);
        const bool answer = wait.kind != Wait::Retry || ++retries_ < 2;
        auto close = [this, closed, answer] {
            --modalsOpen;
            closed(answer);
        };
        // Some windows answer at once (as tests answer them), others later
        // from the event loop, as a player does.
        if (random_() % 2) {
            close();
        } else {
            QTimer::singleShot(int(random_() % 3), context.get(), close);
        }
    }
    bool holding() const override { return holds > 0; }
    void turnOpened() override { ++turns; }
    void probe(const char* where) override {
        if (std::string(where) == "pause") log_.add("pause");
        if (onProbe) onProbe(where);
    }

    int calls = 0;
    int modalsOpen = 0;
    int holds = 0;
    int turns = 0;
    std::function<void(const char*)> onProbe;
    std::unique_ptr<QObject> context = std::make_unique<QObject>();

private:
    ShowLog& log_;
    std::mt19937_64 random_;
    bool balloonUp_ = false;
    int retries_ = 0;
};

// The local table, watched: every step asked for is checked.
class WatchedSource : public SeatSource {
public:
    WatchedSource(MatchPlay& match, Random& random, FakeHost& host)
        : inner_(match, nullptr, {SearchBudget::ofPlayouts(20), 1, false}, &random), host_(host) {}

    int seat() const override { return inner_.seat(); }
    std::vector<TableEvent> eventsAfter(uint64_t after) override { return inner_.eventsAfter(after); }
    bool advance() override {
        ++steps;
        // Only once everything of the last step is shown, and never while
        // a window is open over the table.
        if (follower && (follower->presenter().busy() ||
                         !inner_.eventsAfter(follower->presenter().presentedSeq()).empty())) {
            ++early;
        }
        if (host_.modalsOpen > 0 || host_.holding()) ++whileHeld;
        if (QThread::currentThread()->loopLevel() > 1) ++nested;
        return inner_.advance();
    }
    bool awaitsMove() const override { return inner_.awaitsMove(); }
    std::optional<Refusal> send(const TurnMove& move) override {
        ++moves;
        return inner_.send(move);
    }
    bool startMatch() override { return inner_.startMatch(); }
    bool skip() override { return inner_.skip(); }
    std::optional<SeatKnowledge> knowledge() const override { return inner_.knowledge(); }
    Streak streak() const override { return inner_.streak(); }
    const RoundState* round() const override { return inner_.round(); }

    const TableFollower* follower = nullptr;
    int steps = 0, early = 0, whileHeld = 0, nested = 0, moves = 0;

private:
    LocalTableSource inner_;
    FakeHost& host_;
};

MatchPlay namedMatch() {
    MatchPlay match;
    for (int seat = 1; seat <= 4; ++seat) {
        match.seatName[seat] = "P" + std::to_string(seat);
        match.seatSex[seat] = 1;
    }
    for (int i = 1; i <= 9; ++i) {
        match.femaleLines[i] = "F" + std::to_string(i);
        match.maleLines[i] = "M" + std::to_string(i);
    }
    return match;
}

// The move a simple player makes: the lowest card that takes clicks, else
// PASS, else DROP.
template <typename Driver>
TurnMove lowestMove(const Driver& d) {
    for (int card = 1; card <= 53; ++card) {
        if (d.isClickable(card)) return {TurnMove::Card, card};
    }
    if (d.isEnabled(Control::PassButton)) return {TurnMove::Pass, 0};
    return {TurnMove::Drop, 0};
}

// Lets the event loop run until `done` or a long time has passed.
bool runUntil(const std::function<bool()>& done, int timeoutMs = 120000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

}  // namespace

class FollowerTest : public QObject {
    Q_OBJECT
private slots:
    void init() { program().pauseScale = 0; }
    void showsWhatTheEngineShowsAndStepsOnlyWhenShown();
    void destroyedAnywhereItStopsAtOnce();
    void inputDuringAPauseWaitsThenArrives();
};

void FollowerTest::showsWhatTheEngineShowsAndStepsOnlyWhenShown() {
    for (uint64_t seed = 1; seed <= 3; ++seed) {
        // The engine, two matches of the same deals.
        ShowLog expected;
        MatchPlay engineMatch = namedMatch();
        Random engineRandom(seed);
        EngineView view(expected);
        Engine engine(engineMatch, view, engineRandom);
        engine.configureSearch({SearchBudget::ofPlayouts(20), 1, false});
        engine.mnuKaisiClick();
        std::vector<PictureBoard> engineBoards;
        while (engine.awaitingUser()) {
            engineBoards.push_back(expected.board);
            const TurnMove move = lowestMove(engine);
            if (move.kind == TurnMove::Card) engine.imgClick(move.card);
            if (move.kind == TurnMove::Pass) engine.cmdPassClick();
            if (move.kind == TurnMove::Drop) engine.cmdOutClick();
        }

        // The follower, with windows that close now or later, and a window
        // of the player's held open over the table now and then.
        ShowLog shown;
        MatchPlay match = namedMatch();
        Random random(seed);
        FakeHost host(shown, seed);
        WatchedSource source(match, random, host);
        TableFollower follower(source, match, host);
        source.follower = &follower;
        std::mt19937_64 chance(seed);
        host.onProbe = [&](const char* where) {
            if (std::string(where) != "step" || chance() % 97 != 0 || host.holds > 0) return;
            ++host.holds;
            QTimer::singleShot(2, host.context.get(), [&] {
                --host.holds;
                follower.resume();
            });
        };
        std::vector<PictureBoard> boards;
        follower.startMatch();
        int turns = 0;
        for (;;) {
            QVERIFY(runUntil([&] { return follower.idle(); }));
            if (!follower.awaitingMove()) break;
            ++turns;
            boards.push_back(shown.board);
            const TurnMove move = lowestMove(follower);
            follower.play(move);
            // The controls close as soon as the move is sent.
            QVERIFY(!follower.awaitingMove());
            for (int card = 1; card <= 53; ++card) QVERIFY(!follower.isClickable(card));
            QVERIFY(!follower.isEnabled(Control::PassButton));
            QVERIFY(!follower.isEnabled(Control::DropButton));
            QVERIFY(!follower.isEnabled(Control::HintMenu));
        }
        QVERIFY(turns > 20);
        QCOMPARE(source.early, 0);
        QCOMPARE(source.whileHeld, 0);
        QCOMPARE(source.nested, 0);
        QCOMPARE(match.roundNumber, 0);
        QVERIFY(follower.isEnabled(Control::StartMenu));
        // The same things shown in the same order, and the same table at
        // every turn of the user.
        QCOMPARE(shown.lines.size(), expected.lines.size());
        for (size_t i = 0; i < shown.lines.size(); ++i) {
            if (shown.lines[i] != expected.lines[i]) {
                QFAIL(qPrintable(QStringLiteral("line %1: %2 instead of %3")
                                     .arg(i)
                                     .arg(QString::fromStdString(shown.lines[i]))
                                     .arg(QString::fromStdString(expected.lines[i]))));
            }
        }
        QCOMPARE(boards.size(), engineBoards.size());
        for (size_t t = 0; t < boards.size(); ++t) {
            for (int p = 0; p < kPictureCount; ++p) {
                const auto& a = boards[t].pictures[p];
                const auto& b = engineBoards[t].pictures[p];
                QVERIFY2(a.position == b.position && a.visible == b.visible && a.enabled == b.enabled,
                         qPrintable(QStringLiteral("turn %1, picture %2").arg(t).arg(p)));
            }
        }
        QCOMPARE(shown.captions, expected.captions);
        QCOMPARE(shown.controls, expected.controls);
    }
}

void FollowerTest::destroyedAnywhereItStopsAtOnce() {
    // Destroyed at the n-th thing it does: in a flight, a pause, a line, a
    // window over the table, between steps.
    for (int stopAt : {1, 30, 77, 150, 400, 1200, 3000}) {
        ShowLog shown;
        MatchPlay match = namedMatch();
        Random random(9);
        FakeHost host(shown, 9);
        WatchedSource source(match, random, host);
        auto follower = std::make_unique<TableFollower>(source, match, host);
        source.follower = follower.get();
        follower->startMatch();
        QVERIFY(runUntil([&] {
            if (follower->awaitingMove()) follower->play(lowestMove(*follower));
            return host.calls >= stopAt;
        }));
        follower.reset();
        const int calls = host.calls;
        const size_t lines = shown.lines.size();
        const int steps = source.steps;
        QTest::qWait(30);
        QCOMPARE(host.calls, calls);
        QCOMPARE(shown.lines.size(), lines);
        QCOMPARE(source.steps, steps);
    }
}

void FollowerTest::inputDuringAPauseWaitsThenArrives() {
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("PASS"), &window);
    int clicks = 0, shortcuts = 0;
    connect(button, &QPushButton::clicked, [&] { ++clicks; });
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_P), &window);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, [&] { ++shortcuts; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    button->setFocus();

    InputHold hold;
    hold.begin();
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(button, Qt::Key_P);
    QCoreApplication::processEvents();
    // Nothing happened yet: the click and the key wait.
    QCOMPARE(clicks, 0);
    QCOMPARE(shortcuts, 0);
    QVERIFY(hold.held() >= 4);
    hold.end();
    QTRY_COMPARE(clicks, 1);
    QTRY_COMPARE(shortcuts, 1);

    // Dropped when the window goes away meanwhile.
    hold.begin();
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(button, Qt::Key_P);
    hold.cancel();
    QTest::qWait(20);
    QCOMPARE(clicks, 1);
    QCOMPARE(shortcuts, 1);
    // And not held any more.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
}

QTEST_MAIN(FollowerTest)
#include "follower_test.moc"
