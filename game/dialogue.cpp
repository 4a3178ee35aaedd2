// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/dialogue.h"

namespace vantel {

const std::array<std::string_view, kLinesPerSet + 1> kDefaultFemaleLines = {
    "",
    "やったー！上がります！",
    "まずまずってところですね！",
    "とりあえず、上がっとこうかな。",
    "びえーん．．．残念．．．",
    "降参します．．．",
    "さんが今回の優勝者です！",
    "んー、もうちょっとでしたね。次は１番目指して頑張ってね！",
    "はー、まだまだ青いですね。次は気合入れて頑張ってね！",
    "あーあ、バリシケですね。顔を洗って出直してきてね！",
};

const std::array<std::string_view, kLinesPerSet + 1> kDefaultMaleLines = {
    "",
    "よっしゃー！上がりだぜ！",
    "まずまずってところかあ！",
    "とりあえず、上がっとくか。",
    "ちくしょー！残念．．．",
    "降参だぜ．．．ちくしょー！",
    "さんが今回の優勝者だ！",
    "んー、もうちょっとだったな。次は１番目指して頑張れよ！",
    "はー、まだまだ青いな。次は気合入れて頑張りな！",
    "あーあ、バリシケじゃん。顔を洗って出直してきな！",
};

std::string serifuText(const MatchPlay& state, int seat, int kbn, int juni) {
    const bool female = seat >= 1 && seat <= kSeats && state.seatSex[seat] == 1;
    const auto& lines = female ? state.femaleLines : state.maleLines;
    std::string text;
    switch (kbn) {
        case 1:
            if (juni >= 1 && juni <= kLinesPerSet) text = lines[juni];
            break;
        case 2: text = lines[5]; break;
        case 3: text = kPassLine; break;
        case 4: text = kHeldBackLine; break;
        default: break;
    }
    const std::string& name = (seat >= 1 && seat <= kSeats) ? state.seatName[seat] : std::string();
    return name + "\r\n" + text;
}

}  // namespace vantel
