// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "table/settings_error.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class SettingsErrorTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheFixedMessageWithAnExclamationAndOk() {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        bool seen = false;
        // Answer the modal box from the event loop it runs.
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seen = true;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        });
        vantel::showSettingsError();
        QVERIFY(seen);
        QCOMPARE(title, QStringLiteral("初期値ファイルエラー"));
        QCOMPARE(text, QStringLiteral("初期値ファイルの処理でエラーが発生しました。\n"
                                      "ソフトウェアの解凍からやり直して下さい。"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

QTEST_MAIN(SettingsErrorTest)
#include "settings_error_test.moc"
