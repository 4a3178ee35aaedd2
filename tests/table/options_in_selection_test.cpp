// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings editor opened from the member selection's "オプション": adding,
// changing and deleting members shows at once in the selection's grid of
// pictures and in the settings file, and once the editor is closed the
// selection starts again from the file.
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "editor_test_helpers.h"
#include "platform/profile/profile.h"
#include "settings/frm_options.h"
#include "table_test_support.h"

using namespace vantel;
using namespace vantel::test;

class OptionsInSelectionTest : public QObject {
    Q_OBJECT
private slots:
    void addChangeAndDeleteReachTheGridAndTheFile();
    void theGridHoldsTwentyMembers();
};

namespace {

std::string stored(const std::filesystem::path& file, const std::string& section, const char* key) {
    return profile::readString(file, section, key, "", 256);
}

template <class T>
T* control(QDialog& editor, const char* name) {
    T* widget = editor.findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
}

// Chooses member `member` (1-based) in the editor's list as the user does:
// one Down key from the entry above.
void choose(QDialog& editor, int member) {
    auto* list = control<QComboBox>(editor, "Combo1");
    list->setFocus();
    list->setCurrentIndex(member - 2);
    QTest::keyClick(list, Qt::Key_Down);
}

// Presses "適用" and answers the confirmation and the completion with OK;
// then "終了".
void applyAndClose(QDialog& editor, std::vector<SeenBox>& boxes) {
    ModalScript script;
    script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
    control<QPushButton>(editor, "cmdOK")->click();
    QVERIFY(script.finished());
    QCOMPARE(script.unexpected, 0);
    boxes.insert(boxes.end(), script.boxes.begin(), script.boxes.end());
    control<QPushButton>(editor, "cmdCancel")->click();
}

QImage framePicture(const QPixmap& picture) { return picture.toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

void OptionsInSelectionTest::addChangeAndDeleteReachTheGridAndTheFile() {
    WindowHarness h;
    auto* selection = qobject_cast<Frmspl5*>(openMemberSelection());
    QVERIFY(selection);
    QCoreApplication::processEvents();
    QVERIFY(h.lastBox(QStringLiteral("プレイヤー選択")));
    QCOMPARE(selection->thumbnailCount(), 4);
    const std::filesystem::path file = h.settingsFile();
    const MatchState factory = sharedState();

    // A picture of the user's own, and one that is not there.
    QTemporaryDir pictures;
    const QString ownPicture = pictures.filePath(QStringLiteral("新人_1.png"));
    QImage red(120, 160, QImage::Format_RGB32);
    red.fill(QColor(200, 30, 40));
    QVERIFY(red.save(ownPicture));
    const QString missing = pictures.filePath(QStringLiteral("なし.jpg"));

    std::vector<SeenBox> boxes;
    std::function<void(QDialog&)> step;
    h.onDialog = [&](QDialog& dialog) {
        if (dialog.objectName() == QStringLiteral("frmOptions") && step) step(dialog);
    };
    auto* options = selection->cmd(3);
    QCOMPARE(options->text(), QStringLiteral("オプション"));

    // Add a fifth member.
    step = [&](QDialog& editor) {
        QVERIFY(control<QRadioButton>(editor, "Option1")->isChecked());
        for (int k = 0; k < 4; ++k) {
            Editor::type(control<QLineEdit>(editor, QStringLiteral("Text1_%1").arg(k).toLatin1().constData()),
                 k == 0 ? ownPicture : QString::fromStdString(factory.memberImage[1][k + 1]));
        }
        Editor::type(control<QLineEdit>(editor, "Text5"), QStringLiteral("新人"));
        control<QRadioButton>(editor, "Option5")->click();
        applyAndClose(editor, boxes);
    };
    options->click();
    QCOMPARE(h.dialogs.size(), size_t(1));
    QCOMPARE(boxes.size(), size_t(2));
    QCOMPARE(boxes[1].title, QStringLiteral("追加完了！"));
    QCOMPARE(selection->thumbnailCount(), 5);
    QCOMPARE(selection->imag(4)->toolTip(), QStringLiteral("新人"));
    QVERIFY(!selection->showsFallback(4));
    QCOMPARE(framePicture(selection->imag(4)->picture()).pixel(60, 80), QColor(200, 30, 40).rgb());
    QVERIFY(selection->imag(4)->isVisible());
    // Five to a row: the fifth closes the first row.
    QCOMPARE(selection->imag(4)->y(), selection->imag(0)->y());
    QCOMPARE(selection->imag(4)->x() - selection->imag(3)->x(), selection->imag(1)->x() - selection->imag(0)->x());
    QCOMPARE(stored(file, "Mentu", "Ninzu"), std::string("5"));
    QCOMPARE(stored(file, "Sanka5", "Name"), std::string("新人"));
    QCOMPARE(QString::fromStdString(stored(file, "Sanka5", "Gazo1")), ownPicture);
    QCOMPARE(stored(file, "Sanka5", "Sex"), std::string("2"));
    QCOMPARE(sharedState().selectionPhase, 0);

    // Change member 2: a new name and a first picture that cannot be loaded.
    step = [&](QDialog& editor) {
        control<QRadioButton>(editor, "Option3")->click();
        choose(editor, 2);
        Editor::type(control<QLineEdit>(editor, "Text5"), QStringLiteral("はるる"));
        Editor::type(control<QLineEdit>(editor, "Text1_0"), missing);
        applyAndClose(editor, boxes);
    };
    options->click();
    QCOMPARE(boxes.size(), size_t(4));
    QCOMPARE(boxes[3].title, QStringLiteral("変更完了！"));
    QCOMPARE(selection->thumbnailCount(), 5);
    QCOMPARE(selection->imag(1)->toolTip(), QStringLiteral("はるる"));
    QVERIFY(selection->showsFallback(1));
    QVERIFY(!selection->showsFallback(0));
    QCOMPARE(stored(file, "Sanka2", "Name"), std::string("はるる"));
    QCOMPARE(QString::fromStdString(stored(file, "Sanka2", "Gazo1")), missing);
    QCOMPARE(stored(file, "Sanka2", "Gazo2"), factory.memberImage[2][2]);

    // Delete member 2 of 5: members 3..5 move down, section 5 is blanked.
    step = [&](QDialog& editor) {
        control<QRadioButton>(editor, "Option2")->click();
        choose(editor, 2);
        applyAndClose(editor, boxes);
    };
    options->click();
    QCOMPARE(boxes.size(), size_t(6));
    QCOMPARE(boxes[5].title, QStringLiteral("削除完了！"));
    QCOMPARE(selection->thumbnailCount(), 4);
    QCOMPARE(selection->imag(1)->toolTip(), QString::fromStdString(factory.memberName[3]));
    QCOMPARE(selection->imag(3)->toolTip(), QStringLiteral("新人"));
    QVERIFY(!selection->showsFallback(1));
    QCOMPARE(framePicture(selection->imag(3)->picture()).pixel(60, 80), QColor(200, 30, 40).rgb());
    QCOMPARE(stored(file, "Mentu", "Ninzu"), std::string("4"));
    QCOMPARE(stored(file, "Sanka2", "Name"), factory.memberName[3]);
    QCOMPARE(stored(file, "Sanka4", "Name"), std::string("新人"));
    QCOMPARE(stored(file, "Sanka5", "Name"), std::string());
    QCOMPARE(stored(file, "Sanka5", "Gazo1"), std::string());

    // Back in the selection, the file is read again and the choosing starts over.
    h.boxes.clear();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(selection, &activate);
    QCoreApplication::processEvents();
    QVERIFY(h.lastBox(QStringLiteral("プレイヤー選択")));
    QCOMPARE(sharedState().memberCount, 4);
    QCOMPARE(QString::fromStdString(sharedState().memberName[4]), QStringLiteral("新人"));
    QTest::mouseClick(selection->imag(3), Qt::LeftButton);
    QCOMPARE(selection->selectionStage(), 2);
    QCOMPARE(QString::fromStdString(sharedState().seatName[1]), QStringLiteral("新人"));
    QCOMPARE(sharedState().seatSex[1], int16_t{2});
    QVERIFY(settingsFileReads(file, h.binDir()));
}

void OptionsInSelectionTest::theGridHoldsTwentyMembers() {
    WindowHarness h;
    auto* selection = qobject_cast<Frmspl5*>(openMemberSelection());
    QVERIFY(selection);
    QCoreApplication::processEvents();
    const MatchState factory = sharedState();
    std::vector<SeenBox> boxes;
    bool openedInDeleteMode = false;
    int member = 4;
    h.onDialog = [&](QDialog& editor) {
        if (editor.objectName() != QStringLiteral("frmOptions")) return;
        if (member == 20) {
            // At the limit the editor opens in delete mode, adding closed.
            openedInDeleteMode = control<QRadioButton>(editor, "Option2")->isChecked() &&
                                 !control<QRadioButton>(editor, "Option1")->isEnabled();
            control<QPushButton>(editor, "cmdCancel")->click();
            return;
        }
        ++member;
        for (int k = 0; k < 4; ++k) {
            Editor::type(control<QLineEdit>(editor, QStringLiteral("Text1_%1").arg(k).toLatin1().constData()),
                 QString::fromStdString(factory.memberImage[(member - 1) % 4 + 1][k + 1]));
        }
        Editor::type(control<QLineEdit>(editor, "Text5"), QStringLiteral("友%1").arg(member));
        applyAndClose(editor, boxes);
    };
    for (int i = 0; i < 17; ++i) selection->cmd(3)->click();
    QCOMPARE(member, 20);
    QVERIFY(openedInDeleteMode);
    QCOMPARE(selection->thumbnailCount(), 20);
    QCOMPARE(profile::readString(h.settingsFile(), "Mentu", "Ninzu", "", 16), std::string("20"));
    // Four rows of five, all inside the window and clear of the buttons.
    const QRect window = selection->rect();
    const int buttonsTop = selection->cmd(1)->y();
    for (int i = 0; i < 20; ++i) {
        const QRect r = selection->imag(i)->geometry();
        QVERIFY2(window.contains(r), qPrintable(QString::number(i)));
        QVERIFY(r.bottom() < buttonsTop);
        QVERIFY(!selection->showsFallback(i));
        if (i % 5 != 0) QVERIFY(r.left() > selection->imag(i - 1)->geometry().right());
        if (i >= 5) QVERIFY(r.top() > selection->imag(i - 5)->geometry().bottom());
    }
    QCOMPARE(selection->imag(19)->toolTip(), QStringLiteral("友20"));
}

QTEST_MAIN(OptionsInSelectionTest)
#include "options_in_selection_test.moc"
