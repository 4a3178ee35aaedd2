// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/frm_options.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/profile/profile.h"
#include "records/settings.h"
#include "records/text_helpers.h"
#include "settings/byte_limit.h"
#include "settings/editor_font.h"
#include "settings/file_choosers.h"
#include "settings/message_box.h"

namespace vantel {

namespace {

constexpr int kMinMembers = 4;
// A member name is at most four full-width characters: 8 bytes of CP932.
constexpr int kNameBytes = 8;

const QString kAddPrompt = QStringLiteral("追加する画像を指定してください。");
const QString kDeletePrompt = QStringLiteral("削除する画像№を選択してください。");
const QString kChangePrompt = QStringLiteral("変更する画像№と画像を指定してください。");
const QString kInputError = QStringLiteral("入力エラー");
const QString kChoiceError = QStringLiteral("指定エラー");

QString q(const std::string& text) { return QString::fromStdString(text); }
std::string s(const QLineEdit* box) { return box->text().toStdString(); }

// Selects a box's whole text when it gets the focus; deferred, so that the
// mouse click that gave the focus does not clear the selection again.
class SelectAllOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            if (auto* box = qobject_cast<QLineEdit*>(watched)) {
                QTimer::singleShot(0, box, [box] { box->setSelection(0, std::min<int>(100, box->text().size())); });
            }
        }
        return false;
    }
};

QGroupBox* newFrame(const QString& name, const QString& caption, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    return frame;
}

QRadioButton* newOption(const QString& name, const QString& caption, QWidget* parent) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    return option;
}

QPushButton* newButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter in a box must not apply or close the window.
    button->setAutoDefault(false);
    return button;
}

QLabel* newLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

}  // namespace

frmOptions::frmOptions(MatchState& state, MemberThumbnails* thumbnails, QWidget* parent, OptionsGlobals& globals)
    : QDialog(parent), state_(state), thumbnails_(thumbnails), globals_(globals) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("ｵﾌﾟｼｮﾝの設定"));
    setFont(editorFont());
    setModal(true);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    auto* imagePage = new QWidget(SSTab1);
    auto* femalePage = new QWidget(SSTab1);
    auto* malePage = new QWidget(SSTab1);
    auto* soundPage = new QWidget(SSTab1);
    SSTab1->addTab(imagePage, QStringLiteral("画像"));
    SSTab1->addTab(femalePage, QStringLiteral("セリフ女性"));
    SSTab1->addTab(malePage, QStringLiteral("セリフ男性"));
    SSTab1->addTab(soundPage, QStringLiteral("サウンド"));
    buildImageTab(imagePage);
    buildLinesTab(femalePage, Text11, QStringLiteral("Text11"));
    buildLinesTab(malePage, Text12, QStringLiteral("Text12"));
    buildSoundTab(soundPage);

    cmdOK = newButton(QStringLiteral("cmdOK"), QStringLiteral("適用"), this);
    cmdCancel = newButton(QStringLiteral("cmdCancel"), QStringLiteral("終了"), this);
    cmdOK->setMinimumWidth(96);
    cmdCancel->setMinimumWidth(96);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(buttons);

    connect(Option1, &QRadioButton::toggled, this, [this](bool on) { if (on) Option1_Click(); });
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) { if (on) Option2_Click(); });
    connect(Option3, &QRadioButton::toggled, this, [this](bool on) { if (on) Option3_Click(); });
    connect(Combo1, &QComboBox::activated, this, [this](int index) { Combo1_Click(index); });
    connect(Text5, &QLineEdit::textChanged, this, [this] { Text5_Change(); });
    for (int k = 0; k < kPicturesPerMember; ++k) {
        connect(Text1[k], &QLineEdit::textChanged, this, [this, k] { Text1_Change(k); });
        connect(Command1[k], &QPushButton::clicked, this, [this, k] { Command1_Click(k); });
    }
    for (int k = 0; k < kLinesPerSet; ++k) {
        connect(Text11[k], &QLineEdit::textChanged, this, [this, k] { Text11_Change(k); });
        connect(Text12[k], &QLineEdit::textChanged, this, [this, k] { Text12_Change(k); });
    }
    for (int k = 0; k < kSoundFiles; ++k) {
        connect(Text20[k], &QLineEdit::textChanged, this, [this, k] { Text20_Change(k); });
        connect(Command5[k], &QPushButton::clicked, this, [this, k] { Command5_Click(k); });
    }
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    Form_Load();
    // A dialog of a fixed size: stretched or maximised it would only spread
    // its boxes over empty space. The boxes scroll long paths.
    setFixedSize(sizeHint().expandedTo(QSize(640, 0)));
}

void frmOptions::showModal(MatchState& state, MemberThumbnails* thumbnails, QWidget* parent) {
    QPointer<frmOptions> window = new frmOptions(state, thumbnails, parent);
    window->exec();
    delete window.data();
}

bool frmOptions::tabChanged(int tab) const {
    switch (tab) {
        case kImageTab: return imageTabChanged_;
        case kFemaleLinesTab: return femaleLinesChanged_;
        case kMaleLinesTab: return maleLinesChanged_;
        case kSoundTab: return soundTabChanged_;
        default: return false;
    }
}

// ---------------------------------------------------------------- layout

QLineEdit* frmOptions::newBox(const QString& name, int maxBytes, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    new Cp932ByteLimit(maxBytes, box);
    box->installEventFilter(new SelectAllOnFocus(box));
    return box;
}

void frmOptions::buildImageTab(QWidget* page) {
    Frame1 = newFrame(QStringLiteral("Frame1"), QStringLiteral("区分"), page);
    Option1 = newOption(QStringLiteral("Option1"), QStringLiteral("追加"), Frame1);
    Option2 = newOption(QStringLiteral("Option2"), QStringLiteral("削除"), Frame1);
    Option3 = newOption(QStringLiteral("Option3"), QStringLiteral("変更"), Frame1);
    // Add is the starting mode; set before the mode switches are connected.
    Option1->setChecked(true);
    auto* modes = new QHBoxLayout(Frame1);
    modes->addWidget(Option1);
    modes->addWidget(Option2);
    modes->addWidget(Option3);

    Frame2 = newFrame(QStringLiteral("Frame2"), QStringLiteral("画像№"), page);
    Combo1 = new QComboBox(Frame2);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setMinimumWidth(160);
    Combo1->setMaxVisibleItems(kMaxMembers);
    auto* members = new QHBoxLayout(Frame2);
    members->addWidget(Combo1);

    Frame3 = newFrame(QStringLiteral("Frame3"), QStringLiteral("性別"), page);
    Option4 = newOption(QStringLiteral("Option4"), QStringLiteral("女性"), Frame3);
    Option5 = newOption(QStringLiteral("Option5"), QStringLiteral("男性"), Frame3);
    Option4->setChecked(true);
    auto* sexes = new QHBoxLayout(Frame3);
    sexes->addWidget(Option4);
    sexes->addWidget(Option5);

    Frame4 = newFrame(QStringLiteral("Frame4"), QStringLiteral("名前（全角４文字以内）"), page);
    Text5 = newBox(QStringLiteral("Text5"), kNameBytes, Frame4);
    Text5->setMinimumWidth(120);
    auto* name = new QHBoxLayout(Frame4);
    name->addWidget(Text5);

    Label1 = new QLabel(page);
    Label1->setObjectName(QStringLiteral("Label1"));

    fraSample1 = newFrame(QStringLiteral("fraSample1"), QStringLiteral("画像の指定"), page);
    static const std::array<QString, kPicturesPerMember> kPictureLabels = {
        QStringLiteral("プレイ中顔表示用："), QStringLiteral("ﾌﾟﾚｲﾔｰが１位のとき表示用："),
        QStringLiteral("ｺﾝﾋﾟｭｰﾀが１位のとき表示用："), QStringLiteral("ﾊｲｽｺｱorﾗﾝｸｲﾝのとき表示用：")};
    auto* pictures = new QGridLayout(fraSample1);
    for (int k = 0; k < kPicturesPerMember; ++k) {
        Text1[k] = newBox(QStringLiteral("Text1_%1").arg(k), static_cast<int>(kMemberImageBuffer) - 1, fraSample1);
        Text1[k]->setMinimumWidth(360);
        Command1[k] = newButton(QStringLiteral("Command1_%1").arg(k), QStringLiteral("参照..."), fraSample1);
        pictures->addWidget(newLabel(kPictureLabels[k], fraSample1), k, 0);
        pictures->addWidget(Text1[k], k, 1);
        pictures->addWidget(Command1[k], k, 2);
    }
    pictures->setColumnStretch(1, 1);

    auto* top = new QGridLayout;
    top->addWidget(Frame1, 0, 0);
    top->addWidget(Frame2, 0, 1);
    top->addWidget(Frame3, 1, 0);
    top->addWidget(Frame4, 1, 1);
    top->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(Label1);
    layout->addWidget(fraSample1);
    layout->addStretch(1);
}

void frmOptions::buildLinesTab(QWidget* page, std::array<QLineEdit*, kLinesPerSet>& boxes, const QString& prefix) {
    static const std::array<QString, kLinesPerSet> kLineLabels = {
        QStringLiteral("１位で上がるとき："), QStringLiteral("２位で上がるとき："),
        QStringLiteral("３位で上がるとき："), QStringLiteral("４位で上がるとき："),
        QStringLiteral("降参するとき："),     QStringLiteral("１位のとき："),
        QStringLiteral("２位のとき："),       QStringLiteral("３位のとき："),
        QStringLiteral("４位のとき：")};
    constexpr int kLinesDuringPlay = 5;
    auto* during = new QGroupBox(QStringLiteral("プレイ中のセリフ"), page);
    auto* after = new QGroupBox(QStringLiteral("プレイ後のセリフ"), page);
    auto* duringGrid = new QGridLayout(during);
    auto* afterGrid = new QGridLayout(after);
    for (int k = 0; k < kLinesPerSet; ++k) {
        QGroupBox* frame = k < kLinesDuringPlay ? during : after;
        QGridLayout* grid = k < kLinesDuringPlay ? duringGrid : afterGrid;
        const int row = k < kLinesDuringPlay ? k : k - kLinesDuringPlay;
        boxes[k] = newBox(QStringLiteral("%1_%2").arg(prefix).arg(k), static_cast<int>(kLineBuffer) - 1, frame);
        boxes[k]->setMinimumWidth(380);
        grid->addWidget(newLabel(kLineLabels[k], frame), row, 0);
        grid->addWidget(boxes[k], row, 1);
    }
    duringGrid->setColumnStretch(1, 1);
    afterGrid->setColumnStretch(1, 1);
    // Both frames' labels take the width of the longest one.
    const int labelWidth = QFontMetrics(editorFont()).horizontalAdvance(kLineLabels[0]) + 8;
    duringGrid->setColumnMinimumWidth(0, labelWidth);
    afterGrid->setColumnMinimumWidth(0, labelWidth);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(during);
    layout->addWidget(after);
    layout->addStretch(1);
}

void frmOptions::buildSoundTab(QWidget* page) {
    static const std::array<QString, kSoundFiles> kSoundLabels = {
        QStringLiteral("ＢＧＭ："),         QStringLiteral("勝った時："),
        QStringLiteral("負けた時："),       QStringLiteral("１位の時："),
        QStringLiteral("２位以下の時："),   QStringLiteral("１位の時のボイス："),
        QStringLiteral("２位以下の時のボイス：")};
    constexpr int kSoundsDuringPlay = 3;
    auto* during = new QGroupBox(QStringLiteral("プレイ中のサウンド"), page);
    auto* after = new QGroupBox(QStringLiteral("プレイ終了後のサウンド"), page);
    auto* duringGrid = new QGridLayout(during);
    auto* afterGrid = new QGridLayout(after);
    for (int k = 0; k < kSoundFiles; ++k) {
        QGroupBox* frame = k < kSoundsDuringPlay ? during : after;
        QGridLayout* grid = k < kSoundsDuringPlay ? duringGrid : afterGrid;
        const int row = k < kSoundsDuringPlay ? k : k - kSoundsDuringPlay;
        Text20[k] = newBox(QStringLiteral("Text20_%1").arg(k), static_cast<int>(kSoundFileBuffer) - 1, frame);
        Text20[k]->setMinimumWidth(400);
        Command5[k] = newButton(QStringLiteral("Command5_%1").arg(k), QStringLiteral("参照..."), frame);
        grid->addWidget(newLabel(kSoundLabels[k], frame), row, 0);
        grid->addWidget(Text20[k], row, 1);
        grid->addWidget(Command5[k], row, 2);
    }
    duringGrid->setColumnStretch(1, 1);
    afterGrid->setColumnStretch(1, 1);
    const int labelWidth = QFontMetrics(editorFont()).horizontalAdvance(kSoundLabels[6]) + 8;
    duringGrid->setColumnMinimumWidth(0, labelWidth);
    afterGrid->setColumnMinimumWidth(0, labelWidth);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(during);
    layout->addWidget(after);
    layout->addStretch(1);
}

// ---------------------------------------------------------------- loading

void frmOptions::Form_Load() {
    SSTab1->setCurrentIndex(std::clamp(globals_.lastOptionsTab, 0, SSTab1->count() - 1));
    imageTabChanged_ = femaleLinesChanged_ = maleLinesChanged_ = soundTabChanged_ = false;
    // Nothing to apply until something changes.
    cmdOK->setEnabled(false);

    Label1->setText(kAddPrompt);
    fraSample1->setEnabled(true);
    Frame3->setEnabled(true);
    Frame2->setEnabled(false);
    lastMode_ = Mode::Add;

    if (state_.memberCount < kMaxMembers) {
        Option1->setEnabled(true);
    } else {
        Option1->setEnabled(false);
        Option2->setChecked(true);
        Frame3->setEnabled(false);
    }
    Option2->setEnabled(state_.memberCount > kMinMembers);

    fillCombo1();

    for (int k = 0; k < kLinesPerSet; ++k) {
        setBoxText(Text11[k], q(state_.femaleLines[k + 1]));
        setBoxText(Text12[k], q(state_.maleLines[k + 1]));
    }
    for (int k = 0; k < kSoundFiles; ++k) setBoxText(Text20[k], q(state_.soundFiles[k + 1]));
}

// ---------------------------------------------------------------- modes

frmOptions::Mode frmOptions::mode() const {
    if (Option2->isChecked()) return Mode::Delete;
    if (Option3->isChecked()) return Mode::Change;
    return Mode::Add;
}

void frmOptions::Option1_Click() {
    if (state_.memberCount < kMaxMembers) {
        Label1->setText(kAddPrompt);
        fraSample1->setEnabled(true);
        Frame3->setEnabled(true);
        Frame4->setEnabled(true);
        Frame2->setEnabled(false);
        lastMode_ = Mode::Add;
        return;
    }
    QPointer<frmOptions> alive(this);
    showMessageBox(this, QMessageBox::Warning, kChoiceError, QStringLiteral("これ以上画像は追加できません！"),
                   QMessageBox::Ok | QMessageBox::Cancel);
    if (!alive) return;
    // The mode stays what it was, and so does its button.
    for (QRadioButton* option : {Option1, Option2, Option3}) option->blockSignals(true);
    (lastMode_ == Mode::Delete ? Option2 : lastMode_ == Mode::Change ? Option3 : Option1)->setChecked(true);
    for (QRadioButton* option : {Option1, Option2, Option3}) option->blockSignals(false);
}

void frmOptions::Option2_Click() {
    if (state_.memberCount > kMinMembers) {
        Label1->setText(kDeletePrompt);
        Frame2->setEnabled(true);
        fraSample1->setEnabled(false);
        Frame3->setEnabled(false);
        Frame4->setEnabled(false);
        cmdOK->setEnabled(false);
        lastMode_ = Mode::Delete;
        return;
    }
    QPointer<frmOptions> alive(this);
    showMessageBox(this, QMessageBox::Warning, kChoiceError, QStringLiteral("これ以上画像は削除できません！"),
                   QMessageBox::Ok | QMessageBox::Cancel);
    if (!alive) return;
    for (QRadioButton* option : {Option1, Option2, Option3}) option->blockSignals(true);
    (lastMode_ == Mode::Change ? Option3 : Option1)->setChecked(true);
    for (QRadioButton* option : {Option1, Option2, Option3}) option->blockSignals(false);
}

void frmOptions::Option3_Click() {
    Label1->setText(kChangePrompt);
    Frame2->setEnabled(true);
    const bool chosen = !Combo1->currentText().isEmpty();
    fraSample1->setEnabled(chosen);
    Frame3->setEnabled(chosen);
    Frame4->setEnabled(chosen);
    lastMode_ = Mode::Change;
}

// ---------------------------------------------------------------- member list

void frmOptions::fillCombo1() {
    const QSignalBlocker blocker(Combo1);
    Combo1->clear();
    for (int member = 1; member <= state_.memberCount && member <= kMaxMembers; ++member) {
        Combo1->addItem(QStringLiteral("%1 : %2").arg(member).arg(q(state_.memberName[member])));
    }
    Combo1->setCurrentIndex(-1);
}

void frmOptions::selectInCombo1(int listIndex) {
    if (listIndex < 0 || listIndex >= Combo1->count()) {
        const QSignalBlocker blocker(Combo1);
        Combo1->setCurrentIndex(-1);
        return;
    }
    {
        const QSignalBlocker blocker(Combo1);
        Combo1->setCurrentIndex(listIndex);
    }
    Combo1_Click(listIndex);
}

bool frmOptions::memberChosen() const {
    const int member = globals_.selectedMember;
    return member >= 1 && member <= state_.memberCount && member <= kMaxMembers &&
           Combo1->currentIndex() == member - 1;
}

void frmOptions::Combo1_Click(int listIndex) {
    if (listIndex < 0 || listIndex >= state_.memberCount || listIndex >= kMaxMembers) return;
    fraSample1->setEnabled(true);
    Frame3->setEnabled(true);
    Frame4->setEnabled(true);
    const int member = listIndex + 1;
    globals_.selectedMember = static_cast<int16_t>(member);
    if (mode() == Mode::Delete) {
        cmdOK->setEnabled(true);
        imageTabChanged_ = true;
    }
    for (int k = 0; k < kPicturesPerMember; ++k) setBoxText(Text1[k], q(state_.memberImage[member][k + 1]));
    setBoxText(Text5, q(state_.memberName[member]));
    if (mode() == Mode::Change) Text5->setEnabled(true);
    (state_.memberSex[member] == 1 ? Option4 : Option5)->setChecked(true);
}

// ---------------------------------------------------------------- change detection

void frmOptions::markChanged(bool& flag) {
    flag = true;
    cmdOK->setEnabled(true);
}

namespace {

// The stored value of a member, or nothing for a number outside the list.
std::string memberValue(const MatchState& state, int member, int picture) {
    if (member < 1 || member > state.memberCount || member > kMaxMembers) return {};
    return picture == 0 ? state.memberName[member] : state.memberImage[member][picture];
}

}  // namespace

void frmOptions::Text1_Change(int index) {
    if (Text1[index]->text().isEmpty()) return;
    const Mode now = mode();
    if (now == Mode::Add ||
        (now == Mode::Change && s(Text1[index]) != memberValue(state_, globals_.selectedMember, index + 1))) {
        markChanged(imageTabChanged_);
    }
}

void frmOptions::Text5_Change() {
    // The box's own limit keeps the name within 8 bytes as it is typed.
    if (Text5->text().isEmpty()) return;
    const Mode now = mode();
    if (now == Mode::Add || (now == Mode::Change && s(Text5) != memberValue(state_, globals_.selectedMember, 0))) {
        markChanged(imageTabChanged_);
    }
}

void frmOptions::Text11_Change(int index) {
    if (s(Text11[index]) != state_.femaleLines[index + 1]) markChanged(femaleLinesChanged_);
}

void frmOptions::Text12_Change(int index) {
    if (s(Text12[index]) != state_.maleLines[index + 1]) markChanged(maleLinesChanged_);
}

void frmOptions::Text20_Change(int index) {
    if (s(Text20[index]) != state_.soundFiles[index + 1]) markChanged(soundTabChanged_);
}

// ---------------------------------------------------------------- choosers

void frmOptions::Command1_Click(int index) {
    globals_.chooserSlot = index + 1;
    QPointer<Dialog> chooser = new Dialog(Text1[index], globals_, this);
    chooser->exec();
    delete chooser.data();
}

void frmOptions::Command5_Click(int index) {
    globals_.chooserSlot = index + 1;
    QPointer<Dialog1> chooser = new Dialog1(Text20[index], globals_, this);
    chooser->exec();
    delete chooser.data();
}

// ---------------------------------------------------------------- apply

void frmOptions::cmdOK_Click() {
    globals_.lastOptionsTab = SSTab1->currentIndex();
    applyFailed_ = false;
    QPointer<frmOptions> alive(this);

    if (imageTabChanged_) {
        SSTab1->setCurrentIndex(kImageTab);
        validateImageTab();
        if (!alive) return;
        if (!applyFailed_) writeImageTab();
        if (!alive) return;
    }
    if (femaleLinesChanged_) {
        SSTab1->setCurrentIndex(kFemaleLinesTab);
        validateLines(Text11);
        if (!alive) return;
        if (!applyFailed_) writeLines(Text11, true);
        if (!alive) return;
    }
    if (maleLinesChanged_) {
        SSTab1->setCurrentIndex(kMaleLinesTab);
        validateLines(Text12);
        if (!alive) return;
        if (!applyFailed_) writeLines(Text12, false);
        if (!alive) return;
    }
    if (soundTabChanged_) {
        SSTab1->setCurrentIndex(kSoundTab);
        validateSounds();
        if (!alive) return;
        if (applyFailed_) return;
        writeSounds();
        if (!alive) return;
    }
    if (!applyFailed_) cmdOK->setEnabled(false);
}

void frmOptions::failValidation(QWidget* focus, const QString& title, const QString& text) {
    applyFailed_ = true;
    QPointer<frmOptions> alive(this);
    QPointer<QWidget> target(focus);
    warningBox(this, title, text);
    if (alive && target) target->setFocus();
}

void frmOptions::validateImageTab() {
    switch (mode()) {
        case Mode::Add:
            // A member past the twentieth has no section to go to.
            if (state_.memberCount >= kMaxMembers) {
                failValidation(Option2, kChoiceError, QStringLiteral("これ以上画像は追加できません！"));
                return;
            }
            for (QLineEdit* box : Text1) {
                if (box->text().isEmpty()) {
                    failValidation(box, kInputError, QStringLiteral("画像ファイルを指定して下さい！"));
                    return;
                }
            }
            if (Text5->text().isEmpty()) {
                failValidation(Text5, kInputError, QStringLiteral("プレイヤーの名前を入力して下さい！"));
            }
            return;
        case Mode::Change:
            // A change needs the member it changes.
            if (!memberChosen()) {
                failValidation(Combo1, kInputError, QStringLiteral("変更する画像№を選択して下さい！"));
                return;
            }
            if (!Text5->text().isEmpty() && s(Text5) != state_.memberName[globals_.selectedMember] &&
                ansiByteLength(s(Text5)) > kNameBytes) {
                failValidation(Text5, kInputError, QStringLiteral("名前は全角４文字以内で入力して下さい！"));
            }
            return;
        case Mode::Delete:
            // Four members must stay to fill the four seats.
            if (state_.memberCount <= kMinMembers) {
                failValidation(Option1, kChoiceError, QStringLiteral("これ以上画像は削除できません！"));
                return;
            }
            if (!memberChosen()) {
                failValidation(Combo1, kInputError, QStringLiteral("削除する画像№を選択して下さい！"));
            }
            return;
    }
}

void frmOptions::writeImageTab() {
    QPointer<frmOptions> alive(this);
    switch (mode()) {
        case Mode::Add: addMember(); break;
        case Mode::Delete: deleteMember(); break;
        case Mode::Change: changeMember(); break;
    }
    if (alive) updateModeLimits();
}

void frmOptions::updateModeLimits() {
    Frame3->setEnabled(true);
    if (state_.memberCount < kMaxMembers) {
        Option1->setEnabled(true);
    } else {
        Option1->setEnabled(false);
        Option2->setChecked(true);
        Frame3->setEnabled(false);
    }
    Option2->setEnabled(state_.memberCount > kMinMembers);
    // Down to four members, delete mode cannot go on: back to add mode.
    if (Option2->isChecked() && !Option2->isEnabled()) Option1->setChecked(true);
}

bool frmOptions::writeKeys(const std::vector<profile::KeyValue>& entries) {
    // Only the keys of this save, under the lock every copy of the game
    // takes: what another copy wrote meanwhile (its ranking, members this
    // save leaves alone) stays.
    if (profile::writeStringsLocked(state_.iniPath, entries)) return true;
    applyFailed_ = true;
    warningBox(this, QStringLiteral("書き込みエラー"),
               QStringLiteral("初期値ファイルに書き込めませんでした。\n変更は保存されていません。"));
    return false;
}

void frmOptions::addMember() {
    QPointer<frmOptions> alive(this);
    const bool ok = confirmBox(this, QStringLiteral("画像の追加"), QStringLiteral("画像情報を追加します。よろしいですか？"));
    if (!alive || !ok) return;

    const int member = state_.memberCount + 1;
    const std::string section = memberSection(member);
    const int16_t sex = Option4->isChecked() ? 1 : 2;
    std::vector<profile::KeyValue> entries;
    entries.push_back({"Mentu", "Ninzu", std::to_string(member)});
    entries.push_back({section, "Name", s(Text5)});
    for (int k = 1; k <= kPicturesPerMember; ++k) entries.push_back({section, memberImageKey(k), s(Text1[k - 1])});
    entries.push_back({section, "Sex", std::to_string(sex)});
    if (!writeKeys(entries)) return;

    state_.memberCount = member;
    state_.memberName[member] = s(Text5);
    for (int k = 1; k <= kPicturesPerMember; ++k) state_.memberImage[member][k] = s(Text1[k - 1]);
    state_.memberSex[member] = sex;
    state_.selectionPhase = 0;
    if (thumbnails_ && thumbnails_->thumbnailCount() == member - 1) {
        thumbnails_->addThumbnail(member - 1, state_.memberImage[member][1]);
    }

    informationBox(this, QStringLiteral("追加完了！"), QStringLiteral("画像情報を追加しました。"));
    if (!alive) return;
    fillCombo1();
    selectInCombo1(globals_.selectedMember - 1);
    imageTabChanged_ = false;
}

void frmOptions::deleteMember() {
    QPointer<frmOptions> alive(this);
    const bool ok = confirmBox(this, QStringLiteral("画像の削除"), QStringLiteral("画像情報を削除します。よろしいですか？"));
    if (!alive || !ok) return;

    const int count = state_.memberCount;
    const int removed = globals_.selectedMember;
    std::vector<profile::KeyValue> entries;
    entries.push_back({"Mentu", "Ninzu", std::to_string(count - 1)});
    for (int member = removed + 1; member <= count; ++member) {
        const std::string section = memberSection(member - 1);
        entries.push_back({section, "Name", state_.memberName[member]});
        for (int k = 1; k <= kPicturesPerMember; ++k) {
            entries.push_back({section, memberImageKey(k), state_.memberImage[member][k]});
        }
        entries.push_back({section, "Sex", std::to_string(state_.memberSex[member])});
    }
    const std::string last = memberSection(count);
    entries.push_back({last, "Name", ""});
    for (int k = 1; k <= kPicturesPerMember; ++k) entries.push_back({last, memberImageKey(k), ""});
    entries.push_back({last, "Sex", ""});
    if (!writeKeys(entries)) return;

    for (int member = removed + 1; member <= count; ++member) {
        state_.memberName[member - 1] = state_.memberName[member];
        state_.memberImage[member - 1] = state_.memberImage[member];
        state_.memberSex[member - 1] = state_.memberSex[member];
    }
    state_.memberName[count].clear();
    for (std::string& picture : state_.memberImage[count]) picture.clear();
    state_.memberSex[count] = 0;
    state_.memberCount = count - 1;
    state_.selectionPhase = 0;
    if (thumbnails_) {
        for (int member = removed + 1; member <= count; ++member) {
            if (member - 2 < thumbnails_->thumbnailCount()) {
                thumbnails_->setThumbnailPicture(member - 2, state_.memberImage[member - 1][1]);
            }
        }
        if (thumbnails_->thumbnailCount() == count) thumbnails_->removeThumbnail(count - 1);
    }

    informationBox(this, QStringLiteral("削除完了！"), QStringLiteral("画像情報を削除しました。"));
    if (!alive) return;
    fillCombo1();
    selectInCombo1(state_.memberCount - 1);
    imageTabChanged_ = false;
}

void frmOptions::changeMember() {
    QPointer<frmOptions> alive(this);
    const bool ok = confirmBox(this, QStringLiteral("画像の変更"), QStringLiteral("画像情報を変更します。よろしいですか？"));
    if (!alive || !ok) return;

    const int member = globals_.selectedMember;
    const std::string section = memberSection(member);
    std::vector<profile::KeyValue> entries;
    const bool newName = !Text5->text().isEmpty() && s(Text5) != state_.memberName[member];
    if (newName) entries.push_back({section, "Name", s(Text5)});
    std::array<bool, kPicturesPerMember + 1> newPicture{};
    for (int k = 1; k <= kPicturesPerMember; ++k) {
        newPicture[k] = !Text1[k - 1]->text().isEmpty() && s(Text1[k - 1]) != state_.memberImage[member][k];
        if (newPicture[k]) entries.push_back({section, memberImageKey(k), s(Text1[k - 1])});
    }
    const int16_t sex = Option4->isChecked() ? 1 : 2;
    const bool newSex = sex != state_.memberSex[member];
    if (newSex) entries.push_back({section, "Sex", std::to_string(sex)});
    if (!entries.empty() && !writeKeys(entries)) return;

    if (newName) state_.memberName[member] = s(Text5);
    for (int k = 1; k <= kPicturesPerMember; ++k) {
        if (newPicture[k]) state_.memberImage[member][k] = s(Text1[k - 1]);
    }
    if (newSex) state_.memberSex[member] = sex;
    state_.selectionPhase = 0;
    if (thumbnails_ && member - 1 < thumbnails_->thumbnailCount()) {
        thumbnails_->setThumbnailPicture(member - 1, state_.memberImage[member][1]);
    }

    informationBox(this, QStringLiteral("変更完了！"), QStringLiteral("画像情報を変更しました。"));
    if (!alive) return;
    fillCombo1();
    selectInCombo1(member - 1);
    imageTabChanged_ = false;
}

void frmOptions::validateLines(const std::array<QLineEdit*, kLinesPerSet>& boxes) {
    for (QLineEdit* box : boxes) {
        if (box->text().isEmpty()) {
            failValidation(box, kInputError, QStringLiteral("コンピュータのセリフを全て入力して下さい！"));
            return;
        }
    }
}

void frmOptions::writeLines(const std::array<QLineEdit*, kLinesPerSet>& boxes, bool female) {
    QPointer<frmOptions> alive(this);
    const bool ok = confirmBox(this, QStringLiteral("セリフの更新"), QStringLiteral("セリフ情報を更新します。よろしいですか？"));
    if (!alive || !ok) return;

    std::vector<profile::KeyValue> entries;
    for (int line = 1; line <= kLinesPerSet; ++line) {
        entries.push_back({"Serifu", female ? femaleLineKey(line) : maleLineKey(line), s(boxes[line - 1])});
    }
    if (!writeKeys(entries)) return;
    auto& lines = female ? state_.femaleLines : state_.maleLines;
    for (int line = 1; line <= kLinesPerSet; ++line) lines[line] = s(boxes[line - 1]);
    (female ? femaleLinesChanged_ : maleLinesChanged_) = false;

    informationBox(this, QStringLiteral("変更完了！"), QStringLiteral("セリフ情報を変更しました。"));
}

void frmOptions::validateSounds() {
    for (QLineEdit* box : Text20) {
        if (box->text().isEmpty()) {
            failValidation(box, kInputError, QStringLiteral("サウンド情報を全て入力して下さい！"));
            return;
        }
    }
}

void frmOptions::writeSounds() {
    QPointer<frmOptions> alive(this);
    const bool ok = confirmBox(this, QStringLiteral("サウンドの更新"), QStringLiteral("サウンド情報を更新します。よろしいですか？"));
    if (!alive || !ok) return;

    std::vector<profile::KeyValue> entries;
    for (int sound = 1; sound <= kSoundFiles; ++sound) {
        entries.push_back({"Saundo", soundFileKey(sound), s(Text20[sound - 1])});
    }
    if (!writeKeys(entries)) return;
    for (int sound = 1; sound <= kSoundFiles; ++sound) state_.soundFiles[sound] = s(Text20[sound - 1]);
    soundTabChanged_ = false;

    informationBox(this, QStringLiteral("変更完了！"), QStringLiteral("サウンド情報を変更しました。"));
}

// ---------------------------------------------------------------- close

void frmOptions::cmdCancel_Click() {
    globals_.lastOptionsTab = SSTab1->currentIndex();
    reject();
}

}  // namespace vantel
