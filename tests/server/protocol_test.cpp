// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The parser takes anything and gives either a checked message or a
// refusal; codes, tokens and names keep their promises.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSet>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "records/text_helpers.h"
#include "server/protocol.h"
#include "server/secrets.h"

using namespace vantel::net;

namespace {

bool refused(const QByteArray& frame, const char* code) {
    const ParseResult r = parseClientMessage(frame);
    const auto* e = std::get_if<ParseError>(&r);
    return e && e->code == QLatin1String(code);
}

}  // namespace

TEST(Protocol, EveryWellFormedMessageIsReadBack) {
    const auto hello = parseClientMessage(R"({"type":"hello","protocol":1,"client":"x"})");
    ASSERT_TRUE(std::holds_alternative<ClientMessage>(hello));
    EXPECT_EQ(std::get<msg::Hello>(std::get<ClientMessage>(hello)).protocol, 1);

    const auto move = parseClientMessage(R"({"type":"move","id":"m1","answers":812,"move":"card","card":23})");
    ASSERT_TRUE(std::holds_alternative<ClientMessage>(move));
    const auto& m = std::get<msg::Move>(std::get<ClientMessage>(move));
    EXPECT_EQ(m.id, QStringLiteral("m1"));
    EXPECT_EQ(m.answers, 812u);
    EXPECT_EQ(m.move.kind, vantel::TurnMove::Card);
    EXPECT_EQ(m.move.card, 23);

    const auto create = parseClientMessage(R"({"type":"create","settings":{"computers":"strong","turnTimer":60,"hints":true}})");
    ASSERT_TRUE(std::holds_alternative<ClientMessage>(create));
    const TableSettings s = std::get<msg::Create>(std::get<ClientMessage>(create)).settings;
    EXPECT_EQ(s.computers, TableSettings::Computers::Strong);
    EXPECT_EQ(s.turnTimerSeconds, 60);
    EXPECT_TRUE(s.hintsAllowed);
    // Settings survive their own encoding.
    EXPECT_EQ(settingsFromJson(settingsJson(s), nullptr), s);
}

TEST(Protocol, HostileFramesAreRefusedWithTheirReason) {
    EXPECT_TRUE(refused("", "bad_json"));
    EXPECT_TRUE(refused("{", "bad_json"));
    EXPECT_TRUE(refused("[1,2]", "bad_message"));
    EXPECT_TRUE(refused("{\"type\":7}", "bad_message"));
    EXPECT_TRUE(refused("{\"type\":\"teleport\"}", "unknown_type"));
    EXPECT_TRUE(refused(R"({"type":"hello","protocol":"1"})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"hello","protocol":1e300})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"hello","protocol":1.5})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"move","id":"","answers":1,"move":"pass"})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"move","id":"a","answers":-1,"move":"pass"})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"move","id":"a","answers":1,"move":"card","card":54})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"move","id":"a","answers":1,"move":"jump"})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"move","id":"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa","answers":1,"move":"pass"})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"create","settings":{"turnTimer":45}})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"create","settings":{"computers":"wild"}})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"join","room":"ABC","name":5,"picture":1})", "bad_field"));
    EXPECT_TRUE(refused(R"({"type":"join","room":"ABC","name":"x"})", "bad_field"));
}

// Random frames, and random cuts and byte flips of good ones: every one is
// either a message or a refusal, never anything else.
TEST(Protocol, AnyBytesGiveAMessageOrARefusal) {
    const QByteArray good[] = {
        R"({"type":"hello","protocol":1})",
        R"({"type":"join","room":"K7P-XQ2-M9RT","name":"ゆき","picture":2})",
        R"({"type":"move","id":"m-1","answers":9,"move":"card","card":14})",
        R"({"type":"resume","room":"K7PXQ2M9RT","token":"abc","last":12})",
    };
    QRandomGenerator random(7);
    int messages = 0;
    for (int i = 0; i < 20'000; ++i) {
        QByteArray frame = good[random.bounded(4)];
        const int edits = random.bounded(4);
        for (int e = 0; e < edits && !frame.isEmpty(); ++e) {
            const int at = random.bounded(static_cast<int>(frame.size()));
            switch (random.bounded(3)) {
                case 0: frame[at] = static_cast<char>(random.bounded(256)); break;
                case 1: frame.truncate(at); break;
                default: frame.insert(at, static_cast<char>(random.bounded(256))); break;
            }
        }
        const ParseResult r = parseClientMessage(frame);
        if (const auto* e = std::get_if<ParseError>(&r)) {
            EXPECT_FALSE(e->code.isEmpty());
            EXPECT_FALSE(e->text.isEmpty());
        } else {
            ++messages;
        }
    }
    EXPECT_GT(messages, 1000);  // the edits leave many frames whole
}

// The server writes events straight into JSON; any event of any kind, with
// any numbers and any line, must come out as QJsonDocument writes its object.
TEST(Protocol, EventsAreWrittenAsTheirObjectIs) {
    QRandomGenerator random(17);
    const std::string lines[] = {"", "ゆき\r\nやったー！", "\"quoted\" \\ back\tslash\x01\x1f", "😀 <i>x</i> \u202e"};
    const int kinds = static_cast<int>(vantel::EventKind::MatchClosed) + 1;
    for (int i = 0; i < 3000; ++i) {
        vantel::TableEvent e;
        e.kind = static_cast<vantel::EventKind>(i % kinds);
        e.seq = i % 7 == 0 ? (uint64_t{1} << 52) + random.generate() : random.bounded(100000);
        e.visibleTo = static_cast<uint8_t>(random.bounded(5));
        e.seat = static_cast<uint8_t>(random.bounded(256));
        e.slot = static_cast<uint8_t>(random.bounded(256));
        e.card = static_cast<uint8_t>(random.bounded(256));
        e.how = static_cast<uint8_t>(random.bounded(256));
        e.a = static_cast<int32_t>(random.generate());
        e.b = i % 3 == 0 ? INT32_MIN : static_cast<int32_t>(random.bounded(-500, 500));
        for (auto& v : e.values) v = static_cast<int32_t>(random.generate());
        e.cards = random.generate64();
        for (auto& h : e.handSlots) h = static_cast<uint8_t>(random.bounded(256));
        const std::string& line = lines[i % 4];
        ASSERT_EQ(eventText(e, line), encode(eventJson(e, line))) << "kind " << static_cast<int>(e.kind);
    }
}

TEST(Secrets, RoomCodesAreLongUnambiguousAndReadBackHoweverTyped) {
    QSet<QString> seen;
    for (int i = 0; i < 2000; ++i) {
        const QString code = newRoomCode();
        ASSERT_EQ(code.size(), kRoomCodeLength);
        for (const QChar c : code) {
            EXPECT_TRUE(QByteArray(kRoomAlphabet).contains(c.toLatin1())) << code.toStdString();
            EXPECT_FALSE(QByteArray("01ILOUV").contains(c.toLatin1()));
        }
        seen.insert(code);
        const QString shown = displayRoomCode(code);
        EXPECT_EQ(normalRoomCode(shown), code);
        EXPECT_EQ(normalRoomCode(shown.toLower()), code);
        EXPECT_EQ(normalRoomCode(QStringLiteral(" ") + code.left(4) + QStringLiteral(" - ") + code.mid(4)), code);
    }
    EXPECT_EQ(seen.size(), 2000);
    // At least 40 bits.
    EXPECT_GE(kRoomCodeLength * std::log2(static_cast<double>(kRoomAlphabetSize)), 40.0);
    EXPECT_FALSE(normalRoomCode(QStringLiteral("K7P-XQ2-M9R")));   // too short
    EXPECT_FALSE(normalRoomCode(QStringLiteral("K7P-XQ2-M9RT2"))); // too long
    EXPECT_FALSE(normalRoomCode(QStringLiteral("K7P-XQ2-M9R0")));  // not in the alphabet
    EXPECT_FALSE(normalRoomCode(QStringLiteral("K7P-XQ2-M9Rｔ")));
}

TEST(Secrets, TokensAreFreshAndOnlyTheirHashIsKept) {
    QSet<QString> seen;
    for (int i = 0; i < 1000; ++i) {
        const QString t = newToken();
        ASSERT_EQ(t.size(), 22);  // 128 bits in base64url
        EXPECT_EQ(QByteArray::fromBase64(t.toLatin1(), QByteArray::Base64UrlEncoding).size(), 16);
        seen.insert(t);
        const QString h = tokenHash(t);
        EXPECT_EQ(h.size(), 64);
        EXPECT_FALSE(h.contains(t));
        EXPECT_TRUE(sameHash(h, tokenHash(t)));
    }
    EXPECT_EQ(seen.size(), 1000);
    EXPECT_FALSE(sameHash(tokenHash(QStringLiteral("a")), tokenHash(QStringLiteral("b"))));
}

TEST(Secrets, NamesLoseControlsAndKeepTheEditorsByteRule) {
    EXPECT_EQ(cleanName(QStringLiteral("  ゆき\u0007\n ")), QStringLiteral("ゆき"));
    EXPECT_EQ(cleanName(QStringLiteral("a\u202Eb\u200Bc")), QStringLiteral("abc"));  // bidi override, zero width space
    EXPECT_EQ(cleanName(QStringLiteral("\u2028x\u2029")), QStringLiteral("x"));
    EXPECT_EQ(cleanName(QString(QChar(0xD800))), QString());
    EXPECT_TRUE(sameName(QStringLiteral("Yuki"), QStringLiteral("ｙｕｋｉ")));
    EXPECT_FALSE(sameName(QStringLiteral("ゆき"), QStringLiteral("ゆこ")));
    // The settings editor's rule: 8 bytes, a full-width character counting 2.
    EXPECT_EQ(vantel::ansiByteLength(QStringLiteral("ゆきゆき").toStdString()), 8);
    EXPECT_GT(vantel::ansiByteLength(QStringLiteral("ゆきゆきa").toStdString()), kNameBytes);
}
