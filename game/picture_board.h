// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The state of the table's card pictures without a window: where each one
// stands, whether it shows and whether it takes clicks. The simulator and
// the tests keep their pictures here.
#pragma once

#include <array>

#include "game/layout.h"

namespace vantel {

constexpr int kPictureCount = 106;  // 0 template, 1..53 faces, 54..105 backs

struct PictureBoard {
    struct Picture {
        Point position;
        bool visible = false;
        bool enabled = false;
    };
    std::array<Picture, kPictureCount> pictures{};

    static bool valid(int index) { return index >= 0 && index < kPictureCount; }
    Point position(int index) const { return valid(index) ? pictures[index].position : Point{}; }
    void place(int index, Point p) {
        if (valid(index)) pictures[index].position = p;
    }
    void setVisible(int index, bool v) {
        if (valid(index)) pictures[index].visible = v;
    }
    void setEnabled(int index, bool e) {
        if (valid(index)) pictures[index].enabled = e;
    }
};

}  // namespace vantel
