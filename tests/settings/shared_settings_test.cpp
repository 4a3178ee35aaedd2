// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Copies of the game sharing one settings file, each its own process: two
// simulators recording matches at once, and the editor saving members
// while a simulator records. Neither may lose what the other wrote.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <fstream>

#include "editor_test_helpers.h"

using namespace vantel;
using namespace vantel::test;

namespace {

constexpr int kGenerous = 600000;  // ms: a loaded machine and a sanitizer build

// A simulator recording `matches` matches into `file`; its trace goes to trace(file, seed).
std::filesystem::path trace(const std::filesystem::path& file, int seed) {
    return file.string() + ".trace" + std::to_string(seed);
}
std::unique_ptr<QProcess> startSimulator(const std::filesystem::path& file, int seed, int matches) {
    auto sim = std::make_unique<QProcess>();
    sim->start(QStringLiteral(VANTEL_SIM), {"--seed", QString::number(seed), "--matches", QString::number(matches),
                                            "--settings", u(file.string()), "--trace", u(trace(file, seed).string())});
    return sim;
}

void finish(QProcess& sim) {
    // The editor's own event loop may already have seen the simulator end;
    // waitForFinished() is false for a process that has finished before it.
    if (sim.state() != QProcess::NotRunning) QVERIFY(sim.waitForFinished(kGenerous));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    // Nothing on stderr: every write had the lock, none waited it out.
    QCOMPARE(sim.readAllStandardError(), QByteArray());
}

// The match winners' totals, from the match-end events of a trace.
void addWinners(const std::filesystem::path& trace, std::vector<int32_t>& totals) {
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);) {
        if (line.find("\"match_end\"") == std::string::npos) continue;
        const QJsonObject event = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
        const QJsonArray places = event["places"].toArray();
        const auto winner = std::find(places.begin(), places.end(), QJsonValue(1));
        totals.push_back(event["totals"].toArray()[static_cast<int>(winner - places.begin())].toInt());
    }
}

// The ranking that must be left: the ten best of the one started from and every winner.
std::vector<int32_t> bestTen(const MatchState& before, std::vector<int32_t> totals) {
    totals.insert(totals.end(), before.rankPoints.begin() + 1, before.rankPoints.end());
    std::sort(totals.rbegin(), totals.rend());
    totals.resize(kRankRows);
    return totals;
}
std::vector<int32_t> ranking(const MatchState& state) { return {state.rankPoints.begin() + 1, state.rankPoints.end()}; }

}  // namespace

class SharedSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void twoSimulatorsAtOnceKeepEveryWinner() {
        SettingsFolder settings(4);
        const auto first = startSimulator(settings.file(), 2, 250);
        const auto second = startSimulator(settings.file(), 3, 250);
        finish(*first);
        finish(*second);
        std::vector<int32_t> winners;
        addWinners(trace(settings.file(), 2), winners);
        addWinners(trace(settings.file(), 3), winners);
        QCOMPARE(winners.size(), std::size_t{500});
        const MatchState after = settings.reread();
        QCOMPARE(ranking(after), bestTen(settings.state(), winners));
        QCOMPARE(int32_t{after.hiScore}, *std::max_element(winners.begin(), winners.end()));
    }

    void membersSavedWhileASimulatorRecordsAndItsRankingBothStay() {
        Editor editor(4);
        const MatchState before = editor.state();
        const auto sim = startSimulator(editor.settings.file(), 4, 1000);
        // The first match end gives row 1 a total.
        QVERIFY(waitFor([&] { return !editor.settings.value("Lank1", "Ten").empty(); }, kGenerous));
        int member = 4;
        while (member < kMaxMembers && sim->state() == QProcess::Running) {
            ++member;
            for (int k = 0; k < kPicturesPerMember; ++k) {
                Editor::type(editor.box(QStringLiteral("Text1_%1").arg(k)), u(SettingsFolder::pictureOf(member, k + 1)));
            }
            Editor::type(editor.box(QStringLiteral("Text5")), u(SettingsFolder::nameOf(member)));
            ModalScript script;
            script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
            editor.button(QStringLiteral("cmdOK"))->click();
            QVERIFY(script.finished());
        }
        QVERIFY2(member >= 8, "the simulator ended before the editor had saved much");
        finish(*sim);

        const MatchState after = editor.settings.reread();
        QCOMPARE(after.memberCount, member);
        for (int m = 5; m <= member; ++m) QCOMPARE(after.memberName[m], SettingsFolder::nameOf(m));
        std::vector<int32_t> winners;
        addWinners(trace(editor.settings.file(), 4), winners);
        QCOMPARE(ranking(after), bestTen(before, winners));
    }
};

QTEST_MAIN(SharedSettingsTest)
#include "shared_settings_test.moc"
