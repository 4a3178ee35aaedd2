// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/file_choosers.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QVBoxLayout>

#include "records/settings.h"
#include "settings/byte_limit.h"
#include "settings/drives.h"
#include "settings/editor_font.h"
#include "settings/message_box.h"

namespace vantel {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString cleanFolder(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

bool matchesPattern(const QString& fileName, const QString& pattern) {
    const QStringList parts = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QRegularExpression wildcard(QRegularExpression::wildcardToRegularExpression(part.trimmed()),
                                          QRegularExpression::CaseInsensitiveOption);
        if (wildcard.match(fileName).hasMatch()) return true;
    }
    return false;
}

FileChooser::FileChooser(Kind kind, QLineEdit* box, OptionsGlobals& globals, QWidget* parent)
    : QDialog(parent), kind_(kind), box_(box), globals_(globals), drives_(systemDrives()) {
    setFont(editorFont());
    setWindowTitle(kind == Kind::Picture ? QStringLiteral("画像ファイルの指定")
                                         : QStringLiteral("サウンドファイルの指定"));
    setObjectName(kind == Kind::Picture ? QStringLiteral("Dialog") : QStringLiteral("Dialog1"));
    setModal(true);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    for (const std::string& drive : drives_) Drive1->addItem(QString::fromStdString(drive));
    Dir1 = new QListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    File1 = new QListWidget(this);
    File1->setObjectName(QStringLiteral("File1"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    for (QPushButton* button : {OKButton, CancelButton}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(88);
    }
    // OK waits for a file to be clicked.
    OKButton->setEnabled(false);

    auto* lists = new QVBoxLayout;
    lists->addWidget(Drive1);
    lists->addWidget(Dir1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(File1, 1);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(560, 320);

    connect(Drive1, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(drives_.size())) {
            setDrive(QString::fromStdString(drives_[static_cast<std::size_t>(index)]));
        }
    });
    connect(Dir1, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { setDirPath(item->data(kPathRole).toString()); });
    connect(File1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!File1->selectedItems().isEmpty()) File1_Click();
    });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });

    pattern_ = kind == Kind::Picture ? QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif") : QStringLiteral("*.mid;*.wav");

    // The lists' default place: the current folder.
    const QString current = QDir::currentPath();
    drive_ = QString::fromStdString(driveOf(current.toStdString(), drives_));
    Drive1->setCurrentIndex(Drive1->findText(drive_));
    if (!setDirPath(current)) setDirPath(QStringLiteral("/"));
}

QStringList FileChooser::files() const {
    QStringList names;
    for (int row = 0; row < File1->count(); ++row) names << File1->item(row)->text();
    return names;
}

void FileChooser::setPattern(const QString& pattern) {
    pattern_ = pattern;
    fillFileList();
}

void FileChooser::openAtBoxFile() {
    if (!box_) return;
    const std::string named = box_->text().toStdString();
    if (named.empty()) return;
    const std::string drive = driveOf(named, drives_);
    if (!drive.empty()) setDrive(QString::fromStdString(drive));
    const std::string folder = parentFolderOf(named);
    if (!folder.empty()) setDirPath(QString::fromStdString(folder));
}

void FileChooser::setDrive(const QString& drive) {
    if (drive == drive_) return;
    const QString previous = drive_;
    drive_ = drive;
    Drive1->setCurrentIndex(Drive1->findText(drive));
    Drive1_Change();
    // A drive that cannot be listed is not taken: Drive1 shows the drive of
    // the folder still listed.
    if (!pathInside(folder_.toStdString(), drive_.toStdString())) {
        drive_ = previous;
        Drive1->setCurrentIndex(Drive1->findText(previous));
    }
}

void FileChooser::Drive1_Change() { setDirPath(drive_); }

bool FileChooser::setDirPath(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable()) return false;
    folder_ = cleanFolder(path);
    fillDirList();
    Dir1_Change();
    return true;
}

void FileChooser::Dir1_Change() { fillFileList(); }

void FileChooser::fillDirList() {
    Dir1->clear();
    // From the drive (or the root, for a folder outside it) down to the
    // current folder, then the current folder's subfolders.
    const QString top = (!drive_.isEmpty() && pathInside(folder_.toStdString(), drive_.toStdString()))
                            ? drive_
                            : QStringLiteral("/");
    QStringList chain{top};
    if (folder_ != top) {
        const QString rest = folder_.mid(top == QLatin1String("/") ? 1 : top.size() + 1);
        QString at = top;
        for (const QString& name : rest.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            at = QString::fromStdString(joinPath(at.toStdString(), name.toStdString()));
            chain << at;
        }
    }
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = depth == 0 ? folder : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, Dir1);
        item->setData(kPathRole, folder);
        ++depth;
    }
    Dir1->setCurrentRow(Dir1->count() - 1);
    const QFileInfoList subfolders =
        QDir(folder_).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& sub : subfolders) {
        auto* item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + sub.fileName(), Dir1);
        item->setData(kPathRole, cleanFolder(sub.absoluteFilePath()));
    }
}

void FileChooser::fillFileList() {
    File1->clear();
    const QFileInfoList entries = QDir(folder_).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (matchesPattern(entry.fileName(), pattern_)) File1->addItem(entry.fileName());
    }
}

std::string* FileChooser::slotEntry() {
    const int slot = globals_.chooserSlot;
    if (kind_ == Kind::Picture) {
        if (slot < 1 || slot > kPicturesPerMember) return nullptr;
        return &globals_.chosenImagePath[static_cast<std::size_t>(slot)];
    }
    if (slot < 1 || slot > kSoundFiles) return nullptr;
    return &globals_.chosenSoundPath[static_cast<std::size_t>(slot)];
}

void FileChooser::File1_Click() {
    std::string* entry = slotEntry();
    const QList<QListWidgetItem*> selected = File1->selectedItems();
    if (!entry || selected.isEmpty()) return;
    *entry = joinPath(folder_.toStdString(), selected.front()->text().toStdString());
    OKButton->setEnabled(true);
}

void FileChooser::OKButton_Click() {
    const std::string* entry = slotEntry();
    if (!entry || entry->empty()) return;
    const QString path = QString::fromStdString(*entry);
    const int buffer = static_cast<int>(kind_ == Kind::Picture ? kMemberImageBuffer : kSoundFileBuffer);
    if (!fitsSettingsBuffer(path, buffer)) {
        // The settings file would cut or garble the path; the box keeps its file.
        warningBox(this, QStringLiteral("指定エラー"),
                   QStringLiteral("このファイルは指定できません！\n"
                                  "ファイルの場所は半角%1文字（全角%2文字）以内で、"
                                  "使用できない文字を含まないものを指定して下さい。")
                       .arg(buffer - 1)
                       .arg((buffer - 1) / 2));
        return;
    }
    if (box_) setBoxText(box_, path);
    accept();
}

void FileChooser::CancelButton_Click() { reject(); }

Dialog::Dialog(QLineEdit* box, OptionsGlobals& globals, QWidget* parent)
    : FileChooser(Kind::Picture, box, globals, parent) {
    openAtBoxFile();
}

Dialog1::Dialog1(QLineEdit* box, OptionsGlobals& globals, QWidget* parent)
    : FileChooser(Kind::Sound, box, globals, parent) {
    setPattern(globals.chooserSlot > 5 ? QStringLiteral("*.wav") : QStringLiteral("*.mid"));
    openAtBoxFile();
}

}  // namespace vantel
