// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The player's record window (成績): the figures of each strength, of the
// matches at friends' tables (友達と) and of all matches as a table, the
// places of the last hundred matches and how often each place came as two
// charts (a colour for each column), and a reset of the record.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>

#include "records/play_record.h"

class QChart;
class QChartView;
class QLabel;
class QPushButton;

namespace vantel {

class LabelGrid;

class FrmSeiseki : public QDialog {
    Q_OBJECT
public:
    // Shows `record`; "リセット" empties the record kept in `file`.
    FrmSeiseki(const PlayRecord& record, std::filesystem::path file, QWidget* parent);

    // Fills the table and draws the charts again.
    void setRecord(const PlayRecord& record);
    // "リセット": asks, then empties the record.
    void cmdReset_Click();

    // ---- for tests ----
    LabelGrid* figures() const { return grid_; }
    QChartView* recentView() const { return recentView_; }
    QChartView* placesView() const { return placesView_; }
    QPushButton* resetButton() const { return reset_; }
    QPushButton* closeButton() const { return close_; }

    void done(int result) override;

private:
    void drawRecentChart(const PlayRecord& record);
    void drawPlacesChart(const PlayRecord& record);

    std::filesystem::path file_;
    LabelGrid* grid_ = nullptr;
    QChartView* recentView_ = nullptr;
    QChartView* placesView_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* close_ = nullptr;
    // Set once the window is closed, also while one of its message boxes
    // waits: the reset then does nothing more.
    bool closed_ = false;
};

// Reads the record in `file` and shows it modally. A damaged file is kept
// as its .bak and the player is told so once, before the window opens.
void showPlayRecord(QWidget* parent, const std::filesystem::path& file);
// The same without waiting (the table): window-modal over `parent`;
// `closed` runs once the window is closed.
void openPlayRecord(QWidget* parent, const std::filesystem::path& file, std::function<void()> closed);

}  // namespace vantel
