// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Conversion between UTF-8 (how text is held in memory) and CP932, the
// Japanese Windows code page the settings file is stored in.
//
// CP932 is glibc's "CP932" converter: it is Shift-JIS as Windows writes it,
// with the NEC and IBM extensions (①, ～ as U+FF5E, and so on). glibc's strict
// "SHIFT_JIS" rejects those characters, so it is not used.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantel::cp932 {

// Whether `b` can open a double-byte character.
constexpr bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Whether `b` can close a double-byte character.
constexpr bool isTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Length in bytes (1 or 2) of the character that starts at `pos` (< size).
// A lead byte without a valid trail byte after it counts as one byte, so
// malformed text still splits into characters without reading past the end.
std::size_t charLength(std::string_view text, std::size_t pos);

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a
// character boundary (never half of a double-byte character).
std::size_t prefixOnBoundary(std::string_view text, std::size_t maxBytes);

// CP932 bytes to UTF-8. Bytes that are not valid CP932 become U+FFFD; NUL
// bytes are dropped, so the result can be passed on as a C string.
std::string toUtf8(std::string_view cp932);

// UTF-8 to CP932. Characters CP932 cannot hold, and bytes that are not valid
// UTF-8, become "?" (one byte each), as the Windows ANSI conversion does.
// `lossy`, when given, is set to whether any such substitution happened.
std::string fromUtf8(std::string_view utf8, bool* lossy = nullptr);

}  // namespace vantel::cp932
