// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Shared pieces of the match-end screen tests: a match state with the
// default line sets, noise portraits written to a temporary folder, and
// pixel comparisons against them.
#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <string>

#include "matchend/match_end_window.h"
#include "records/match_state.h"

namespace matchend_test {

inline constexpr int kBandTop = vantel::matchend::MatchEndWindow::kBandTop;
inline constexpr int kBandBottom = kBandTop + vantel::matchend::MatchEndWindow::kBandHeight;

// The default line sets as the settings file is first written.
inline void setDefaultLines(vantel::MatchState& state) {
    const char* female[] = {"",
                            "やったー！上がります！",
                            "まずまずってところですね！",
                            "とりあえず、上がっとこうかな。",
                            "びえーん．．．残念．．．",
                            "降参します．．．",
                            "さんが今回の優勝者です！",
                            "んー、もうちょっとでしたね。次は１番目指して頑張ってね！",
                            "はー、まだまだ青いですね。次は気合入れて頑張ってね！",
                            "あーあ、バリシケですね。顔を洗って出直してきてね！"};
    const char* male[] = {"",
                          "よっしゃー！上がりだぜ！",
                          "まずまずってところかあ！",
                          "とりあえず、上がっとくか。",
                          "ちくしょー！残念．．．",
                          "降参だぜ．．．ちくしょー！",
                          "さんが今回の優勝者だ！",
                          "んー、もうちょっとだったな。次は１番目指して頑張れよ！",
                          "はー、まだまだ青いな。次は気合入れて頑張りな！",
                          "あーあ、バリシケじゃん。顔を洗って出直してきな！"};
    for (int i = 1; i <= vantel::kLinesPerSet; ++i) {
        state.femaleLines[static_cast<std::size_t>(i)] = female[i];
        state.maleLines[static_cast<std::size_t>(i)] = male[i];
    }
}

// A picture whose every byte is different from its neighbours', so that a
// wrong offset, a swapped channel or a touched pixel shows.
inline QImage noisePicture(int width, int height, uint32_t seed) {
    QImage picture(width, height, QImage::Format_RGB32);
    uint32_t x = seed * 2654435761u + 12345u;
    for (int row = 0; row < height; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(picture.scanLine(row));
        for (int column = 0; column < width; ++column) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            line[column] = 0xFF000000u | (x & 0x00FFFFFFu);
        }
    }
    return picture;
}

// Noise portraits of members 1..4, pictures 1..4, written once per test
// program into a temporary folder and only read afterwards.
inline const QTemporaryDir& sharedPortraits() {
    static const QTemporaryDir folder;
    static const bool written = [] {
        for (int member = 1; member <= vantel::kSeats; ++member)
            for (int picture = 1; picture <= vantel::kPicturesPerMember; ++picture)
                noisePicture(400, 400, static_cast<uint32_t>(member * 10 + picture))
                    .save(folder.filePath(QStringLiteral("member%1_%2.png").arg(member).arg(picture)), "PNG", 100);
        return true;
    }();
    (void)written;
    return folder;
}

// Members 1..4 sit at seats 1..4, named and with alternating line sets; each
// member's pictures 1..4 are the shared noise portraits.
struct Fixture {
    QTemporaryDir folder;  // for the pictures and files a test makes
    vantel::MatchState state;

    Fixture() {
        setDefaultLines(state);
        const char* names[] = {"", "あなた", "あやや", "けんじ", "みどり"};
        const int16_t sexes[] = {0, 1, 1, 2, 1};
        state.memberCount = 4;
        for (int seat = 1; seat <= vantel::kSeats; ++seat) {
            const auto s = static_cast<std::size_t>(seat);
            state.seatName[s] = names[seat];
            state.seatSex[s] = sexes[seat];
            state.seatMember[s] = static_cast<int16_t>(seat);
            state.finalPlace[s] = seat;
            state.memberName[s] = names[seat];
            state.memberSex[s] = sexes[seat];
            for (int picture = 1; picture <= vantel::kPicturesPerMember; ++picture) {
                state.memberImage[s][static_cast<std::size_t>(picture)] =
                    sharedPortraits().filePath(QStringLiteral("member%1_%2.png").arg(seat).arg(picture)).toStdString();
            }
        }
    }

    std::string& imageEntry(int member, int picture) {
        return state.memberImage[static_cast<std::size_t>(member)][static_cast<std::size_t>(picture)];
    }

    // The file picture `picture` of `member` is read from.
    QString portraitPath(int member, int picture) const {
        return QString::fromStdString(
            state.memberImage[static_cast<std::size_t>(member)][static_cast<std::size_t>(picture)]);
    }

    // Makes picture `picture` of `member` a file of this fixture with the
    // given bytes.
    QString useFile(int member, int picture, const QByteArray& bytes) {
        const QString path = folder.filePath(QStringLiteral("own%1_%2").arg(member).arg(picture));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
        imageEntry(member, picture) = path.toStdString();
        return path;
    }

    // Makes picture `picture` of `member` a PNG of `image`.
    QString usePicture(int member, int picture, const QImage& image) {
        const QString path = folder.filePath(QStringLiteral("own%1_%2.png").arg(member).arg(picture));
        image.save(path, "PNG", 100);
        imageEntry(member, picture) = path.toStdString();
        return path;
    }

    void setPlaces(int p1, int p2, int p3, int p4) {
        state.finalPlace[1] = p1;
        state.finalPlace[2] = p2;
        state.finalPlace[3] = p3;
        state.finalPlace[4] = p4;
    }
};

inline QImage asWindowPicture(const QImage& picture) { return picture.convertToFormat(QImage::Format_RGB32); }

// The number of bytes outside the band that differ between the two pictures
// (which must have the same size and format).
inline int differencesOutsideBand(const QImage& shown, const QImage& original) {
    int differences = 0;
    for (int row = 0; row < shown.height(); ++row) {
        if (row >= kBandTop && row < kBandBottom) continue;
        const uchar* a = shown.constScanLine(row);
        const uchar* b = original.constScanLine(row);
        for (int i = 0; i < shown.width() * 4; ++i) differences += a[i] != b[i];
    }
    return differences;
}

// The number of bytes in the band that are not the original's colour bytes
// halved (truncated), or whose fourth byte is not 0xFF.
inline int differencesFromHalvedBand(const QImage& shown, const QImage& original) {
    int differences = 0;
    for (int row = kBandTop; row < kBandBottom; ++row) {
        const uchar* a = shown.constScanLine(row);
        const uchar* b = original.constScanLine(row);
        for (int column = 0; column < shown.width(); ++column) {
            for (int channel = 0; channel < 3; ++channel) {
                const int i = column * 4 + channel;
                differences += a[i] != b[i] / 2;
            }
            differences += a[column * 4 + 3] != 0xFF;
        }
    }
    return differences;
}

inline bool showsBandedPicture(const QImage& shown, const QImage& original) {
    return shown.size() == original.size() && differencesOutsideBand(shown, original) == 0 &&
           differencesFromHalvedBand(shown, original) == 0;
}

inline bool showsExactly(const QImage& shown, const QImage& original) {
    return shown.size() == original.size() && shown == original;
}

inline QImage defaultPortrait() { return asWindowPicture(QImage(QStringLiteral(":/fallback/matchend.png"))); }

}  // namespace matchend_test
