// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/secrets.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace vantel::net {

QString newRoomCode() {
    QString code;
    code.reserve(kRoomCodeLength);
    // bounded() on the system generator draws without modulo bias.
    auto* random = QRandomGenerator::system();
    for (int i = 0; i < kRoomCodeLength; ++i)
        code.append(QLatin1Char(kRoomAlphabet[random->bounded(kRoomAlphabetSize)]));
    return code;
}

std::optional<QString> normalRoomCode(const QString& typed) {
    QString code;
    for (const QChar c : typed) {
        if (c == QLatin1Char('-') || c == QLatin1Char(' ')) continue;
        const QChar upper = c.toUpper();
        if (upper.unicode() > 127) return std::nullopt;
        bool known = false;
        for (int i = 0; i < kRoomAlphabetSize; ++i) known = known || kRoomAlphabet[i] == upper.toLatin1();
        if (!known) return std::nullopt;
        code.append(upper);
        if (code.size() > kRoomCodeLength) return std::nullopt;
    }
    if (code.size() != kRoomCodeLength) return std::nullopt;
    return code;
}

QString displayRoomCode(const QString& code) {
    if (code.size() != kRoomCodeLength) return code;
    return code.left(3) + QLatin1Char('-') + code.mid(3, 3) + QLatin1Char('-') + code.mid(6);
}

QString newToken() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray bytes(reinterpret_cast<const char*>(words), sizeof words);
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString tokenHash(const QString& token) {
    return QString::fromLatin1(QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool sameHash(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    ushort difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i) difference |= a.at(i).unicode() ^ b.at(i).unicode();
    return difference == 0;
}

QString cleanName(const QString& typed) {
    QString kept;
    kept.reserve(typed.size());
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QChar c = typed.at(i);
        if (c.isHighSurrogate() && i + 1 < typed.size() && typed.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, typed.at(i + 1));
            const auto category = QChar::category(code);
            if (category != QChar::Other_Control && category != QChar::Other_Format) {
                kept.append(c);
                kept.append(typed.at(i + 1));
            }
            ++i;
            continue;
        }
        if (c.isSurrogate()) continue;  // half a pair: not text
        const auto category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format) continue;
        // Line and paragraph separators would break a name over lines.
        if (category == QChar::Separator_Line || category == QChar::Separator_Paragraph) continue;
        kept.append(c);
    }
    return kept.trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.normalized(QString::NormalizationForm_KC).toCaseFolded() ==
           b.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

}  // namespace vantel::net
