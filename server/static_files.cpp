// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/static_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace vantel::net {

namespace {

constexpr qint64 kMaxFileBytes = 8 << 20;

// One path segment: letters, digits, '.', '_' and '-', not starting with a dot.
bool safeSegment(const QString& s) {
    if (s.isEmpty() || s.size() > 100 || s.startsWith(QLatin1Char('.'))) return false;
    for (const QChar c : s) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' || u == '_' ||
                        u == '-';
        if (!ok) return false;
    }
    return true;
}

StaticReply notFound() { return StaticReply{404, "text/plain; charset=utf-8", "not found\n"}; }

// Shown when the browser page is not installed beside the server.
const char kNoPage[] =
    "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>Vantel</title></head>"
    "<body><p>このサーバーにはブラウザ用のページがありません。</p></body></html>\n";

}  // namespace

QByteArray contentTypeFor(const QString& name) {
    const QString n = name.toLower();
    if (n.endsWith(QLatin1String(".html"))) return "text/html; charset=utf-8";
    if (n.endsWith(QLatin1String(".js")) || n.endsWith(QLatin1String(".mjs"))) return "text/javascript; charset=utf-8";
    if (n.endsWith(QLatin1String(".css"))) return "text/css; charset=utf-8";
    if (n.endsWith(QLatin1String(".json"))) return "application/json";
    if (n.endsWith(QLatin1String(".png"))) return "image/png";
    if (n.endsWith(QLatin1String(".jpg")) || n.endsWith(QLatin1String(".jpeg"))) return "image/jpeg";
    if (n.endsWith(QLatin1String(".gif"))) return "image/gif";
    if (n.endsWith(QLatin1String(".bmp"))) return "image/bmp";
    if (n.endsWith(QLatin1String(".svg"))) return "image/svg+xml";
    if (n.endsWith(QLatin1String(".webp"))) return "image/webp";
    if (n.endsWith(QLatin1String(".ico"))) return "image/x-icon";
    if (n.endsWith(QLatin1String(".woff2"))) return "font/woff2";
    if (n.endsWith(QLatin1String(".txt"))) return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

StaticFiles::StaticFiles(QString webDir, std::vector<Member> members)
    : webDir_(std::move(webDir)), members_(std::move(members)) {}

const std::vector<std::pair<QByteArray, QByteArray>>& StaticFiles::commonHeaders() {
    static const std::vector<std::pair<QByteArray, QByteArray>> headers{
        {"Cache-Control", "no-cache"},
        {"Content-Security-Policy",
         "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
         "font-src 'self'; object-src 'none'; base-uri 'none'; form-action 'self'; frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"X-Frame-Options", "DENY"},
    };
    return headers;
}

StaticReply StaticFiles::file(const QString& folder, const QString& relative) const {
    const QStringList segments = relative.split(QLatin1Char('/'));
    for (const QString& s : segments) {
        if (!safeSegment(s)) return notFound();
    }
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty()) return notFound();
    const QFileInfo info(root + QLatin1Char('/') + relative);
    const QString real = info.canonicalFilePath();
    // A link inside the folder may not lead out of it.
    if (real.isEmpty() || !real.startsWith(root + QLatin1Char('/')) || !info.isFile() || info.size() > kMaxFileBytes)
        return notFound();
    QFile f(real);
    if (!f.open(QIODevice::ReadOnly)) return notFound();
    return StaticReply{200, contentTypeFor(real), f.readAll()};
}

StaticReply StaticFiles::resource(const QString& path) const {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return notFound();
    return StaticReply{200, contentTypeFor(path), f.readAll()};
}

StaticReply StaticFiles::get(const QString& path) const {
    if (path == QLatin1String("/") || path == QLatin1String("/index.html") ||
        (path.startsWith(QLatin1String("/r/")) && path.size() <= 3 + 20 && safeSegment(path.mid(3)))) {
        StaticReply page = file(webDir_, QStringLiteral("index.html"));
        if (page.status != 200) page = StaticReply{200, "text/html; charset=utf-8", kNoPage};
        return page;
    }
    if (path.startsWith(QLatin1String("/web/"))) return file(webDir_, path.mid(5));

    static const QRegularExpression face(QStringLiteral("^/cards/(0[1-9]|[1-4][0-9]|5[0-3])\\.png$"));
    static const QRegularExpression back(QStringLiteral("^/cards/back([1-4])\\.png$"));
    if (face.match(path).hasMatch() || back.match(path).hasMatch()) return resource(QLatin1Char(':') + path);

    static const QRegularExpression member(QStringLiteral("^/members/([0-9]{1,3})/([1-4])$"));
    if (const auto m = member.match(path); m.hasMatch()) {
        const int index = m.captured(1).toInt();
        const int picture = m.captured(2).toInt();
        if (index < 1 || index > static_cast<int>(members_.size())) return notFound();
        const QString source = members_[index - 1].pictures[picture - 1];
        QFile f(source);
        const QFileInfo info(source);
        if (!source.isEmpty() && info.isFile() && info.size() <= kMaxFileBytes && f.open(QIODevice::ReadOnly)) {
            const QByteArray type = contentTypeFor(source);
            if (type.startsWith("image/")) return StaticReply{200, type, f.readAll()};
        }
        // A picture that cannot be read shows the default portrait, as in the game.
        return resource(QStringLiteral(":/fallback/member.png"));
    }
    if (path == QLatin1String("/members.json")) {
        QJsonArray list;
        for (size_t i = 0; i < members_.size(); ++i) {
            QJsonArray images;
            for (int p = 1; p <= 4; ++p) images.append(QStringLiteral("/members/%1/%2").arg(i + 1).arg(p));
            list.append(QJsonObject{{QStringLiteral("picture"), static_cast<int>(i) + 1},
                                    {QStringLiteral("name"), members_[i].name},
                                    {QStringLiteral("sex"), members_[i].sex == 1 ? QStringLiteral("female") : QStringLiteral("male")},
                                    {QStringLiteral("images"), images}});
        }
        return StaticReply{200, "application/json", QJsonDocument(list).toJson(QJsonDocument::Compact)};
    }
    return notFound();
}

}  // namespace vantel::net
