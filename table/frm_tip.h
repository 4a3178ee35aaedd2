// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The rules window (ルール説明) and the about window (ﾊﾞｰｼﾞｮﾝ情報).
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace vantel {

// The rules text: 23 lines joined with CR LF, none after the last.
QString rulesText();

class FrmTip : public QDialog {
    Q_OBJECT
public:
    explicit FrmTip(QWidget* parent);
    QLabel* label1() const { return label1_; }

private:
    QLabel* label1_;
};

// The ownership and licence notice of the about window.
QString aboutNotice();

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* parent);
    QLabel* lblDescription() const { return lblDescription_; }

private:
    QLabel* lblDescription_;
};

}  // namespace vantel
