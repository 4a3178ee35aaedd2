// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings editor through its real widgets: modes and their limits,
// adding, changing and deleting members (in the settings file and in the
// thumbnails), the lines and sounds tabs, closing without applying, the
// tab it reopens on, a settings file that cannot be written, and a parent
// that goes away while the editor waits.

#include <QApplication>
#include <QMessageBox>
#include <QtTest>

#include "editor_test_helpers.h"
#include "settings/file_choosers.h"

using namespace vantel;
using namespace vantel::test;

namespace {

const QString kAddPrompt = QStringLiteral("追加する画像を指定してください。");
const QString kDeletePrompt = QStringLiteral("削除する画像№を選択してください。");
const QString kChangePrompt = QStringLiteral("変更する画像№と画像を指定してください。");

void compareBox(const SeenBox& seen, const QString& title, const QString& text, QMessageBox::Icon icon,
                QMessageBox::StandardButtons buttons) {
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.icon, icon);
    QCOMPARE(seen.buttons, buttons);
}

const auto kOkCancel = QMessageBox::StandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
const auto kOk = QMessageBox::StandardButtons(QMessageBox::Ok);

// Fills the add-mode boxes of the "画像" tab.
void fillNewMember(Editor& editor, const QString& name, const QStringList& pictures) {
    for (int k = 0; k < 4; ++k) Editor::type(editor.box(QStringLiteral("Text1_%1").arg(k)), pictures.value(k));
    Editor::type(editor.box(QStringLiteral("Text5")), name);
}

bool sameMembers(const MatchState& a, const MatchState& b) {
    return a.memberCount == b.memberCount && a.memberName == b.memberName && a.memberImage == b.memberImage &&
           a.memberSex == b.memberSex && a.femaleLines == b.femaleLines && a.maleLines == b.maleLines &&
           a.soundFiles == b.soundFiles && a.selectionPhase == b.selectionPhase;
}

}  // namespace

class OptionsEditorTest : public QObject {
    Q_OBJECT

private slots:
    void opensInAddModeWithFourMembers() {
        Editor editor(4);
        QCOMPARE(editor.window->windowTitle(), QStringLiteral("ｵﾌﾟｼｮﾝの設定"));
        QCOMPARE(editor.tabs()->count(), 4);
        QCOMPARE(editor.tabs()->tabText(0), QStringLiteral("画像"));
        QCOMPARE(editor.tabs()->tabText(1), QStringLiteral("セリフ女性"));
        QCOMPARE(editor.tabs()->tabText(2), QStringLiteral("セリフ男性"));
        QCOMPARE(editor.tabs()->tabText(3), QStringLiteral("サウンド"));
        QCOMPARE(editor.tabs()->currentIndex(), 0);
        QCOMPARE(editor.button(QStringLiteral("cmdOK"))->text(), QStringLiteral("適用"));
        QCOMPARE(editor.button(QStringLiteral("cmdCancel"))->text(), QStringLiteral("終了"));

        QVERIFY(editor.option(QStringLiteral("Option1"))->isChecked());
        QVERIFY(editor.option(QStringLiteral("Option1"))->isEnabled());
        QVERIFY(!editor.option(QStringLiteral("Option2"))->isEnabled());
        QVERIFY(editor.option(QStringLiteral("Option3"))->isEnabled());
        QCOMPARE(editor.prompt(), kAddPrompt);
        QVERIFY(!editor.frame(QStringLiteral("Frame2"))->isEnabled());
        QVERIFY(editor.frame(QStringLiteral("Frame3"))->isEnabled());
        QVERIFY(editor.frame(QStringLiteral("fraSample1"))->isEnabled());
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());

        QCOMPARE(editor.combo()->count(), 4);
        QCOMPARE(editor.combo()->itemText(0), QStringLiteral("1 : あやや"));
        QCOMPARE(editor.combo()->itemText(3), QStringLiteral("4 : みさこ"));
        QCOMPARE(editor.combo()->currentIndex(), -1);
        for (int k = 0; k < 9; ++k) {
            QCOMPARE(editor.box(QStringLiteral("Text11_%1").arg(k))->text(), u(editor.state().femaleLines[k + 1]));
            QCOMPARE(editor.box(QStringLiteral("Text12_%1").arg(k))->text(), u(editor.state().maleLines[k + 1]));
        }
        for (int k = 0; k < 7; ++k) {
            QCOMPARE(editor.box(QStringLiteral("Text20_%1").arg(k))->text(), u(editor.state().soundFiles[k + 1]));
        }
        // Loading the boxes is not a change.
        for (int tab = 0; tab < 4; ++tab) QVERIFY(!editor.window->tabChanged(tab));
    }

    void betweenTheLimitsBothModesAreOpen() {
        Editor editor(10);
        QVERIFY(editor.option(QStringLiteral("Option1"))->isChecked());
        QVERIFY(editor.option(QStringLiteral("Option1"))->isEnabled());
        QVERIFY(editor.option(QStringLiteral("Option2"))->isEnabled());
        QCOMPARE(editor.combo()->count(), 10);
        QCOMPARE(editor.combo()->itemText(9), QStringLiteral("10 : M10"));
    }

    void opensInDeleteModeWithTwentyMembers() {
        Editor editor(20);
        QVERIFY(!editor.option(QStringLiteral("Option1"))->isEnabled());
        QVERIFY(editor.option(QStringLiteral("Option2"))->isChecked());
        QVERIFY(editor.option(QStringLiteral("Option2"))->isEnabled());
        QCOMPARE(editor.prompt(), kDeletePrompt);
        QVERIFY(editor.frame(QStringLiteral("Frame2"))->isEnabled());
        QVERIFY(!editor.frame(QStringLiteral("Frame3"))->isEnabled());
        QVERIFY(!editor.frame(QStringLiteral("Frame4"))->isEnabled());
        QVERIFY(!editor.frame(QStringLiteral("fraSample1"))->isEnabled());
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QCOMPARE(editor.combo()->count(), 20);
    }

    void modeSwitchesSetThePromptAndFrames() {
        Editor editor(10);
        ModalScript script;
        editor.option(QStringLiteral("Option3"))->click();
        QCOMPARE(editor.prompt(), kChangePrompt);
        QVERIFY(editor.frame(QStringLiteral("Frame2"))->isEnabled());
        // No member chosen yet: nothing to change.
        QVERIFY(!editor.frame(QStringLiteral("fraSample1"))->isEnabled());
        QVERIFY(!editor.frame(QStringLiteral("Frame3"))->isEnabled());
        QVERIFY(!editor.frame(QStringLiteral("Frame4"))->isEnabled());

        editor.choose(2);
        QCOMPARE(editor.globals.selectedMember, 3);
        QVERIFY(editor.frame(QStringLiteral("fraSample1"))->isEnabled());
        QVERIFY(editor.frame(QStringLiteral("Frame4"))->isEnabled());
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(editor.box(QStringLiteral("Text1_%1").arg(k))->text(), u(SettingsFolder::pictureOf(3, k + 1)));
        }
        QCOMPARE(editor.box(QStringLiteral("Text5"))->text(), QStringLiteral("はるか"));
        QVERIFY(editor.option(QStringLiteral("Option5"))->isChecked());  // member 3 has the male lines
        // Choosing a member in change mode is not a change.
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QVERIFY(!editor.window->tabChanged(0));

        editor.option(QStringLiteral("Option2"))->click();
        QCOMPARE(editor.prompt(), kDeletePrompt);
        QVERIFY(!editor.frame(QStringLiteral("fraSample1"))->isEnabled());
        QVERIFY(!editor.frame(QStringLiteral("Frame3"))->isEnabled());
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
        editor.choose(4);
        // In delete mode the choice is the change.
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QVERIFY(editor.window->tabChanged(0));
        QVERIFY(editor.option(QStringLiteral("Option4"))->isChecked());

        editor.option(QStringLiteral("Option1"))->click();
        QCOMPARE(editor.prompt(), kAddPrompt);
        QVERIFY(!editor.frame(QStringLiteral("Frame2"))->isEnabled());
        QVERIFY(editor.frame(QStringLiteral("fraSample1"))->isEnabled());
        QCOMPARE(script.unexpected, 0);
    }

    void aBoxSelectsItsWholeTextWhenFocused() {
        Editor editor(4);
        for (const QString& name : {QStringLiteral("Text11_4"), QStringLiteral("Text20_2")}) {
            QLineEdit* box = editor.box(name);
            editor.tabs()->setCurrentIndex(name.startsWith(QStringLiteral("Text11")) ? 1 : 3);
            box->deselect();
            QVERIFY(!box->text().isEmpty());
            box->setFocus(Qt::TabFocusReason);
            QVERIFY(waitFor([&] { return box->selectedText() == box->text(); }));
        }
    }

    void addWithAnEmptyThirdPictureIsRefused() {
        Editor editor(4);
        const std::string before = editor.settings.bytes();
        const MatchState stateBefore = editor.state();
        fillNewMember(editor, QStringLiteral("新人"), {QStringLiteral("/p/a.jpg"), QStringLiteral("/p/b.jpg"), QString(),
                                                     QStringLiteral("/p/d.jpg")});
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
        ModalScript script;
        script.answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.size(), std::size_t{1});
        compareBox(script.boxes[0], QStringLiteral("入力エラー"), QStringLiteral("画像ファイルを指定して下さい！"),
                   QMessageBox::Warning, kOk);
        QVERIFY(waitFor([&] { return editor.window->focusWidget() == editor.box(QStringLiteral("Text1_2")); }));
        QCOMPARE(editor.settings.bytes(), before);
        QVERIFY(sameMembers(editor.state(), stateBefore));
        QVERIFY(editor.thumbnails.calls.empty());
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QVERIFY(editor.window->tabChanged(0));
    }

    void addWithoutANameIsRefused() {
        Editor editor(4);
        const std::string before = editor.settings.bytes();
        fillNewMember(editor, QString(), {QStringLiteral("/p/a.jpg"), QStringLiteral("/p/b.jpg"),
                                          QStringLiteral("/p/c.jpg"), QStringLiteral("/p/d.jpg")});
        ModalScript script;
        script.answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QCOMPARE(script.boxes.size(), std::size_t{1});
        compareBox(script.boxes[0], QStringLiteral("入力エラー"), QStringLiteral("プレイヤーの名前を入力して下さい！"),
                   QMessageBox::Warning, kOk);
        QVERIFY(waitFor([&] { return editor.window->focusWidget() == editor.box(QStringLiteral("Text5")); }));
        QCOMPARE(editor.settings.bytes(), before);
    }

    void addsAMember() {
        Editor editor(4);
        editor.state().selectionPhase = 3;
        const QStringList pictures = {QStringLiteral("/nowhere/新人_1.jpg"), QStringLiteral("/nowhere/2.jpg"),
                                      QStringLiteral("/nowhere/3.jpg"), QStringLiteral("/nowhere/4.jpg")};
        fillNewMember(editor, QStringLiteral("新人"), pictures);
        editor.option(QStringLiteral("Option5"))->click();
        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(script.boxes.size(), std::size_t{2});
        compareBox(script.boxes[0], QStringLiteral("画像の追加"), QStringLiteral("画像情報を追加します。よろしいですか？"),
                   QMessageBox::Warning, kOkCancel);
        compareBox(script.boxes[1], QStringLiteral("追加完了！"), QStringLiteral("画像情報を追加しました。"),
                   QMessageBox::Information, kOk);

        // The file: the count and the new member's section.
        QCOMPARE(editor.settings.value("Mentu", "Ninzu"), std::string("5"));
        QCOMPARE(editor.settings.value("Sanka5", "Name"), std::string("新人"));
        for (int k = 1; k <= 4; ++k) {
            QCOMPARE(u(editor.settings.value("Sanka5", "Gazo" + std::to_string(k))), pictures[k - 1]);
        }
        QCOMPARE(editor.settings.value("Sanka5", "Sex"), std::string("2"));
        const MatchState reread = editor.settings.reread();
        QCOMPARE(reread.memberCount, 5);
        QCOMPARE(reread.memberName[5], std::string("新人"));
        QCOMPARE(reread.memberSex[5], int16_t{2});
        QCOMPARE(reread.memberName[4], std::string("みさこ"));

        // Memory, the member selection and the grid. The picture does not
        // exist: the grid shows its fallback, and the step went on.
        QCOMPARE(editor.state().memberCount, 5);
        QCOMPARE(editor.state().memberName[5], std::string("新人"));
        QCOMPARE(editor.state().memberImage[5][1], pictures[0].toStdString());
        QCOMPARE(editor.state().memberSex[5], int16_t{2});
        QCOMPARE(editor.state().selectionPhase, 0);
        QCOMPARE(editor.thumbnails.calls.size(), std::size_t{1});
        QCOMPARE(editor.thumbnails.calls[0], (ThumbnailCall{"add", 4, pictures[0].toStdString()}));

        QCOMPARE(editor.combo()->count(), 5);
        QCOMPARE(editor.combo()->itemText(4), QStringLiteral("5 : 新人"));
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QVERIFY(!editor.window->tabChanged(0));
        // Five members: delete mode is open now.
        QVERIFY(editor.option(QStringLiteral("Option2"))->isEnabled());
        QVERIFY(editor.option(QStringLiteral("Option1"))->isChecked());
    }

    void addingTheTwentiethMemberClosesAddMode() {
        Editor editor(19);
        fillNewMember(editor, QStringLiteral("最後"), {QStringLiteral("/p/a.jpg"), QStringLiteral("/p/b.jpg"),
                                                     QStringLiteral("/p/c.jpg"), QStringLiteral("/p/d.jpg")});
        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(editor.settings.value("Mentu", "Ninzu"), std::string("20"));
        QCOMPARE(editor.settings.value("Sanka20", "Name"), std::string("最後"));
        QCOMPARE(editor.state().memberCount, 20);
        QVERIFY(!editor.option(QStringLiteral("Option1"))->isEnabled());
        QVERIFY(editor.option(QStringLiteral("Option2"))->isChecked());
        QCOMPARE(editor.prompt(), kDeletePrompt);
        QVERIFY(!editor.frame(QStringLiteral("Frame3"))->isEnabled());
        QCOMPARE(editor.thumbnails.pictures.size(), std::size_t{20});
    }

    void aDeclinedAddWritesNothing() {
        Editor editor(4);
        const std::string before = editor.settings.bytes();
        fillNewMember(editor, QStringLiteral("新人"), {QStringLiteral("/p/a.jpg"), QStringLiteral("/p/b.jpg"),
                                                     QStringLiteral("/p/c.jpg"), QStringLiteral("/p/d.jpg")});
        ModalScript script;
        script.answer(QMessageBox::Cancel);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.size(), std::size_t{1});
        QCOMPARE(editor.settings.bytes(), before);
        QCOMPARE(editor.state().memberCount, 4);
        QVERIFY(editor.thumbnails.calls.empty());
        // The tab keeps its change; the button waits for the next edit.
        QVERIFY(editor.window->tabChanged(0));
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
    }

    void changesAMember() {
        Editor editor(6);
        editor.option(QStringLiteral("Option3"))->click();
        editor.choose(2);
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
        Editor::type(editor.box(QStringLiteral("Text5")), QStringLiteral("はるる"));
        Editor::type(editor.box(QStringLiteral("Text1_0")), QStringLiteral("/new/face.jpg"));
        editor.option(QStringLiteral("Option4"))->click();
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
        const std::string picture2Before = editor.settings.value("Sanka3", "Gazo2");

        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.size(), std::size_t{2});
        compareBox(script.boxes[0], QStringLiteral("画像の変更"), QStringLiteral("画像情報を変更します。よろしいですか？"),
                   QMessageBox::Warning, kOkCancel);
        compareBox(script.boxes[1], QStringLiteral("変更完了！"), QStringLiteral("画像情報を変更しました。"),
                   QMessageBox::Information, kOk);

        QCOMPARE(editor.settings.value("Sanka3", "Name"), std::string("はるる"));
        QCOMPARE(editor.settings.value("Sanka3", "Gazo1"), std::string("/new/face.jpg"));
        QCOMPARE(editor.settings.value("Sanka3", "Gazo2"), picture2Before);
        QCOMPARE(editor.settings.value("Sanka3", "Sex"), std::string("1"));
        QCOMPARE(editor.settings.value("Mentu", "Ninzu"), std::string("6"));
        QCOMPARE(editor.settings.value("Sanka2", "Name"), std::string("ゆうこ"));
        QCOMPARE(editor.state().memberName[3], std::string("はるる"));
        QCOMPARE(editor.state().memberSex[3], int16_t{1});
        QCOMPARE(editor.state().selectionPhase, 0);
        QCOMPARE(editor.thumbnails.calls.size(), std::size_t{1});
        QCOMPARE(editor.thumbnails.calls[0], (ThumbnailCall{"set", 2, "/new/face.jpg"}));
        QCOMPARE(editor.combo()->itemText(2), QStringLiteral("3 : はるる"));
        QCOMPARE(editor.combo()->currentIndex(), 2);
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QVERIFY(!editor.window->tabChanged(0));
    }

    void deletesMemberTwoOfSix() {
        Editor editor(6);
        const MatchState before = editor.state();
        editor.option(QStringLiteral("Option2"))->click();
        editor.choose(1);
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.size(), std::size_t{2});
        compareBox(script.boxes[0], QStringLiteral("画像の削除"), QStringLiteral("画像情報を削除します。よろしいですか？"),
                   QMessageBox::Warning, kOkCancel);
        compareBox(script.boxes[1], QStringLiteral("削除完了！"), QStringLiteral("画像情報を削除しました。"),
                   QMessageBox::Information, kOk);

        QCOMPARE(editor.settings.value("Mentu", "Ninzu"), std::string("5"));
        QCOMPARE(editor.settings.value("Sanka1", "Name"), before.memberName[1]);
        for (int member = 3; member <= 6; ++member) {
            const std::string section = "Sanka" + std::to_string(member - 1);
            QCOMPARE(editor.settings.value(section, "Name"), before.memberName[member]);
            for (int k = 1; k <= 4; ++k) {
                QCOMPARE(editor.settings.value(section, "Gazo" + std::to_string(k)), before.memberImage[member][k]);
            }
            QCOMPARE(editor.settings.value(section, "Sex"), std::to_string(before.memberSex[member]));
        }
        for (const char* key : {"Name", "Gazo1", "Gazo2", "Gazo3", "Gazo4", "Sex"}) {
            QVERIFY(editor.settings.hasKey("Sanka6", key));
            QCOMPARE(editor.settings.value("Sanka6", key), std::string());
        }
        const MatchState reread = editor.settings.reread();
        QCOMPARE(reread.memberCount, 5);
        QCOMPARE(reread.memberName[2], before.memberName[3]);
        QCOMPARE(reread.memberName[5], before.memberName[6]);
        QCOMPARE(reread.memberSex[2], before.memberSex[3]);

        QCOMPARE(editor.state().memberCount, 5);
        QCOMPARE(editor.state().memberName[2], before.memberName[3]);
        QCOMPARE(editor.state().memberImage[5], before.memberImage[6]);
        QCOMPARE(editor.state().selectionPhase, 0);
        const std::vector<ThumbnailCall> expected = {
            {"set", 1, before.memberImage[3][1]}, {"set", 2, before.memberImage[4][1]},
            {"set", 3, before.memberImage[5][1]}, {"set", 4, before.memberImage[6][1]},
            {"remove", 5, {}}};
        QVERIFY(editor.thumbnails.calls == expected);
        QCOMPARE(editor.thumbnails.pictures.size(), std::size_t{5});

        // Five members left, the last one selected.
        QCOMPARE(editor.combo()->count(), 5);
        QCOMPARE(editor.combo()->currentIndex(), 4);
        QCOMPARE(editor.combo()->currentText(), u("5 : " + before.memberName[6]));
        QCOMPARE(editor.globals.selectedMember, 5);
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
    }

    void deletingDownToFourClosesDeleteMode() {
        Editor editor(5);
        editor.option(QStringLiteral("Option2"))->click();
        editor.choose(4);
        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(editor.settings.value("Mentu", "Ninzu"), std::string("4"));
        QCOMPARE(editor.state().memberCount, 4);
        QVERIFY(!editor.option(QStringLiteral("Option2"))->isEnabled());
        // Deleting cannot go on with four members: the editor is back in add mode.
        QVERIFY(editor.option(QStringLiteral("Option1"))->isChecked());
        QCOMPARE(editor.prompt(), kAddPrompt);
        QVERIFY(editor.option(QStringLiteral("Option1"))->isEnabled());
        QCOMPARE(editor.thumbnails.pictures.size(), std::size_t{4});
        QCOMPARE(script.unexpected, 0);
    }

    void changeOrDeleteWithoutAChosenMemberIsRefused() {
        Editor editor(6);
        const std::string before = editor.settings.bytes();
        // A name typed in add mode, then change mode without a choice.
        Editor::type(editor.box(QStringLiteral("Text5")), QStringLiteral("だれか"));
        editor.option(QStringLiteral("Option3"))->click();
        ModalScript script;
        script.answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        compareBox(script.boxes.at(0), QStringLiteral("入力エラー"), QStringLiteral("変更する画像№を選択して下さい！"),
                   QMessageBox::Warning, kOk);

        editor.option(QStringLiteral("Option2"))->click();
        Editor::type(editor.box(QStringLiteral("Text11_0")), QStringLiteral("別のセリフ"));
        script.answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        // The lines are checked too, but nothing is written after a failure.
        QCOMPARE(script.boxes.size(), std::size_t{2});
        compareBox(script.boxes.at(1), QStringLiteral("入力エラー"), QStringLiteral("削除する画像№を選択して下さい！"),
                   QMessageBox::Warning, kOk);
        QCOMPARE(editor.settings.bytes(), before);
        QCOMPARE(editor.state().memberCount, 6);
        QVERIFY(editor.thumbnails.calls.empty());
        QCOMPARE(script.unexpected, 0);
    }

    void aFailedCheckStopsLaterTabsWritingButTheyAreChecked() {
        Editor editor(4);
        const std::string before = editor.settings.bytes();
        fillNewMember(editor, QStringLiteral("新人"), {QStringLiteral("/p/a.jpg"), QString(), QStringLiteral("/p/c.jpg"),
                                                     QStringLiteral("/p/d.jpg")});
        Editor::type(editor.box(QStringLiteral("Text12_3")), QString());
        Editor::type(editor.box(QStringLiteral("Text20_0")), QStringLiteral("/music/new.mid"));
        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(script.boxes.size(), std::size_t{2});
        QCOMPARE(script.boxes[0].text, QStringLiteral("画像ファイルを指定して下さい！"));
        QCOMPARE(script.boxes[1].text, QStringLiteral("コンピュータのセリフを全て入力して下さい！"));
        QCOMPARE(script.boxes[1].title, QStringLiteral("入力エラー"));
        // The sounds were checked last, so their tab is in front.
        QCOMPARE(editor.tabs()->currentIndex(), 3);
        QCOMPARE(editor.settings.bytes(), before);
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
    }

    void linesAndSoundsAreConfirmedInOrder() {
        Editor editor(4);
        const std::string oldLine = editor.settings.value("Serifu", "Kotoba1");
        Editor::type(editor.box(QStringLiteral("Text11_0")), QStringLiteral("勝ちました！"));
        Editor::type(editor.box(QStringLiteral("Text20_0")), QStringLiteral("/music/新しい曲.mid"));
        editor.tabs()->setCurrentIndex(0);

        // The lines are declined, the sounds accepted.
        ModalScript script;
        script.answer(QMessageBox::Cancel).answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(script.boxes.size(), std::size_t{3});
        compareBox(script.boxes[0], QStringLiteral("セリフの更新"), QStringLiteral("セリフ情報を更新します。よろしいですか？"),
                   QMessageBox::Warning, kOkCancel);
        compareBox(script.boxes[1], QStringLiteral("サウンドの更新"),
                   QStringLiteral("サウンド情報を更新します。よろしいですか？"), QMessageBox::Warning, kOkCancel);
        compareBox(script.boxes[2], QStringLiteral("変更完了！"), QStringLiteral("サウンド情報を変更しました。"),
                   QMessageBox::Information, kOk);
        QCOMPARE(editor.settings.value("Serifu", "Kotoba1"), oldLine);
        QCOMPARE(editor.state().femaleLines[1], oldLine);
        QCOMPARE(editor.settings.value("Saundo", "Oto1"), std::string("/music/新しい曲.mid"));
        QCOMPARE(editor.state().soundFiles[1], std::string("/music/新しい曲.mid"));
        QVERIFY(editor.window->tabChanged(1));
        QVERIFY(!editor.window->tabChanged(3));
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QCOMPARE(editor.tabs()->currentIndex(), 3);

        // Both accepted: each confirmation is followed by its completion.
        Editor::type(editor.box(QStringLiteral("Text12_8")), QStringLiteral("また来いよ！"));
        Editor::type(editor.box(QStringLiteral("Text11_0")), QStringLiteral("勝ったよ！"));
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok).answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.size(), std::size_t{7});
        QCOMPARE(script.boxes[3].title, QStringLiteral("セリフの更新"));
        compareBox(script.boxes[4], QStringLiteral("変更完了！"), QStringLiteral("セリフ情報を変更しました。"),
                   QMessageBox::Information, kOk);
        QCOMPARE(script.boxes[5].title, QStringLiteral("セリフの更新"));
        QCOMPARE(script.boxes[6].text, QStringLiteral("セリフ情報を変更しました。"));
        QCOMPARE(editor.settings.value("Serifu", "Kotoba1"), std::string("勝ったよ！"));
        QCOMPARE(editor.settings.value("Serifu", "Kotoba29"), std::string("また来いよ！"));
        QCOMPARE(editor.state().maleLines[9], std::string("また来いよ！"));
        QCOMPARE(editor.settings.reread().femaleLines[1], std::string("勝ったよ！"));
        QVERIFY(!editor.window->tabChanged(1));
        QVERIFY(!editor.window->tabChanged(2));

        // A declined sound change writes nothing and stays pending.
        const std::string before = editor.settings.bytes();
        Editor::type(editor.box(QStringLiteral("Text20_6")), QStringLiteral("/voice/負け.wav"));
        script.answer(QMessageBox::Cancel);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.size(), std::size_t{8});
        QCOMPARE(script.boxes[7].title, QStringLiteral("サウンドの更新"));
        QCOMPARE(editor.settings.bytes(), before);
        QCOMPARE(editor.state().soundFiles[7], editor.settings.reread().soundFiles[7]);
        QVERIFY(editor.window->tabChanged(3));
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QCOMPARE(script.unexpected, 0);
    }

    void anEmptySoundIsRefused() {
        Editor editor(4);
        const std::string before = editor.settings.bytes();
        Editor::type(editor.box(QStringLiteral("Text20_5")), QString());
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
        ModalScript script;
        script.answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        compareBox(script.boxes.at(0), QStringLiteral("入力エラー"), QStringLiteral("サウンド情報を全て入力して下さい！"),
                   QMessageBox::Warning, kOk);
        QVERIFY(waitFor([&] { return editor.window->focusWidget() == editor.box(QStringLiteral("Text20_5")); }));
        QCOMPARE(editor.settings.bytes(), before);
    }

    void closingWithoutApplyingWritesNothing() {
        Editor editor(6);
        const std::string before = editor.settings.bytes();
        const MatchState stateBefore = editor.state();
        fillNewMember(editor, QStringLiteral("新人"), {QStringLiteral("/p/a.jpg"), QStringLiteral("/p/b.jpg"),
                                                     QStringLiteral("/p/c.jpg"), QStringLiteral("/p/d.jpg")});
        Editor::type(editor.box(QStringLiteral("Text11_2")), QStringLiteral("ちがうセリフ"));
        Editor::type(editor.box(QStringLiteral("Text12_2")), QStringLiteral("ちがうセリフ"));
        Editor::type(editor.box(QStringLiteral("Text20_2")), QStringLiteral("/x.mid"));
        editor.option(QStringLiteral("Option3"))->click();
        editor.choose(1);
        Editor::type(editor.box(QStringLiteral("Text5")), QStringLiteral("かえた"));
        editor.tabs()->setCurrentIndex(2);
        ModalScript script;
        editor.button(QStringLiteral("cmdCancel"))->click();
        QVERIFY(!editor.window->isVisible());
        QCOMPARE(editor.window->result(), int(QDialog::Rejected));
        QCOMPARE(script.boxes.size(), std::size_t{0});
        QCOMPARE(editor.settings.bytes(), before);
        QVERIFY(sameMembers(editor.state(), stateBefore));
        QVERIFY(editor.thumbnails.calls.empty());
        QCOMPARE(editor.globals.lastOptionsTab, 2);

        // The next opening shows the stored values again.
        editor.open();
        QCOMPARE(editor.box(QStringLiteral("Text11_2"))->text(), u(stateBefore.femaleLines[3]));
        QCOMPARE(editor.box(QStringLiteral("Text20_2"))->text(), u(stateBefore.soundFiles[3]));
        QVERIFY(!editor.button(QStringLiteral("cmdOK"))->isEnabled());
    }

    void reopensOnTheLastTab() {
        Editor editor(4);
        editor.tabs()->setCurrentIndex(3);
        editor.button(QStringLiteral("cmdCancel"))->click();
        QCOMPARE(editor.globals.lastOptionsTab, 3);
        editor.open();
        QCOMPARE(editor.tabs()->currentIndex(), 3);

        // "適用" records the tab shown when it is pressed.
        editor.tabs()->setCurrentIndex(1);
        Editor::type(editor.box(QStringLiteral("Text20_1")), QStringLiteral("/win.mid"));
        editor.tabs()->setCurrentIndex(1);
        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(editor.globals.lastOptionsTab, 1);
        editor.window->close();
        editor.open();
        QCOMPARE(editor.tabs()->currentIndex(), 1);
    }

    void aSettingsFileThatCannotBeWrittenIsReported() {
        Editor editor(4);
        // The file's folder is a plain file: nothing can be written there.
        const std::filesystem::path blocker = editor.settings.folder() / "blocker";
        { QFile file(QString::fromStdString(blocker.string())); QVERIFY(file.open(QIODevice::WriteOnly)); }
        editor.state().iniPath = (blocker / "Vantel.ini").string();
        const MatchState stateBefore = editor.state();
        fillNewMember(editor, QStringLiteral("新人"), {QStringLiteral("/p/a.jpg"), QStringLiteral("/p/b.jpg"),
                                                     QStringLiteral("/p/c.jpg"), QStringLiteral("/p/d.jpg")});
        Editor::type(editor.box(QStringLiteral("Text20_0")), QStringLiteral("/x.mid"));
        ModalScript script;
        script.answer(QMessageBox::Ok).answer(QMessageBox::Ok);
        editor.button(QStringLiteral("cmdOK"))->click();
        QVERIFY(script.finished());
        QCOMPARE(script.unexpected, 0);
        QCOMPARE(script.boxes.size(), std::size_t{2});
        QCOMPARE(script.boxes[0].title, QStringLiteral("画像の追加"));
        compareBox(script.boxes[1], QStringLiteral("書き込みエラー"),
                   QStringLiteral("初期値ファイルに書き込めませんでした。\n変更は保存されていません。"),
                   QMessageBox::Warning, kOk);
        // Nothing is taken as done, and the sounds wait for the next press.
        QVERIFY(sameMembers(editor.state(), stateBefore));
        QVERIFY(editor.thumbnails.calls.empty());
        QVERIFY(editor.window->tabChanged(0));
        QVERIFY(editor.window->tabChanged(3));
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
    }

    void survivesItsParentGoingAwayDuringAConfirmation() {
        SettingsFolder settings(6);
        FakeThumbnails thumbnails(settings.state());
        const std::string before = settings.bytes();
        auto* parent = new QWidget;
        parent->show();
        QPointer<QWidget> parentAlive(parent);
        ModalScript script;
        script.then([](QWidget* window) {
                  auto* editor = qobject_cast<frmOptions*>(window);
                  QVERIFY(editor);
                  auto* line = editor->findChild<QLineEdit*>(QStringLiteral("Text11_0"));
                  line->setFocus();
                  line->selectAll();
                  Editor::typeText(line, QStringLiteral("新しいセリフ"));
                  QTimer::singleShot(0, editor->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                                     &QPushButton::click);
              })
            .then([parent](QWidget* box) {
                QVERIFY(qobject_cast<QMessageBox*>(box));
                delete parent;  // the member selection window closes meanwhile
            });
        frmOptions::showModal(settings.state(), &thumbnails, parent);
        QVERIFY(script.finished());
        QVERIFY(parentAlive.isNull());
        QCOMPARE(settings.bytes(), before);
        QVERIFY(thumbnails.calls.empty());
    }

    void survivesItsParentGoingAwayWhileAChooserIsOpen() {
        SettingsFolder settings(6);
        FakeThumbnails thumbnails(settings.state());
        auto* parent = new QWidget;
        parent->show();
        ModalScript script;
        script.then([](QWidget* window) {
                  auto* editor = qobject_cast<frmOptions*>(window);
                  QVERIFY(editor);
                  QTimer::singleShot(0, editor->findChild<QPushButton*>(QStringLiteral("Command5_0")),
                                     &QPushButton::click);
              })
            .then([parent](QWidget* chooser) {
                QVERIFY(qobject_cast<Dialog1*>(chooser));
                delete parent;
            });
        frmOptions::showModal(settings.state(), &thumbnails, parent);
        QVERIFY(script.finished());
    }
};

QTEST_MAIN(OptionsEditorTest)
#include "options_editor_test.moc"
