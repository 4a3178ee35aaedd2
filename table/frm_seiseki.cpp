// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/frm_seiseki.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QStringList>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "records/record_file.h"
#include "table/fonts.h"
#include "table/label_grid.h"
#include "table/message_box.h"
#include "table/table_cell.h"

namespace vantel {

namespace {

constexpr std::string_view kResetTitle = "成績のリセット";
constexpr std::string_view kResetQuestion = "成績をすべて消去します。よろしいですか？";
constexpr std::string_view kResetDoneTitle = "リセット完了！";
constexpr std::string_view kResetDoneText = "成績をリセットしました。";
constexpr std::string_view kResetFailedTitle = "リセット失敗";
constexpr std::string_view kResetFailedText = "成績のファイルを書き込めませんでした。";

const QColor kHeaderTint{236, 226, 206};

// The record's columns left to right before すべて: the strengths, then
// friends' tables; each with one colour, the same in both charts.
struct ShownColumn {
    RecordColumn column;
    const char* name;  // nullptr: a strength's own name
    QColor colour;
};
const ShownColumn kColumns[] = {
    {Strength::Easy, nullptr, {46, 139, 87}},
    {Strength::Normal, nullptr, {30, 90, 200}},
    {Strength::Hard, nullptr, {200, 40, 40}},
    {kFriendsColumn, "友達と", {225, 135, 10}},
};
constexpr int kShownColumns = static_cast<int>(std::size(kColumns));

const char* const kPlaceNames[5] = {"", "１位", "２位", "３位", "４位"};

QString count(std::int64_t n) { return QString::number(n); }
QString none() { return QStringLiteral("－"); }

// The table's rows, top to bottom: a name and how one column's figure reads.
struct FigureRow {
    const char* name;
    QString (*text)(const StrengthFigures&);
};
const FigureRow kRows[] = {
    {"対戦数", [](const StrengthFigures& f) { return count(f.played); }},
    {"勝ち数", [](const StrengthFigures& f) { return count(f.won()); }},
    {"勝率",
     [](const StrengthFigures& f) {
         const auto rate = f.winRate();
         return rate ? QStringLiteral("%1%").arg(*rate * 100, 0, 'f', 1) : none();
     }},
    {"中断した対戦", [](const StrengthFigures& f) { return count(f.left); }},
    {"１位", [](const StrengthFigures& f) { return count(f.places[1]); }},
    {"２位", [](const StrengthFigures& f) { return count(f.places[2]); }},
    {"３位", [](const StrengthFigures& f) { return count(f.places[3]); }},
    {"４位", [](const StrengthFigures& f) { return count(f.places[4]); }},
    {"回戦数", [](const StrengthFigures& f) { return count(f.rounds); }},
    {"回戦の１位", [](const StrengthFigures& f) { return count(f.roundsWon); }},
    {"現在の連勝", [](const StrengthFigures& f) { return count(f.streaks.currentWins()); }},
    {"最長連勝", [](const StrengthFigures& f) { return count(f.streaks.longestWins); }},
    {"最長連敗", [](const StrengthFigures& f) { return count(f.streaks.longestLosses); }},
    {"最高得点",
     [](const StrengthFigures& f) {
         const auto best = f.bestTotal();
         return best ? count(*best) : none();
     }},
    {"平均得点",
     [](const StrengthFigures& f) {
         const auto average = f.averageTotal();
         return average ? QString::number(*average, 'f', 1) : none();
     }},
    {"PASS", [](const StrengthFigures& f) { return count(f.passes); }},
    {"DROP", [](const StrengthFigures& f) { return count(f.drops); }},
    {"ヒント", [](const StrengthFigures& f) { return count(f.hints); }},
};
constexpr int kRowCount = static_cast<int>(std::size(kRows));

QString nameOf(const ShownColumn& c) {
    if (c.column.friends) return QString::fromUtf8(c.name);
    const std::string_view name = strengthName(c.column.strength);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Where a listed match's mark goes: the index of its column in kColumns.
int shownIndex(const RecentMatch& m) {
    return m.withFriends ? kShownColumns - 1 : static_cast<int>(m.strength) - 1;
}

QChart* newChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(gothicFont(10.5, true));
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setFont(gothicFont(9));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

void styleAxis(QAbstractAxis* axis) {
    axis->setLabelsFont(gothicFont(9));
    axis->setTitleFont(gothicFont(9));
}

// Puts `chart` in `view` and lets the chart it held go.
void replaceChart(QChartView* view, QChart* chart, const QString& description) {
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
    view->setAccessibleName(chart->title());
    view->setAccessibleDescription(description);
}

}  // namespace

FrmSeiseki::FrmSeiseki(const PlayRecord& record, std::filesystem::path file, QWidget* parent)
    : QDialog(parent), file_(std::move(file)) {
    setObjectName(QStringLiteral("FrmSeiseki"));
    setWindowTitle(QStringLiteral("成績"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    // Figures by row, strengths and friends' tables by column, the last
    // column for all of them.
    grid_ = new LabelGrid(kRowCount + 1, kShownColumns + 2, true, this);
    grid_->setObjectName(QStringLiteral("recordTable"));
    grid_->setAccessibleName(QStringLiteral("成績"));
    grid_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    const auto cell = [this](int row, int column, const QString& text, Qt::Alignment align, bool header) {
        QLabel* label = tableCell(grid_, align, header, kHeaderTint);
        label->setText(text);
        label->setMinimumWidth(column == 0 ? 112 : 84);
        grid_->setCell(row, column, label);
    };
    cell(0, 0, QString(), Qt::AlignCenter, true);
    for (int column = 1; column <= kShownColumns; ++column) {
        cell(0, column, nameOf(kColumns[column - 1]), Qt::AlignCenter, true);
    }
    cell(0, kShownColumns + 1, QStringLiteral("すべて"), Qt::AlignCenter, true);
    for (int row = 1; row <= kRowCount; ++row) {
        cell(row, 0, QString::fromUtf8(kRows[row - 1].name), Qt::AlignLeft, true);
        for (int column = 1; column <= kShownColumns + 1; ++column) cell(row, column, QString(), Qt::AlignRight, false);
    }

    for (QChartView** view : {&recentView_, &placesView_}) {
        *view = new QChartView(this);
        (*view)->setRenderHint(QPainter::Antialiasing);
        // Narrow enough that the table of five columns and the charts fit a
        // screen of 1024×768 side by side.
        (*view)->setMinimumSize(400, 250);
        // Nothing in a chart takes the keyboard; what it shows is in its
        // accessible description.
        (*view)->setFocusPolicy(Qt::NoFocus);
    }
    recentView_->setObjectName(QStringLiteral("recentChart"));
    placesView_->setObjectName(QStringLiteral("placesChart"));

    reset_ = new QPushButton(QStringLiteral("リセット"), this);
    reset_->setObjectName(QStringLiteral("cmdReset"));
    reset_->setAutoDefault(false);
    close_ = new QPushButton(QStringLiteral("閉じる"), this);
    close_->setObjectName(QStringLiteral("cmdClose"));
    close_->setDefault(true);
    for (QPushButton* b : {reset_, close_}) {
        b->setFont(gothicFont(9));
        b->setMinimumWidth(96);
    }
    connect(reset_, &QPushButton::clicked, this, &FrmSeiseki::cmdReset_Click);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    auto* charts = new QVBoxLayout;
    charts->addWidget(recentView_, 1);
    charts->addWidget(placesView_, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(grid_, 0, Qt::AlignTop);
    top->addLayout(charts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(reset_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    setTabOrder(reset_, close_);

    setRecord(record);
    close_->setFocus(Qt::OtherFocusReason);
}

void FrmSeiseki::setRecord(const PlayRecord& record) {
    for (int column = 1; column <= kShownColumns + 1; ++column) {
        const StrengthFigures figures =
            column > kShownColumns ? record.all() : record.at(kColumns[column - 1].column);
        for (int row = 1; row <= kRowCount; ++row) grid_->cell(row, column)->setText(kRows[row - 1].text(figures));
    }
    drawRecentChart(record);
    drawPlacesChart(record);
}

void FrmSeiseki::drawRecentChart(const PlayRecord& record) {
    // The list keeps up to kRecentMatches of each kind; the chart shows the
    // last kRecentMatches of them all.
    const std::size_t first = record.recent.size() - std::min(record.recent.size(), kRecentMatches);
    const int matches = static_cast<int>(record.recent.size() - first);
    QChart* chart = newChart(matches > 0 ? QStringLiteral("直近%1対戦の順位").arg(matches)
                                         : QStringLiteral("直近の対戦の順位（記録なし）"));
    // A grey line through the matches in the order played, and a mark for
    // each in its column's colour (a strength, or friends' tables).
    auto* line = new QLineSeries;
    line->setPen(QPen(QColor(150, 150, 150), 1));
    std::array<QScatterSeries*, kShownColumns> marks{};
    for (int i = 0; i < kShownColumns; ++i) {
        auto* series = new QScatterSeries;
        series->setName(nameOf(kColumns[i]));
        series->setColor(kColumns[i].colour);
        series->setBorderColor(kColumns[i].colour);
        series->setMarkerSize(7);
        marks[static_cast<size_t>(i)] = series;
    }
    std::array<int, 5> counts{};
    for (int i = 0; i < matches; ++i) {
        const RecentMatch& m = record.recent[first + static_cast<size_t>(i)];
        line->append(i + 1, m.place);
        marks[static_cast<size_t>(shownIndex(m))]->append(i + 1, m.place);
        counts[static_cast<size_t>(m.place)] += 1;
    }
    chart->addSeries(line);
    for (QScatterSeries* series : marks) chart->addSeries(series);
    chart->legend()->markers(line).front()->setVisible(false);

    // At least ten places wide, so a short record reads as the start of one.
    auto* x = new QValueAxis;
    x->setRange(0.5, std::max(matches, 10) + 0.5);
    x->setTickType(QValueAxis::TicksDynamic);
    x->setTickAnchor(0);
    x->setTickInterval(matches <= 10 ? 1 : matches <= 50 ? 5 : 10);
    x->setLabelFormat(QStringLiteral("%d"));
    x->setTitleText(QStringLiteral("対戦（左が古く、右が新しい）"));
    auto* y = new QCategoryAxis;
    y->setStartValue(0.5);
    for (int place = 1; place <= 4; ++place) y->append(QString::fromUtf8(kPlaceNames[place]), place + 0.5);
    y->setRange(0.5, 4.5);
    y->setReverse(true);
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(x), static_cast<QAbstractAxis*>(y)}) styleAxis(axis);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(x);
        series->attachAxis(y);
    }

    QStringList said;
    for (int place = 1; place <= 4; ++place) {
        said << QStringLiteral("%1 %2回").arg(QString::fromUtf8(kPlaceNames[place])).arg(counts[place]);
    }
    const QString description =
        matches == 0 ? QStringLiteral("まだ対戦の記録がありません")
                     : QStringLiteral("直近%1対戦のうち ").arg(matches) + said.join(QStringLiteral("、")) +
                           QStringLiteral("。最新の対戦は%1")
                               .arg(QString::fromUtf8(kPlaceNames[record.recent.back().place]));
    replaceChart(recentView_, chart, description);
}

void FrmSeiseki::drawPlacesChart(const PlayRecord& record) {
    QChart* chart = newChart(QStringLiteral("順位の回数（すべての対戦）"));
    auto* bars = new QStackedBarSeries;
    std::int64_t highest = 0;
    for (const ShownColumn& c : kColumns) {
        auto* set = new QBarSet(nameOf(c));
        set->setColor(c.colour);
        set->setBorderColor(c.colour.darker(130));
        for (int place = 1; place <= 4; ++place) set->append(static_cast<qreal>(record.at(c.column).places[place]));
        bars->append(set);
    }
    const StrengthFigures all = record.all();
    for (int place = 1; place <= 4; ++place) highest = std::max(highest, all.places[place]);
    chart->addSeries(bars);

    auto* x = new QBarCategoryAxis;
    QStringList said;
    for (int place = 1; place <= 4; ++place) {
        x->append(QString::fromUtf8(kPlaceNames[place]));
        said << QStringLiteral("%1 %2回").arg(QString::fromUtf8(kPlaceNames[place])).arg(all.places[place]);
    }
    auto* y = new QValueAxis;
    y->setRange(0, static_cast<qreal>(std::max<std::int64_t>(highest, 4)));
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%d"));
    y->setTitleText(QStringLiteral("回数"));
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(x), static_cast<QAbstractAxis*>(y)}) styleAxis(axis);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(x);
    bars->attachAxis(y);
    replaceChart(placesView_, chart, said.join(QStringLiteral("、")));
}

void FrmSeiseki::cmdReset_Click() {
    QPointer<FrmSeiseki> self(this);
    const bool ok = confirmOkCancel(this, kResetTitle, kResetQuestion);
    if (!self || closed_ || !ok) return;
    if (!resetRecordFile(file_)) {
        notify(this, QMessageBox::Warning, kResetFailedTitle, kResetFailedText);
        return;
    }
    setRecord(PlayRecord{});
    notify(this, QMessageBox::Information, kResetDoneTitle, kResetDoneText);
}

void FrmSeiseki::done(int result) {
    closed_ = true;
    QDialog::done(result);
}

void showPlayRecord(QWidget* parent, const std::filesystem::path& file) {
    QPointer<QWidget> owner(parent);
    const RecordLoad load = loadRecordFile(file);
    if (load.status == RecordFileStatus::Damaged) {
        notify(parent, QMessageBox::Warning, kRecordDamagedTitle, kRecordDamagedText);
        // The window it was asked from may have closed meanwhile.
        if (parent && (!owner || !parent->isVisible())) return;
    }
    QPointer<FrmSeiseki> window = new FrmSeiseki(load.record, file, parent);
    runModal(*window);
    delete window.data();
}

void openPlayRecord(QWidget* parent, const std::filesystem::path& file, std::function<void()> closed) {
    const RecordLoad load = loadRecordFile(file);
    auto open = [parent, record = load.record, file, closed = std::move(closed)] {
        openModal(new FrmSeiseki(record, file, parent), [closed](int) {
            if (closed) closed();
        });
    };
    if (load.status != RecordFileStatus::Damaged) {
        open();
        return;
    }
    // The record starts again: the player hears why first.
    openMessage(parent, QMessageBox::Warning, kRecordDamagedTitle, kRecordDamagedText, QMessageBox::Ok,
                [open](QMessageBox::StandardButton) { open(); });
}

}  // namespace vantel
