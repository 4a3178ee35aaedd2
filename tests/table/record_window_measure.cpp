// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Measures the record window (成績) with a full record: the size of the
// record file as matches are added (it stops growing at a hundred listed
// matches), and how long opening the window takes, from reading the file
// to the window drawn on screen, split into reading, building and the
// first drawing. The first opening in a process (which loads Qt Charts'
// fonts and caches) is shown apart from the later ones.
//
//   record_window_measure [OPENINGS]      (default 30)
//
// Run it on the platform to measure, e.g. QT_QPA_PLATFORM=offscreen, or
// under Xvfb with a window manager.
#include <QApplication>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "records/record_file.h"
#include "table/fonts.h"
#include "table/frm_seiseki.h"
#include "tests/records/played_record.h"

using namespace vantel;
using Clock = std::chrono::steady_clock;

namespace {

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Opening {
    double read, build, draw;
    double total() const { return read + build + draw; }
};

Opening openOnce(const std::filesystem::path& file) {
    const auto start = Clock::now();
    const RecordLoad load = loadRecordFile(file);
    const auto read = Clock::now();
    FrmSeiseki window(load.record, file, nullptr);
    const auto built = Clock::now();
    window.show();
    // Until the window system shows it (no sleeping between the checks),
    // then drawn whole.
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && ms(Clock::now() - built) < 5000) {
        QCoreApplication::processEvents();
    }
    window.repaint();
    const auto drawn = Clock::now();
    return {ms(read - start), ms(built - read), ms(drawn - built)};
}

void report(const char* what, std::vector<Opening> runs) {
    std::sort(runs.begin(), runs.end(), [](const Opening& a, const Opening& b) { return a.total() < b.total(); });
    const Opening& median = runs[runs.size() / 2];
    std::printf("%-24s median %6.1f ms (read %.1f, build %.1f, draw %.1f), fastest %.1f ms, slowest %.1f ms, %zu runs\n",
                what, median.total(), median.read, median.build, median.draw, runs.front().total(), runs.back().total(),
                runs.size());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    QApplication::setFont(gothicFont(9));
    const int openings = argc > 1 ? std::max(2, std::atoi(argv[1])) : 30;
    QTemporaryDir folder;
    const std::filesystem::path file = folder.filePath(QStringLiteral("Seiseki.json")).toStdString();

    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    for (const int matches : {10, 50, 100, 101, 200, 1000}) {
        changeRecordFile(file, [&](PlayRecord& r) { r = test::playedRecord(matches); });
        std::printf("record file after %4d matches: %6ju bytes, %3zu listed\n", matches,
                    static_cast<std::uintmax_t>(std::filesystem::file_size(file)), peekRecordFile(file).record.recent.size());
    }
    changeRecordFile(file, [&](PlayRecord& r) { r = test::playedRecord(130); });
    std::vector<Opening> later;
    const Opening first = openOnce(file);
    for (int i = 1; i < openings; ++i) later.push_back(openOnce(file));
    report("first opening", {first});
    report("later openings", later);
    return 0;
}
