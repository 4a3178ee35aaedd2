// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/profile/cp932.h"

#include <iconv.h>

#include <array>

namespace vantel::cp932 {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";  // U+FFFD

// An iconv conversion descriptor. Each thread keeps its own (a descriptor
// must not be used by two threads at once), opened at its first use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts exactly one character; false when it has no counterpart (or
    // the converter is missing). The output is appended to `out`.
    bool convertOne(std::string_view in, std::string& out) {
        if (!valid()) return false;
        std::array<char, 16> buffer{};
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
        if (rc == static_cast<std::size_t>(-1) || inLeft != 0) {
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
            return false;
        }
        out.append(buffer.data(), buffer.size() - outLeft);
        return true;
    }

private:
    iconv_t cd_;
};

// Length of the well-formed UTF-8 sequence at `pos`, or 0 when the bytes
// there are not one (overlong forms, surrogates and values past U+10FFFF
// included).
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b0 = byte(pos);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b0 < 0x80) return 1;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;
        if (b0 == 0xED) high = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - pos < length) return 0;
    const unsigned char b1 = byte(pos + 1);
    if (b1 < low || b1 > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        const unsigned char b = byte(pos + i);
        if (b < 0x80 || b > 0xBF) return 0;
    }
    return length;
}

Converter& decoder() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& encoder() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

}  // namespace

std::size_t charLength(std::string_view text, std::size_t pos) {
    if (pos + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[pos])) &&
        isTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
        return 2;
    }
    return 1;
}

std::size_t prefixOnBoundary(std::string_view text, std::size_t maxBytes) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t next = pos + charLength(text, pos);
        if (next > maxBytes) break;
        pos = next;
    }
    return pos;
}

std::string toUtf8(std::string_view cp932) {
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    for (std::size_t pos = 0; pos < cp932.size();) {
        const std::size_t length = charLength(cp932, pos);
        const auto b = static_cast<unsigned char>(cp932[pos]);
        if (b == 0) {
            // dropped
        } else if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else if (!decoder().convertOne(cp932.substr(pos, length), out)) {
            out.append(kReplacementUtf8);
        }
        pos += length;
    }
    return out;
}

std::string fromUtf8(std::string_view utf8, bool* lossy) {
    bool substituted = false;
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t length = utf8SequenceLength(utf8, pos);
        if (length == 0) {
            out.push_back('?');
            substituted = true;
            ++pos;
            continue;
        }
        if (length == 1) {
            out.push_back(utf8[pos]);
        } else if (!encoder().convertOne(utf8.substr(pos, length), out)) {
            out.push_back('?');
            substituted = true;
        }
        pos += length;
    }
    if (lossy != nullptr) *lossy = substituted;
    return out;
}

}  // namespace vantel::cp932
