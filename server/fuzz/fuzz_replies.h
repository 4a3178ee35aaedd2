// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What both fuzz targets keep of the server's replies: the room, the host's
// and the seats' tokens and the last event each connection saw, so that
// later messages of an input can use them. A reply that is not a JSON
// object with a type, or a close code outside the protocol's, is a fault.
#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdlib>

namespace vantel::net::fuzz {

struct Seen {
    QString room;
    QString hostToken;
    std::array<QString, 4> token;
    std::array<uint64_t, 4> last{};
};

// The reply `text` as an object; anything else is a fault.
inline QJsonObject checkedReply(const QByteArray& text) {
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    if (!doc.isObject() || !doc.object().value(QLatin1String("type")).isString()) std::abort();
    return doc.object();
}

// Takes the reply `text` to connection slot `slot` (0..3).
inline void takeReply(Seen& seen, size_t slot, const QByteArray& text) {
    // Events are numbers, names and lines escaped by QJsonDocument; the
    // server's own tests check their form byte for byte, and reading every
    // one back as JSON would be most of a run here. Their last number is
    // read off the text.
    static const QByteArray eventsStart = QByteArrayLiteral("{\"events\":[{");
    static const QByteArray eventsEnd = QByteArrayLiteral("}],\"type\":\"events\"}");
    if (text.startsWith(eventsStart) && text.endsWith(eventsEnd)) {
        const qsizetype at = text.lastIndexOf("\"seq\":");
        if (at < 0) std::abort();
        bool ok = false;
        const qsizetype from = at + 6;
        qsizetype to = from;
        while (to < text.size() && text[to] >= '0' && text[to] <= '9') ++to;
        seen.last[slot] = text.mid(from, to - from).toULongLong(&ok);
        if (!ok) std::abort();
        return;
    }
    const QJsonObject m = checkedReply(text);
    const QString type = m.value(QLatin1String("type")).toString();
    if (type == QLatin1String("created")) {
        seen.room = m.value(QLatin1String("room")).toString();
        seen.hostToken = m.value(QLatin1String("hostToken")).toString();
    } else if (type == QLatin1String("seated") && m.contains(QLatin1String("token"))) {
        seen.token[slot] = m.value(QLatin1String("token")).toString();
    } else if (type == QLatin1String("events")) {
        for (const QJsonValue& e : m.value(QLatin1String("events")).toArray())
            seen.last[slot] = static_cast<uint64_t>(e.toObject().value(QLatin1String("seq")).toDouble());
    }
}

inline void checkCloseCode(int code) {
    if (code < 1000 || code > 4999) std::abort();
}

}  // namespace vantel::net::fuzz
