// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// vantel-load: T tables of 4 bot clients against a real vantel-server on
// loopback. It starts the server itself (so that it can read the server's
// CPU time and peak memory from /proc), fills the tables, lets them play for
// a fixed time and reports moves per second, the latency from a move sent to
// the next message received (p50, p99), the server's CPU and peak RSS, and
// errors. Every connection goes to 127.0.0.1; the run ends by itself.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "tools/load/table_client.h"

using vantel::client::TableClient;
using vantel::client::waitUntil;

namespace {

struct ProcStats {
    double cpuSeconds = 0;
    long peakRssKb = 0;
    long rssKb = 0;
};

ProcStats readProc(qint64 pid) {
    ProcStats s;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        // Fields after the name: state is [0]; utime [11], stime [12].
        if (fields.size() > 12) s.cpuSeconds = (fields[11].toDouble() + fields[12].toDouble()) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) s.peakRssKb = line.mid(6).trimmed().split(' ').first().toLong();
            if (line.startsWith("VmRSS:")) s.rssKb = line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return s;
}

double percentile(std::vector<double>& v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5));
    return v[i];
}

struct Table {
    std::vector<std::unique_ptr<TableClient>> seats;  // [0] created the table
};

// A thread of bots: its tables' clients live and play on its own event loop.
class Bots : public QThread {
public:
    Bots(QUrl url, int first, int count, int pace, int ramp) : url_(std::move(url)), first_(first), count_(count), pace_(pace), ramp_(ramp) {}

    std::atomic<int> ready{0};  // 1 filled, -1 failed
    std::atomic<bool> measuring{false};
    std::atomic<bool> stop{false};
    // Read after the thread ends.
    long moves = 0;
    int errors = 0;
    int disconnected = 0;
    std::vector<double> latencies;

protected:
    void run() override {
        std::vector<Table> all(static_cast<size_t>(count_));
        if (!fill(all)) {
            ready = -1;
            return;
        }
        int serial = first_ * 4;
        for (Table& t : all) {
            for (auto& c : t.seats) {
                const int delay = pace_ <= 0 ? 0 : pace_ / 2 + static_cast<int>(QRandomGenerator::global()->bounded(pace_ + 1));
                c->setAutoPlay(true, delay, static_cast<uint64_t>(++serial));
            }
            // The host starts the next match at a match's end.
            TableClient* host = t.seats[0].get();
            QObject::connect(host, &TableClient::received, host, [host](const QJsonObject& m) {
                if (m.value("type").toString() != QLatin1String("events")) return;
                for (const QJsonValue& e : m.value("events").toArray()) {
                    if (e.toObject().value("kind").toString() == QLatin1String("match_closed")) host->start(host->room, host->hostToken);
                }
            });
            host->start(host->room, host->hostToken);
        }
        ready = 1;
        auto sent = [&] {
            long n = 0;
            for (Table& t : all)
                for (auto& c : t.seats) n += c->movesSent;
            return n;
        };
        waitUntil([&] { return measuring.load() || stop.load(); }, 600'000);
        for (Table& t : all)
            for (auto& c : t.seats) c->latencies.clear();
        const long before = sent();
        waitUntil([&] { return !measuring.load() || stop.load(); }, 3'600'000);
        moves = sent() - before;
        for (Table& t : all) {
            for (auto& c : t.seats) {
                latencies.insert(latencies.end(), c->latencies.begin(), c->latencies.end());
                errors += static_cast<int>(c->errors.size()) + c->movesRefused;
                disconnected += c->disconnected ? 1 : 0;
            }
        }
        waitUntil([&] { return stop.load(); }, 600'000);
        for (Table& t : all)
            for (auto& c : t.seats) c->abort();
    }

private:
    // A host creates each table, three more join, and the host takes a seat
    // too; a slice at a time, so the server is not hit by all at once.
    bool fill(std::vector<Table>& all) {
        const int step = std::max(1, ramp_ / 4);
        for (int from = 0; from < count_; from += step) {
            const int to = std::min(count_, from + step);
            auto each = [&](const std::function<bool(Table&)>& f) {
                for (int t = from; t < to; ++t)
                    if (!f(all[static_cast<size_t>(t)])) return false;
                return true;
            };
            for (int t = from; t < to; ++t) {
                for (int s = 0; s < 4; ++s) {
                    auto c = std::make_unique<TableClient>();
                    c->setKeepAll(false);
                    c->open(url_);
                    all[static_cast<size_t>(t)].seats.push_back(std::move(c));
                }
            }
            if (!waitUntil([&] { return each([](Table& t) { return std::all_of(t.seats.begin(), t.seats.end(), [](auto& c) { return c->welcomed(); }); }); }, 60'000))
                return false;
            for (int t = from; t < to; ++t) all[static_cast<size_t>(t)].seats[0]->create();
            if (!waitUntil([&] { return each([](Table& t) { return !t.seats[0]->hostToken.isEmpty(); }); }, 60'000)) return false;
            for (int t = from; t < to; ++t) {
                Table& table = all[static_cast<size_t>(t)];
                for (int s = 0; s < 4; ++s) table.seats[static_cast<size_t>(s)]->join(table.seats[0]->room, QStringLiteral("bot%1").arg(s + 1), s + 1);
            }
            if (!waitUntil([&] { return each([](Table& t) { return std::all_of(t.seats.begin(), t.seats.end(), [](auto& c) { return c->seat >= 1; }); }); }, 60'000))
                return false;
        }
        return true;
    }

    QUrl url_;
    int first_;
    int count_;
    int pace_;
    int ramp_;
};

}  // namespace

int main(int argc, char** argv) {
    // Qt's GLib event loop keeps its sockets in a list that every
    // write-notifier change walks: with thousands of connections that walk
    // is most of the time spent. Qt's own loop keeps them in a hash.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Load test of vantel-server on loopback."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("server"), QStringLiteral("The vantel-server program."), QStringLiteral("PATH")},
        {QStringLiteral("data"), QStringLiteral("Journal folder (on a real disk); a fresh one inside it is used."), QStringLiteral("DIR")},
        {QStringLiteral("tables"), QStringLiteral("Tables (4 clients each)."), QStringLiteral("T"), QStringLiteral("100")},
        {QStringLiteral("pace"), QStringLiteral("Mean milliseconds a bot thinks (0: flat out)."), QStringLiteral("MS"), QStringLiteral("1000")},
        {QStringLiteral("seconds"), QStringLiteral("Seconds measured after every table is playing."), QStringLiteral("S"), QStringLiteral("30")},
        {QStringLiteral("ramp"), QStringLiteral("Connections opened at once while filling."), QStringLiteral("N"), QStringLiteral("200")},
    });
    parser.process(app);
    const QString serverPath = parser.value(QStringLiteral("server"));
    const int tables = parser.value(QStringLiteral("tables")).toInt();
    const int pace = parser.value(QStringLiteral("pace")).toInt();
    const int seconds = parser.value(QStringLiteral("seconds")).toInt();
    const int ramp = std::max(1, parser.value(QStringLiteral("ramp")).toInt());
    if (serverPath.isEmpty() || tables < 1 || seconds < 1 || seconds > 3600) {
        std::fprintf(stderr, "vantel-load: --server PATH is needed; --tables >= 1; --seconds 1..3600\n");
        return 2;
    }
    QTemporaryDir data(parser.isSet(QStringLiteral("data")) ? parser.value(QStringLiteral("data")) + QStringLiteral("/load-XXXXXX")
                                                            : QDir::tempPath() + QStringLiteral("/load-XXXXXX"));

    QProcess server;
    server.setProgram(serverPath);
    server.setArguments({QStringLiteral("--listen"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QStringLiteral("0"),
                         QStringLiteral("--data"), data.path(), QStringLiteral("--tables-per-hour"), QStringLiteral("0"),
                         QStringLiteral("--max-tables"), QString::number(tables + 10),
                         QStringLiteral("--max-connections"), QString::number(tables * 4 + 100),
                         // Flat out, a bot moves faster than the 20 messages a
                         // second a person is allowed.
                         QStringLiteral("--max-rate"), pace <= 0 ? QStringLiteral("10000") : QStringLiteral("20")});
    quint16 port = 0;
    QByteArray serverLog;
    QObject::connect(&server, &QProcess::readyReadStandardError, [&] {
        const QByteArray chunk = server.readAllStandardError();
        if (port == 0) {
            serverLog += chunk;
            static const QRegularExpression listening(QStringLiteral("port (\\d+) \\("));
            const auto m = listening.match(QString::fromUtf8(serverLog));
            if (m.hasMatch()) port = static_cast<quint16>(m.captured(1).toUInt());
        }
    });
    server.start();
    if (!waitUntil([&] { return port != 0; }, 10'000)) {
        std::fprintf(stderr, "vantel-load: the server did not start: %s\n", serverLog.constData());
        return 1;
    }
    const QUrl url(QStringLiteral("ws://127.0.0.1:%1/socket").arg(port));

    // The bots run on a few threads, each with its own event loop and its
    // share of the tables: Qt's event loop polls every socket it watches on
    // each pass, so one loop over thousands of sockets would measure the
    // tool, not the server.
    const int threads = std::clamp(tables / 250, 1, 8);
    std::vector<std::unique_ptr<Bots>> bots;
    int first = 0;
    for (int i = 0; i < threads; ++i) {
        const int count = tables / threads + (i < tables % threads ? 1 : 0);
        bots.push_back(std::make_unique<Bots>(url, first, count, pace, ramp));
        first += count;
        bots.back()->start();
    }
    // On a failure the bot threads that did fill their tables are told to
    // end and waited for, so that the report is the last line, not an abort.
    const auto giveUp = [&](const char* why) {
        std::fprintf(stderr, "vantel-load: %s\n", why);
        for (auto& b : bots) b->stop = true;
        for (auto& b : bots) b->wait();
        std::printf("tables=%d connections=%d pace_ms=%d failed: %s\n", tables, tables * 4, pace, why);
        server.terminate();
        if (!server.waitForFinished(10'000)) server.kill();
        return 1;
    };
    if (!waitUntil([&] { return std::all_of(bots.begin(), bots.end(), [](auto& b) { return b->ready.load() != 0; }); }, 600'000))
        return giveUp("the tables were not filled in time");
    if (std::any_of(bots.begin(), bots.end(), [](auto& b) { return b->ready.load() < 0; })) return giveUp("filling the tables failed");
    // Warm up, then measure.
    waitUntil([] { return false; }, 3000);
    for (auto& b : bots) b->measuring = true;
    const ProcStats before = readProc(server.processId());
    QElapsedTimer window;
    window.start();
    long peakRss = 0;
    while (window.elapsed() < seconds * 1000LL) {
        waitUntil([] { return false; }, 500);
        peakRss = std::max(peakRss, readProc(server.processId()).peakRssKb);
    }
    for (auto& b : bots) b->measuring = false;
    const double elapsed = static_cast<double>(window.elapsed()) / 1000.0;
    const ProcStats after = readProc(server.processId());
    for (auto& b : bots) {
        b->stop = true;
        b->wait();
    }
    long moves = 0;
    int errors = 0;
    int disconnected = 0;
    std::vector<double> latencies;
    for (auto& b : bots) {
        moves += b->moves;
        errors += b->errors;
        disconnected += b->disconnected;
        latencies.insert(latencies.end(), b->latencies.begin(), b->latencies.end());
    }
    const double p50 = percentile(latencies, 0.50);
    const double p99 = percentile(latencies, 0.99);
    std::printf("tables=%d connections=%d pace_ms=%d seconds=%.1f moves=%ld moves_per_s=%.1f p50_ms=%.2f p99_ms=%.2f "
                "server_cpu=%.0f%% server_peak_rss_mb=%.1f errors=%d disconnected=%d\n",
                tables, tables * 4, pace, elapsed, moves, static_cast<double>(moves) / elapsed, p50, p99,
                100.0 * (after.cpuSeconds - before.cpuSeconds) / elapsed, static_cast<double>(std::max(peakRss, after.peakRssKb)) / 1024.0,
                errors, disconnected);
    std::fflush(stdout);
    server.terminate();
    if (!server.waitForFinished(10'000)) server.kill();
    return errors == 0 && disconnected == 0 ? 0 : 1;
}
