// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the server answers to a plain HTTP request: the browser page and its
// assets from the web folder, the card pictures built into the program and
// the members' portraits. Only names of a few safe characters are looked
// up, and only inside their folder.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "server/lobby.h"

namespace vantel::net {

struct StaticReply {
    int status = 404;
    QByteArray contentType;
    QByteArray body;
};

class StaticFiles {
public:
    StaticFiles(QString webDir, std::vector<Member> members);

    // The answer to GET `path` (the URL's path, already percent-decoded by
    // the caller or not: anything outside the safe characters is refused).
    StaticReply get(const QString& path) const;

    // Headers every answer carries: no caching (the page always matches its
    // server) and a policy that lets the page load and connect only to the
    // server itself.
    static const std::vector<std::pair<QByteArray, QByteArray>>& commonHeaders();

private:
    StaticReply file(const QString& folder, const QString& relative) const;
    StaticReply resource(const QString& path) const;

    QString webDir_;
    std::vector<Member> members_;
};

// The content type of a file by its name's ending.
QByteArray contentTypeFor(const QString& name);

}  // namespace vantel::net
