// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

#include "table/card_picture.h"
#include "table/form1.h"
#include "table/frm_splash.h"
#include "table/frmspl5.h"
#include "table/label_grid.h"

namespace vantel {

namespace {

// A picture a screen reader can press while it takes clicks; pressing it
// does what a click does.
template <typename Picture>
class PressableAccessible : public QAccessibleWidget {
public:
    PressableAccessible(Picture* picture, QAccessible::Role role) : QAccessibleWidget(picture, role) {}

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (picture()->isEnabled()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            picture()->activate();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

protected:
    Picture* picture() const { return static_cast<Picture*>(widget()); }
};

// A card picture: a button while it is a face (it takes clicks in the
// user's turn), a picture when it is a back. Its name is its card; whether
// it may be played shows as its enabled state and in its description, which
// otherwise says whether the card lies on the table or in the hand.
class CardAccessible : public PressableAccessible<CardPicture> {
public:
    explicit CardAccessible(CardPicture* card)
        : PressableAccessible(card, card->index() >= 1 && card->index() <= 53 ? QAccessible::Button
                                                                              : QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override {
        switch (t) {
            case QAccessible::Name: return cardSpokenName(card()->index());
            case QAccessible::Description: return where();
            default: return QAccessibleWidget::text(t);
        }
    }
private:
    CardPicture* card() const { return picture(); }
    // Playable, or where a face shows: on the table's grid or in the hand.
    QString where() const {
        if (card()->isEnabled()) return QStringLiteral("出せるカード");
        const auto* surface = qobject_cast<const TableSurface*>(card()->parentWidget());
        if (!surface || !card()->isVisible() || card()->index() < 1 || card()->index() > 53) return QString();
        return surface->gridRect().contains(card()->geometry().center()) ? QStringLiteral("場のカード")
                                                                           : QStringLiteral("手札");
    }
};

// A member picture of the selection: a button that stays pressed once
// chosen.
class MemberAccessible : public PressableAccessible<MemberPicture> {
public:
    explicit MemberAccessible(MemberPicture* member) : PressableAccessible(member, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return member()->toolTip();
        if (t == QAccessible::Description) return member()->selected() ? QStringLiteral("選択済み") : QString();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = member()->selected();
        return s;
    }
private:
    MemberPicture* member() const { return picture(); }
};

// The speech window: a notification; its name is the text it shows.
class SpeechAccessible : public QAccessibleWidget {
public:
    explicit SpeechAccessible(FrmSplash* speech) : QAccessibleWidget(speech, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<FrmSplash*>(widget())->spokenText();
        return QAccessibleWidget::text(t);
    }
};

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(LabelGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The cells are the children, row by row.
    int childCount() const override { return grid()->rows() * grid()->columns(); }
    QAccessibleInterface* child(int index) const override {
        const int columns = grid()->columns();
        return index < 0 || index >= childCount() ? nullptr : cellAt(index / columns, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        int row = 0, column = 0;
        const auto* label = child ? qobject_cast<const QLabel*>(child->object()) : nullptr;
        return label && grid()->find(label, &row, &column) ? row * grid()->columns() + column : -1;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        QLabel* label = grid()->cell(row, column);
        return label ? QAccessible::queryAccessibleInterface(label) : nullptr;
    }
    QString columnDescription(int column) const override { return textAt(0, column); }
    QString rowDescription(int row) const override {
        return grid()->hasRowHeaders() ? textAt(row, 0) : QString();
    }
    int columnCount() const override { return grid()->columns(); }
    int rowCount() const override { return grid()->rows(); }

    // Nothing in these tables is ever selected.
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    LabelGrid* grid() const { return static_cast<LabelGrid*>(widget()); }
    QString textAt(int row, int column) const {
        const QLabel* label = grid()->cell(row, column);
        return label ? label->text() : QString();
    }
};

class GridCellAccessible : public QAccessibleWidget, public QAccessibleTableCellInterface {
public:
    GridCellAccessible(QLabel* label, LabelGrid* grid, int row, int column)
        : QAccessibleWidget(label, roleOf(grid, row, column)), grid_(grid), row_(row), column_(column) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        if (row_ == 0) return {};
        return {QAccessible::queryAccessibleInterface(grid_->cell(0, column_))};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        if (!grid_->hasRowHeaders() || column_ == 0) return {};
        return {QAccessible::queryAccessibleInterface(grid_->cell(row_, 0))};
    }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return QAccessible::queryAccessibleInterface(grid_); }

private:
    static QAccessible::Role roleOf(const LabelGrid* grid, int row, int column) {
        if (row == 0) return QAccessible::ColumnHeader;
        if (column == 0 && grid->hasRowHeaders()) return QAccessible::RowHeader;
        return QAccessible::Cell;
    }
    LabelGrid* grid_;
    int row_;
    int column_;
};

QAccessibleInterface* gameAccessible(const QString&, QObject* object) {
    if (auto* card = qobject_cast<CardPicture*>(object)) return new CardAccessible(card);
    if (auto* member = qobject_cast<MemberPicture*>(object)) return new MemberAccessible(member);
    if (auto* speech = qobject_cast<FrmSplash*>(object)) return new SpeechAccessible(speech);
    if (auto* grid = qobject_cast<LabelGrid*>(object)) return new GridAccessible(grid);
    if (auto* label = qobject_cast<QLabel*>(object)) {
        int row = 0, column = 0;
        if (auto* grid = qobject_cast<LabelGrid*>(label->parentWidget()); grid && grid->find(label, &row, &column)) {
            return new GridCellAccessible(label, grid, row, column);
        }
    }
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(gameAccessible);
        return true;
    }();
    (void)installed;
}

}  // namespace vantel
