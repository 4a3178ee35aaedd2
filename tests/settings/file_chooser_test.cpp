// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The picture and sound choosers: where they open, what they list for each
// slot, OK and Cancel, a box naming a folder that is gone, a path the
// settings file could not hold; and the drive and folder names behind them.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "editor_test_helpers.h"
#include "settings/drives.h"
#include "settings/file_choosers.h"

using namespace vantel;
using namespace vantel::test;

namespace {

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

// A folder of pictures, sounds and other files, and a subfolder.
struct MediaFolder {
    MediaFolder() {
        for (const char* name : {"a.jpg", "B.JPG", "c.Bmp", "d.gif", "e.jpeg", "f.png", "g.mid", "H.MID",
                                 "i.wav", "J.Wav", "k.txt", "jpg", ".hidden.jpg", "sub/inner.gif", "sub/inner.wav"}) {
            touch(dir.filePath(QString::fromLatin1(name)));
        }
    }
    QString path() const { return QDir::cleanPath(dir.path()); }
    QString file(const QString& name) const { return path() + QLatin1Char('/') + name; }
    QTemporaryDir dir;
};

QListWidget* list(QWidget* chooser, const char* name) {
    return chooser->findChild<QListWidget*>(QString::fromLatin1(name));
}

QPushButton* button(QWidget* chooser, const char* name) {
    return chooser->findChild<QPushButton*>(QString::fromLatin1(name));
}

// Clicks the file `name` in File1 as the user does.
void clickFile(QWidget* chooser, const QString& name) {
    QListWidget* files = list(chooser, "File1");
    const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    files->scrollToItem(found.front());
    const QRect where = files->visualItemRect(found.front());
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, where.center());
}

// Opens the folder `folder` in Dir1: a click on it, then Enter.
void openFolder(QWidget* chooser, const QString& folder) {
    QListWidget* folders = list(chooser, "Dir1");
    for (int row = 0; row < folders->count(); ++row) {
        if (folders->item(row)->data(Qt::UserRole).toString() == folder) {
            folders->scrollToItem(folders->item(row));
            const QRect where = folders->visualItemRect(folders->item(row));
            QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, where.center());
            QCOMPARE(folders->currentRow(), row);
            QTest::keyClick(folders, Qt::Key_Return);
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no folder ") + folder));
}

// Keeps the current folder of the test process and puts it back.
struct CurrentFolder {
    explicit CurrentFolder(const QString& folder) : saved(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~CurrentFolder() { QDir::setCurrent(saved); }
    QString saved;
};

const QStringList kPictures = {QStringLiteral("a.jpg"), QStringLiteral("B.JPG"), QStringLiteral("c.Bmp"),
                               QStringLiteral("d.gif"), QStringLiteral("e.jpeg")};

}  // namespace

class FileChooserTest : public QObject {
    Q_OBJECT

private slots:
    void drivesAreTheRootAndRealVolumes() {
        const std::string mounts =
            "/dev/sda1 / ext4 rw 0 0\n"
            "proc /proc proc rw 0 0\n"
            "sysfs /sys sysfs rw 0 0\n"
            "tmpfs /run tmpfs rw 0 0\n"
            "tmpfs /run/user/1000 tmpfs rw 0 0\n"
            "/dev/sda2 /home ext4 rw 0 0\n"
            "/dev/sda3 /boot/efi vfat rw 0 0\n"
            "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
            "/dev/sdb1 /media/taro/USB\\040STICK vfat rw 0 0\n"
            "/dev/sdc1 /mnt/data ext4 rw 0 0\n"
            "/dev/sdc1 /mnt/data ext4 rw 0 0\n"
            "server:/export /mnt/nfs nfs4 rw 0 0\n"
            "/dev/sdd1 /run/media/hanako/DISK ext4 rw 0 0\n"
            "/dev/vda /etc/hosts ext4 rw 0 0\n"
            "tmpfs /mnt/ramdisk tmpfs rw 0 0\n"
            "broken line\n";
        const std::vector<std::string> expected = {"/", "/home", "/media/taro/USB STICK", "/mnt/data", "/mnt/nfs",
                                                   "/run/media/hanako/DISK"};
        QVERIFY(drivesFromMounts(mounts) == expected);
        QVERIFY(drivesFromMounts("") == std::vector<std::string>{"/"});
        const std::vector<std::string> system = systemDrives();
        QVERIFY(!system.empty());
        QCOMPARE(system.front(), std::string("/"));
    }

    void driveAndFolderOfAPath() {
        const std::vector<std::string> drives = {"/", "/home", "/media/taro/USB STICK"};
        QCOMPARE(driveOf("/home/taro/a.jpg", drives), std::string("/home"));
        QCOMPARE(driveOf("/homework/a.jpg", drives), std::string("/"));
        QCOMPARE(driveOf("/media/taro/USB STICK/pics/b.jpg", drives), std::string("/media/taro/USB STICK"));
        QCOMPARE(driveOf("/", drives), std::string("/"));
        QCOMPARE(driveOf("pics/a.jpg", drives), std::string());
        QCOMPARE(parentFolderOf("/a/b/c.jpg"), std::string("/a/b"));
        QCOMPARE(parentFolderOf("/c.jpg"), std::string("/"));
        QCOMPARE(parentFolderOf("c.jpg"), std::string());
        QCOMPARE(parentFolderOf("/a/b/"), std::string("/a"));
        QCOMPARE(joinPath("/a/b", "c.jpg"), std::string("/a/b/c.jpg"));
        QCOMPARE(joinPath("/", "c.jpg"), std::string("/c.jpg"));
    }

    void patternsIgnoreCase() {
        const QString pictures = QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif");
        QVERIFY(matchesPattern(QStringLiteral("A.JPG"), pictures));
        QVERIFY(matchesPattern(QStringLiteral("x.Jpeg"), pictures));
        QVERIFY(!matchesPattern(QStringLiteral("x.png"), pictures));
        QVERIFY(!matchesPattern(QStringLiteral("jpg"), pictures));
        QVERIFY(matchesPattern(QStringLiteral("曲.MID"), QStringLiteral("*.mid")));
    }

    void thePictureChooserOpensInTheBoxFilesFolder() {
        MediaFolder media;
        OptionsGlobals globals;
        globals.chooserSlot = 3;
        QLineEdit box(media.file(QStringLiteral("d.gif")));
        Dialog chooser(&box, globals, nullptr);
        QCOMPARE(chooser.windowTitle(), QStringLiteral("画像ファイルの指定"));
        QCOMPARE(chooser.pattern(), QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif"));
        QCOMPARE(chooser.folder(), media.path());
        QCOMPARE(chooser.files(), kPictures);
        const QString drive = QString::fromStdString(driveOf(media.path().toStdString(), systemDrives()));
        QCOMPARE(chooser.drive(), drive);
        QCOMPARE(chooser.findChild<QComboBox*>(QStringLiteral("Drive1"))->currentText(), drive);
        // Dir1: the folders down to this one, then its subfolder.
        QListWidget* folders = list(&chooser, "Dir1");
        QCOMPARE(folders->item(folders->count() - 1)->data(Qt::UserRole).toString(), media.file(QStringLiteral("sub")));
        QCOMPARE(folders->currentItem()->data(Qt::UserRole).toString(), media.path());
        QCOMPARE(button(&chooser, "OKButton")->text(), QStringLiteral("OK"));
        QCOMPARE(button(&chooser, "CancelButton")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    }

    void theSoundChooserListsByItsSlot_data() {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("files");
        const QStringList music = {QStringLiteral("g.mid"), QStringLiteral("H.MID")};
        const QStringList voices = {QStringLiteral("i.wav"), QStringLiteral("J.Wav")};
        QTest::newRow("slot 1") << 1 << QStringLiteral("*.mid") << music;
        QTest::newRow("slot 5") << 5 << QStringLiteral("*.mid") << music;
        QTest::newRow("slot 6") << 6 << QStringLiteral("*.wav") << voices;
        QTest::newRow("slot 7") << 7 << QStringLiteral("*.wav") << voices;
    }

    void theSoundChooserListsByItsSlot() {
        QFETCH(int, slot);
        QFETCH(QString, pattern);
        QFETCH(QStringList, files);
        MediaFolder media;
        OptionsGlobals globals;
        globals.chooserSlot = slot;
        QLineEdit box(media.file(QStringLiteral("k.txt")));
        Dialog1 chooser(&box, globals, nullptr);
        QCOMPARE(chooser.windowTitle(), QStringLiteral("サウンドファイルの指定"));
        QCOMPARE(chooser.pattern(), pattern);
        QCOMPARE(chooser.folder(), media.path());
        QCOMPARE(chooser.files(), files);
    }

    void anEmptyBoxOpensInTheCurrentFolder() {
        MediaFolder media;
        CurrentFolder current(media.file(QStringLiteral("sub")));
        OptionsGlobals globals;
        globals.chooserSlot = 1;
        QLineEdit box;
        Dialog chooser(&box, globals, nullptr);
        QCOMPARE(chooser.folder(), media.file(QStringLiteral("sub")));
        QCOMPARE(chooser.files(), QStringList{QStringLiteral("inner.gif")});
    }

    void aBoxNamingAFolderThatIsGoneLeavesTheLists() {
        MediaFolder media;
        QTemporaryDir other;
        const QString gone = QDir::cleanPath(other.path()) + QStringLiteral("/gone");
        // Both folders lie on one drive, so only the folder step fails.
        QCOMPARE(driveOf(gone.toStdString(), systemDrives()), driveOf(media.path().toStdString(), systemDrives()));
        CurrentFolder current(media.path());
        OptionsGlobals globals;
        globals.chooserSlot = 2;
        QLineEdit box(gone + QStringLiteral("/pic.jpg"));
        ModalScript script;
        Dialog chooser(&box, globals, nullptr);
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QTest::qWait(30);
        QCOMPARE(script.boxes.size(), std::size_t{0});
        QCOMPARE(chooser.folder(), media.path());
        QCOMPARE(chooser.files(), kPictures);
        QCOMPARE(box.text(), gone + QStringLiteral("/pic.jpg"));
    }

    void okWritesTheClickedFileIntoTheBox() {
        MediaFolder media;
        OptionsGlobals globals;
        globals.chooserSlot = 2;
        QLineEdit box(media.file(QStringLiteral("a.jpg")));
        QString changedTo;
        connect(&box, &QLineEdit::textChanged, this, [&](const QString& text) { changedTo = text; });
        Dialog chooser(&box, globals, nullptr);
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        QVERIFY(!button(&chooser, "OKButton")->isEnabled());
        openFolder(&chooser, media.file(QStringLiteral("sub")));
        QCOMPARE(chooser.folder(), media.file(QStringLiteral("sub")));
        QCOMPARE(chooser.files(), QStringList{QStringLiteral("inner.gif")});
        clickFile(&chooser, QStringLiteral("inner.gif"));
        QVERIFY(button(&chooser, "OKButton")->isEnabled());
        const QString expected = media.file(QStringLiteral("sub/inner.gif"));
        QCOMPARE(QString::fromStdString(globals.chosenImagePath[2]), expected);
        QCOMPARE(box.text(), media.file(QStringLiteral("a.jpg")));
        QTest::mouseClick(button(&chooser, "OKButton"), Qt::LeftButton);
        QCOMPARE(box.text(), expected);
        QCOMPARE(changedTo, expected);
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
        QVERIFY(!chooser.isVisible());
    }

    void cancelLeavesTheBox() {
        MediaFolder media;
        OptionsGlobals globals;
        globals.chooserSlot = 6;
        QLineEdit box(media.file(QStringLiteral("i.wav")));
        Dialog1 chooser(&box, globals, nullptr);
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        clickFile(&chooser, QStringLiteral("J.Wav"));
        QCOMPARE(QString::fromStdString(globals.chosenSoundPath[6]), media.file(QStringLiteral("J.Wav")));
        QTest::mouseClick(button(&chooser, "CancelButton"), Qt::LeftButton);
        QCOMPARE(box.text(), media.file(QStringLiteral("i.wav")));
        QCOMPARE(chooser.result(), int(QDialog::Rejected));
    }

    void aPathTooLongForTheSettingsFileIsRefused() {
        QTemporaryDir dir;
        QString deep = QDir::cleanPath(dir.path());
        while (deep.size() < 100) deep += QStringLiteral("/folder");
        touch(deep + QStringLiteral("/p.jpg"));
        OptionsGlobals globals;
        globals.chooserSlot = 1;
        QLineEdit box(QStringLiteral("/old.jpg"));
        Dialog chooser(&box, globals, nullptr);
        chooser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chooser));
        openFolderPath(chooser, deep);
        clickFile(&chooser, QStringLiteral("p.jpg"));
        ModalScript script;
        script.answer(QMessageBox::Ok);
        QTest::mouseClick(button(&chooser, "OKButton"), Qt::LeftButton);
        QVERIFY(script.finished());
        QCOMPARE(script.boxes.at(0).title, QStringLiteral("指定エラー"));
        QVERIFY(script.boxes.at(0).text.startsWith(QStringLiteral("このファイルは指定できません！")));
        QCOMPARE(box.text(), QStringLiteral("/old.jpg"));
        QVERIFY(chooser.isVisible());
    }

    // Through the editor: "参照..." opens the chooser for its slot, and the
    // chosen file runs the editor's change detection.
    void theEditorsBrowseButtonsFillTheirBoxes() {
        MediaFolder media;
        Editor editor(4);
        ModalScript script;
        QString title;
        QString pattern;
        script.then([&](QWidget* window) {
            auto* chooser = qobject_cast<FileChooser*>(window);
            QVERIFY(chooser);
            title = chooser->windowTitle();
            openFolderPath(*chooser, media.path());
            clickFile(chooser, QStringLiteral("e.jpeg"));
            QTest::mouseClick(button(chooser, "OKButton"), Qt::LeftButton);
        });
        editor.button(QStringLiteral("Command1_2"))->click();
        QVERIFY(script.finished());
        QCOMPARE(editor.globals.chooserSlot, 3);
        QCOMPARE(title, QStringLiteral("画像ファイルの指定"));
        QCOMPARE(editor.box(QStringLiteral("Text1_2"))->text(), media.file(QStringLiteral("e.jpeg")));
        QVERIFY(editor.button(QStringLiteral("cmdOK"))->isEnabled());
        QVERIFY(editor.window->tabChanged(0));

        // A sound box naming a file in the folder: the chooser opens there.
        Editor::type(editor.box(QStringLiteral("Text20_6")), media.file(QStringLiteral("i.wav")));
        script.then([&](QWidget* window) {
            auto* chooser = qobject_cast<FileChooser*>(window);
            QVERIFY(chooser);
            title = chooser->windowTitle();
            pattern = chooser->pattern();
            QCOMPARE(chooser->folder(), media.path());
            clickFile(chooser, QStringLiteral("J.Wav"));
            QTest::mouseClick(button(chooser, "OKButton"), Qt::LeftButton);
        });
        editor.button(QStringLiteral("Command5_6"))->click();
        QVERIFY(script.finished());
        QCOMPARE(editor.globals.chooserSlot, 7);
        QCOMPARE(title, QStringLiteral("サウンドファイルの指定"));
        QCOMPARE(pattern, QStringLiteral("*.wav"));
        QCOMPARE(editor.box(QStringLiteral("Text20_6"))->text(), media.file(QStringLiteral("J.Wav")));
        QVERIFY(editor.window->tabChanged(3));

        // Cancel leaves the box as it was.
        script.then([&](QWidget* window) {
            auto* chooser = qobject_cast<FileChooser*>(window);
            QVERIFY(chooser);
            pattern = chooser->pattern();
            clickFile(chooser, QStringLiteral("g.mid"));
            QTest::mouseClick(button(chooser, "CancelButton"), Qt::LeftButton);
        });
        Editor::type(editor.box(QStringLiteral("Text20_0")), media.file(QStringLiteral("H.MID")));
        editor.button(QStringLiteral("Command5_0"))->click();
        QVERIFY(script.finished());
        QCOMPARE(pattern, QStringLiteral("*.mid"));
        QCOMPARE(editor.box(QStringLiteral("Text20_0"))->text(), media.file(QStringLiteral("H.MID")));
        QCOMPARE(script.unexpected, 0);
    }

private:
    // Walks Dir1 to `folder`, one folder up or down at a time.
    static void openFolderPath(FileChooser& chooser, const QString& folder) {
        for (int step = 0; step < 64 && chooser.folder() != folder; ++step) {
            const QString at = chooser.folder();
            QString next;
            if (folder.startsWith(at == QLatin1String("/") ? at : at + QLatin1Char('/'))) {
                const QString rest = folder.mid(at == QLatin1String("/") ? 1 : at.size() + 1);
                next = (at == QLatin1String("/") ? QString() : at) + QLatin1Char('/') + rest.section(QLatin1Char('/'), 0, 0);
            } else {
                next = QString::fromStdString(parentFolderOf(at.toStdString()));
            }
            openFolder(&chooser, next);
        }
        QCOMPARE(chooser.folder(), folder);
    }
};

QTEST_MAIN(FileChooserTest)
#include "file_chooser_test.moc"
