// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Room codes, seat and host tokens, and the names people type: everything a
// table is reached by, made from the system's cryptographic random source.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace vantel::net {

// The letters a room code is written with: digits and capitals without
// 0/O, 1/I/L and U/V, which are easy to confuse when read aloud or by eye.
inline constexpr char kRoomAlphabet[] = "23456789ABCDEFGHJKMNPQRSTWXYZ";
inline constexpr int kRoomAlphabetSize = sizeof(kRoomAlphabet) - 1;  // 29
// 10 letters of 29: 48.6 bits, written as three groups ("K7P-XQ2-M9RT").
inline constexpr int kRoomCodeLength = 10;

// A new room code in its plain form (no dashes).
QString newRoomCode();
// A code as people type it (any case, dashes and spaces anywhere) in its
// plain form; nothing when it cannot be a room code.
std::optional<QString> normalRoomCode(const QString& typed);
// The code as shown: groups of 3, 3 and 4 letters joined by dashes.
QString displayRoomCode(const QString& code);

// A new secret of 128 random bits, as 22 characters of base64url.
QString newToken();
// What the journal keeps of a token: its SHA-256, in hex. Tokens are
// random, so no salt is needed to keep them from being guessed back.
QString tokenHash(const QString& token);
// Compares two hashes in time independent of where they differ.
bool sameHash(const QString& a, const QString& b);

// A name as typed, made fit for the table: control and format characters
// (including bidirectional overrides) removed, white space trimmed.
QString cleanName(const QString& typed);
// The member-name rule of the settings editor: at most this many bytes in
// the settings file's code page (a full-width character counts 2).
inline constexpr int kNameBytes = 8;
// Whether two names would look alike at a table (case and width folded).
bool sameName(const QString& a, const QString& b);

}  // namespace vantel::net
