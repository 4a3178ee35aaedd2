// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vantel-server: the table server on its own, for an always-on host.

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "server/epoll_dispatcher.h"
#include "server/table_server.h"

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void print(FILE* to, const QString& text) {
    const QByteArray bytes = (text.endsWith(QLatin1Char('\n')) ? text : text + QLatin1Char('\n')).toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), to);
}

}  // namespace

int main(int argc, char** argv) {
    // Neither of Qt's own event loops suits thousands of sockets: the GLib
    // one walks a list of them on every write-notifier change, the Unix one
    // hands the kernel all of them on every pass. The server's loop runs on
    // epoll instead.
    QCoreApplication::setEventDispatcher(new vantel::net::EpollEventDispatcher);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantel-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTEL_VERSION));

    vantel::net::ServerOptions options;
    QString text;
    switch (vantel::net::parseCommandLine(QCoreApplication::arguments(), options, text)) {
        case vantel::net::CommandLine::Help:
        case vantel::net::CommandLine::Version:
            print(stdout, text);
            return 0;
        case vantel::net::CommandLine::Error:
            print(stderr, text);
            return 2;
        case vantel::net::CommandLine::Run:
            break;
    }
    // A refused upgrade makes Qt HTTP Server warn that nobody took the
    // socket; the server logs each refusal itself, with its reason.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.httpserver.warning=false"));
    // Journals and everything else the server writes are its user's alone.
    ::umask(077);
    std::signal(SIGPIPE, SIG_IGN);

    vantel::net::TableServer server;
    QString why;
    if (!server.start(options, &why)) return 1;

    // SIGTERM and SIGINT stop the server cleanly: clients are told, the
    // journals stay for the next start.
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &server, [&server, notifier] {
            char byte;
            while (::read(signalPipe[0], &byte, 1) > 0) {}
            notifier->setEnabled(false);
            server.stop(QStringLiteral("server_stopping"), QStringLiteral("サーバーが止まります。しばらくしてからつなぎ直してください。"));
        });
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }
    QObject::connect(&server, &vantel::net::TableServer::stopped, &app, [] { QCoreApplication::exit(0); });
    return app.exec();
}
