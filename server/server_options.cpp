// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "server/server_options.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

#include <filesystem>

#include "records/settings.h"

namespace vantel::net {

std::vector<Member> factoryMembers(const QString& dataFolder) {
    std::vector<Member> members;
    const std::filesystem::path folder = QFile::encodeName(dataFolder).toStdString();
    for (int member = 1; member <= 4; ++member) {
        Member m;
        m.name = QString::fromUtf8(kDefaultMemberNames[member].data(), static_cast<qsizetype>(kDefaultMemberNames[member].size()));
        m.sex = 1;
        for (int picture = 1; picture <= 4; ++picture)
            m.pictures[picture - 1] = QString::fromStdString(defaultMemberImage(folder, member, picture));
        members.push_back(m);
    }
    return members;
}

QString gameDataFolder() {
    return QString::fromStdString(programSettingsLocation().programFolder.string());
}

QString defaultDataDir() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/vantel/server");
}

namespace {

bool readInt(const QCommandLineParser& parser, const QString& name, int low, int high, int& out, QString& text) {
    if (!parser.isSet(name)) return true;
    bool ok = false;
    const qlonglong value = parser.value(name).toLongLong(&ok);
    if (!ok || value < low || value > high) {
        text = QStringLiteral("vantel-server: --%1 must be a whole number from %2 to %3, not \"%4\"")
                   .arg(name)
                   .arg(low)
                   .arg(high)
                   .arg(parser.value(name));
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments, ServerOptions& options, QString& text) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Holds tables of Sevens for friends: rooms, seats and the browser page on one port."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QList<QCommandLineOption> list{
        {QStringLiteral("port"), QStringLiteral("Port for the page and the socket (default 7777)."), QStringLiteral("PORT")},
        {QStringLiteral("listen"), QStringLiteral("Address to listen on (default: every interface)."), QStringLiteral("ADDRESS")},
        {QStringLiteral("data"), QStringLiteral("Folder for the tables' journals (default: the user's data folder)."), QStringLiteral("DIR")},
        {QStringLiteral("cert"), QStringLiteral("TLS certificate (PEM); with --key, serve https and wss."), QStringLiteral("FILE")},
        {QStringLiteral("key"), QStringLiteral("TLS private key (PEM)."), QStringLiteral("FILE")},
        {QStringLiteral("web"), QStringLiteral("Folder of the browser page (default: web/ in the game's data)."), QStringLiteral("DIR")},
        {QStringLiteral("allow-origin"), QStringLiteral("Another origin browsers may connect from (repeatable)."), QStringLiteral("ORIGIN")},
        {QStringLiteral("max-tables"), QStringLiteral("Most tables at once (default 5000)."), QStringLiteral("N")},
        {QStringLiteral("max-connections"), QStringLiteral("Most connections at once (default 20000)."), QStringLiteral("N")},
        {QStringLiteral("max-message"), QStringLiteral("Longest message in bytes (default 4096)."), QStringLiteral("BYTES")},
        {QStringLiteral("max-rate"), QStringLiteral("Most messages a second per connection (default 20)."), QStringLiteral("N")},
        {QStringLiteral("tables-per-hour"), QStringLiteral("New tables an hour from one address, 0 for no limit (default 10)."), QStringLiteral("N")},
        {QStringLiteral("handshake-timeout"), QStringLiteral("Seconds to complete a handshake (default 10)."), QStringLiteral("S")},
        {QStringLiteral("ping-interval"), QStringLiteral("Seconds between pings (default 10)."), QStringLiteral("S")},
        {QStringLiteral("ping-timeout"), QStringLiteral("Seconds without an answer before a connection counts as lost (default 30)."), QStringLiteral("S")},
        {QStringLiteral("grace"), QStringLiteral("Seconds before a computer plays for a person who is gone (default 20)."), QStringLiteral("S")},
        {QStringLiteral("idle-close"), QStringLiteral("Seconds a table with nobody connected is kept (default 600)."), QStringLiteral("S")},
        {QStringLiteral("playouts"), QStringLiteral("Playouts per move of the strong computers (default 300)."), QStringLiteral("N")},
    };
    parser.addOptions(list);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(arguments)) {
        text = QStringLiteral("vantel-server: %1\nTry 'vantel-server --help'.").arg(parser.errorText());
        return CommandLine::Error;
    }
    if (parser.isSet(help)) {
        text = parser.helpText();
        return CommandLine::Help;
    }
    if (parser.isSet(version)) {
        text = QStringLiteral("vantel-server %1 (protocol %2)").arg(QCoreApplication::applicationVersion()).arg(kProtocolVersion);
        return CommandLine::Version;
    }
    if (!parser.positionalArguments().isEmpty()) {
        text = QStringLiteral("vantel-server: unexpected argument \"%1\"\nTry 'vantel-server --help'.")
                   .arg(parser.positionalArguments().first());
        return CommandLine::Error;
    }
    int port = options.port;
    if (!readInt(parser, QStringLiteral("port"), 0, 65535, port, text)) return CommandLine::Error;
    options.port = static_cast<quint16>(port);
    if (parser.isSet(QStringLiteral("listen"))) {
        QHostAddress address;
        if (!address.setAddress(parser.value(QStringLiteral("listen")))) {
            text = QStringLiteral("vantel-server: --listen needs an IP address, not \"%1\"").arg(parser.value(QStringLiteral("listen")));
            return CommandLine::Error;
        }
        options.listen = address;
    }
    if (parser.isSet(QStringLiteral("data"))) options.dataDir = parser.value(QStringLiteral("data"));
    if (parser.isSet(QStringLiteral("web"))) options.webDir = parser.value(QStringLiteral("web"));
    options.certFile = parser.value(QStringLiteral("cert"));
    options.keyFile = parser.value(QStringLiteral("key"));
    if (options.certFile.isEmpty() != options.keyFile.isEmpty()) {
        text = QStringLiteral("vantel-server: --cert and --key go together");
        return CommandLine::Error;
    }
    for (const QString& origin : parser.values(QStringLiteral("allow-origin"))) {
        const QUrl url(origin);
        if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")) ||
            url.host().isEmpty() || !url.path().isEmpty()) {
            text = QStringLiteral("vantel-server: --allow-origin needs an origin like https://example.org, not \"%1\"").arg(origin);
            return CommandLine::Error;
        }
        options.allowedOrigins.append(origin);
    }
    LobbyLimits& limits = options.lobby.limits;
    int seconds = 0;
    if (!readInt(parser, QStringLiteral("max-tables"), 1, 1'000'000, limits.maxTables, text) ||
        !readInt(parser, QStringLiteral("max-connections"), 1, 1'000'000, options.maxConnections, text) ||
        !readInt(parser, QStringLiteral("max-message"), 256, 1 << 20, options.maxMessageBytes, text) ||
        !readInt(parser, QStringLiteral("max-rate"), 1, 10'000, limits.messagesPerSecond, text) ||
        !readInt(parser, QStringLiteral("tables-per-hour"), 0, 1'000'000, limits.tablesPerHourPerAddress, text) ||
        !readInt(parser, QStringLiteral("playouts"), 1, 100'000, options.lobby.searchPlayouts, text))
        return CommandLine::Error;
    struct Timed {
        const char* name;
        int low, high;
        std::function<void(int)> set;
    };
    const Timed timed[] = {
        {"handshake-timeout", 1, 600, [&](int s) { options.handshakeMs = s * 1000; }},
        {"ping-interval", 1, 600, [&](int s) { options.pingIntervalMs = s * 1000; }},
        {"ping-timeout", 2, 3600, [&](int s) { options.pingTimeoutMs = s * 1000; }},
        {"grace", 0, 3600, [&](int s) { options.lobby.graceMs = s * int64_t{1000}; }},
        {"idle-close", 1, 7 * 86400, [&](int s) { options.lobby.idleCloseMs = s * int64_t{1000}; }},
    };
    for (const Timed& t : timed) {
        const QString name = QLatin1String(t.name);
        if (!parser.isSet(name)) continue;
        if (!readInt(parser, name, t.low, t.high, seconds, text)) return CommandLine::Error;
        t.set(seconds);
    }
    if (options.pingTimeoutMs <= options.pingIntervalMs) {
        text = QStringLiteral("vantel-server: --ping-timeout must be longer than --ping-interval");
        return CommandLine::Error;
    }
    return CommandLine::Run;
}

}  // namespace vantel::net
