// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The member name box and the other text boxes keep what is typed storable:
// the name within 8 bytes of CP932 (four full-width characters, eight
// half-width ones, or a mix), lines and paths within their read buffers,
// and only characters CP932 can hold. The apply-time check of a changed
// name (at most 8 bytes) stays for a longer name the file already held.

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QtTest>

#include "editor_test_helpers.h"
#include "platform/profile/profile.h"
#include "records/text_helpers.h"
#include "settings/byte_limit.h"

using namespace vantel;
using namespace vantel::test;

namespace {

// A box with the name limit, as the editor builds it.
struct NameBox {
    NameBox() { new Cp932ByteLimit(8, &box); }
    QLineEdit box;
};

void commit(QLineEdit& box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(&box, &event);
}

}  // namespace

class NameBoxTest : public QObject {
    Q_OBJECT

private slots:
    void byteLengthOfTheCodePage() {
        QCOMPARE(cp932Bytes(QStringLiteral("あいうえ")), 8);
        QCOMPARE(cp932Bytes(QStringLiteral("ABCDEFGH")), 8);
        QCOMPARE(cp932Bytes(QStringLiteral("ｱｲｳ")), 3);  // half-width katakana: one byte each
        QVERIFY(cp932CanHold(QStringLiteral("名前①～")));
        QVERIFY(!cp932CanHold(QStringLiteral("é")));
        QVERIFY(fitsSettingsBuffer(QString(99, QLatin1Char('a')), 100));
        QVERIFY(!fitsSettingsBuffer(QString(100, QLatin1Char('a')), 100));
    }

    void typingStopsAtEightBytes_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("8 half-width") << QStringLiteral("ABCDEFGH") << QStringLiteral("ABCDEFGH");
        QTest::newRow("9 half-width") << QStringLiteral("ABCDEFGHI") << QStringLiteral("ABCDEFGH");
        QTest::newRow("4 full-width") << QStringLiteral("あいうえ") << QStringLiteral("あいうえ");
        QTest::newRow("5 full-width") << QStringLiteral("あいうえお") << QStringLiteral("あいうえ");
        QTest::newRow("mixed 8") << QStringLiteral("あいうAB") << QStringLiteral("あいうAB");
        QTest::newRow("mixed 9") << QStringLiteral("あいうABC") << QStringLiteral("あいうAB");
        // 7 bytes, and a full-width character would make 9.
        QTest::newRow("mixed odd") << QStringLiteral("Aあいうえ") << QStringLiteral("Aあいう");
        QTest::newRow("half-width kana") << QStringLiteral("ｱｲｳｴｵｶｷｸｹ") << QStringLiteral("ｱｲｳｴｵｶｷｸ");
    }

    void typingStopsAtEightBytes() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        NameBox name;
        Editor::typeText(&name.box, typed);
        QCOMPARE(name.box.text(), kept);
        QVERIFY(ansiByteLength(name.box.text().toStdString()) <= 8);
    }

    void pastingAndInputMethodTextAreCut() {
        NameBox name;
        name.box.insert(QStringLiteral("かきくけこさ"));
        QCOMPARE(name.box.text(), QStringLiteral("かきくけ"));
        name.box.clear();
        commit(name.box, QStringLiteral("たちつてと"));
        QCOMPARE(name.box.text(), QStringLiteral("たちつて"));
        // Inserted in the middle: the new text is cut, the old text stays.
        name.box.setText(QStringLiteral("AB"));
        name.box.setCursorPosition(1);
        name.box.insert(QStringLiteral("なにぬね"));
        QCOMPARE(name.box.text(), QStringLiteral("AなにぬB"));
        QCOMPARE(name.box.cursorPosition(), 4);
    }

    void charactersTheCodePageLacksAreDropped() {
        NameBox name;
        name.box.insert(QStringLiteral("A😀éB"));
        QCOMPARE(name.box.text(), QStringLiteral("AB"));
    }

    void aLongerStoredNameMayShrinkButNotGrow() {
        NameBox name;
        setBoxText(&name.box, QStringLiteral("ABCDEFGHI"));
        QCOMPARE(name.box.text(), QStringLiteral("ABCDEFGHI"));
        name.box.end(false);
        QTest::keyClick(&name.box, Qt::Key_J);
        QCOMPARE(name.box.text(), QStringLiteral("ABCDEFGHI"));
        // A character replaced: still 9 bytes, not more.
        name.box.setSelection(8, 1);
        Editor::typeText(&name.box, QStringLiteral("Zあ"));
        QCOMPARE(name.box.text(), QStringLiteral("ABCDEFGHZ"));
        QTest::keyClick(&name.box, Qt::Key_Backspace);
        QCOMPARE(name.box.text(), QStringLiteral("ABCDEFGH"));
        // Once within the limit, the limit holds again.
        Editor::typeText(&name.box, QStringLiteral("Y"));
        QCOMPARE(name.box.text(), QStringLiteral("ABCDEFGH"));
    }

    // The apply-time check of change mode, reached with a 9-byte name the
    // file already held (the box lets it be edited without growing).
    void changingToANineByteNameIsRefused() {
        Editor editor(6);
        profile::writeString(editor.settings.file(), "Sanka5", "Name", "あいうえA");
        readSettings(editor.state(), editor.settings.location());
        QCOMPARE(editor.state().memberName[5], std::string("あいうえA"));
        editor.open();
        const std::string before = editor.settings.bytes();

        editor.option(QStringLiteral("Option3"))->click();
        editor.choose(4);
        QLineEdit* name = editor.box(QStringLiteral("Text5"));
        QCOMPARE(name->text(), QStringLiteral("あいうえA"));
        name->setFocus();
        name->setSelection(4, 1);
        Editor::typeText(name, QStringLiteral("B"));
        QCOMPARE(name->text(), QStringLiteral("あいうえB"));
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());

        ModalScript script;
        script.answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.size(), std::size_t{1});
        QCOMPARE(script.boxes[0].title, QStringLiteral("入力エラー"));
        QCOMPARE(script.boxes[0].text, QStringLiteral("名前は全角４文字以内で入力して下さい！"));
        QCOMPARE(script.boxes[0].icon, QMessageBox::Warning);
        QVERIFY(waitFor([&] { return editor.window->focusWidget() == name; }));
        QCOMPARE(editor.settings.bytes(), before);
        QCOMPARE(editor.state().memberName[5], std::string("あいうえA"));
    }

    void eightByteNamesAreAccepted_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("4 full-width") << QStringLiteral("かきくけ") << QStringLiteral("かきくけ");
        QTest::newRow("8 half-width") << QStringLiteral("Tarou123") << QStringLiteral("Tarou123");
        QTest::newRow("9 half-width typed") << QStringLiteral("Tarou1234") << QStringLiteral("Tarou123");
        QTest::newRow("5 full-width typed") << QStringLiteral("かきくけこ") << QStringLiteral("かきくけ");
        QTest::newRow("mixed") << QStringLiteral("Aかきく") << QStringLiteral("Aかきく");
    }

    void eightByteNamesAreAccepted() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Editor editor(4);
        editor.option(QStringLiteral("Option3"))->click();
        editor.choose(0);
        Editor::type(editor.box(QStringLiteral("Text5")), typed);
        QCOMPARE(editor.box(QStringLiteral("Text5"))->text(), stored);
        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.at(0).title, QStringLiteral("画像の変更"));
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(u(editor.settings.value("Sanka1", "Name")), stored);
        // Read back whole through the 10-byte buffer.
        QCOMPARE(u(editor.settings.reread().memberName[1]), stored);
    }

    void linesAndPathsStopAtTheirBuffers() {
        Editor editor(4);
        QLineEdit* line = editor.box(QStringLiteral("Text11_0"));
        Editor::type(line, QString(60, QChar(0x3042)));  // 60 full-width: 120 bytes
        QCOMPARE(line->text(), QString(49, QChar(0x3042)));
        QLineEdit* path = editor.box(QStringLiteral("Text20_0"));
        path->clear();
        path->insert(QString(120, QLatin1Char('p')));
        QCOMPARE(path->text().size(), 99);
        QLineEdit* picture = editor.box(QStringLiteral("Text1_0"));
        picture->insert(QString(120, QLatin1Char('q')));
        QCOMPARE(picture->text().size(), 99);
    }
};

QTEST_MAIN(NameBoxTest)
#include "name_box_test.moc"
