// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/byte_limit.h"

#include <QLineEdit>
#include <algorithm>

#include "platform/profile/cp932.h"
#include "records/text_helpers.h"

namespace vantel {

int cp932Bytes(const QString& text) { return ansiByteLength(text.toStdString()); }

bool cp932CanHold(const QString& text) {
    bool lossy = false;
    cp932::fromUtf8(text.toStdString(), &lossy);
    return !lossy;
}

bool fitsSettingsBuffer(const QString& text, int bufferSize) {
    return cp932CanHold(text) && cp932Bytes(text) <= bufferSize - 1;
}

Cp932ByteLimit::Cp932ByteLimit(int maxBytes, QLineEdit* box) : QValidator(box), maxBytes_(maxBytes) {
    before_ = box->text();
    box->setValidator(this);
    connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { before_ = text; });
}

namespace {

// Length in UTF-16 units of the character that ends at `end` in `text`.
int charBefore(const QString& text, int end) {
    if (end >= 2 && text.at(end - 1).isLowSurrogate() && text.at(end - 2).isHighSurrogate()) return 2;
    return 1;
}

}  // namespace

QValidator::State Cp932ByteLimit::validate(QString& input, int& pos) const {
    if (bypass_) return Acceptable;
    if (input == before_) return Acceptable;

    // The edit replaced before_[prefix, before_.size() - suffix) with
    // input[prefix, end); find that span, on whole characters.
    const int common = static_cast<int>(std::min(input.size(), before_.size()));
    int prefix = 0;
    while (prefix < common && input.at(prefix) == before_.at(prefix)) ++prefix;
    if (prefix > 0 && input.at(prefix - 1).isHighSurrogate()) --prefix;
    int suffix = 0;
    while (suffix < common - prefix &&
           input.at(input.size() - 1 - suffix) == before_.at(before_.size() - 1 - suffix)) {
        ++suffix;
    }
    if (suffix > 0 && input.at(input.size() - suffix).isLowSurrogate()) --suffix;
    int end = static_cast<int>(input.size()) - suffix;
    const int originalEnd = end;

    // Drop what the code page cannot hold from the inserted span.
    for (int at = prefix; at < end;) {
        const int length = (input.at(at).isHighSurrogate() && at + 1 < end) ? 2 : 1;
        if (cp932CanHold(input.mid(at, length))) {
            at += length;
        } else {
            input.remove(at, length);
            end -= length;
        }
    }
    // Cut the inserted span from its end until the whole text fits. A text
    // from the settings file that is already longer may be edited without
    // growing.
    const int limit = std::max(maxBytes_, cp932Bytes(before_));
    while (cp932Bytes(input) > limit && end > prefix) {
        const int length = charBefore(input, end);
        input.remove(end - length, length);
        end -= length;
    }
    if (pos >= originalEnd) {
        pos -= originalEnd - end;
    } else if (pos > end) {
        pos = end;
    }
    pos = std::clamp(pos, 0, static_cast<int>(input.size()));

    return cp932Bytes(input) <= limit ? Acceptable : Invalid;
}

void setBoxText(QLineEdit* box, const QString& text) {
    auto* limit = qobject_cast<Cp932ByteLimit*>(const_cast<QValidator*>(box->validator()));
    if (limit) limit->bypass_ = true;
    box->setText(text);
    if (limit) limit->bypass_ = false;
}

}  // namespace vantel
