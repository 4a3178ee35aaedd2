// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The member selection window's grid of member pictures, as the settings
// editor sees it: the editor adds, re-pictures and removes thumbnails as it
// adds, changes and deletes members, so the grid behind it stays in step.
//
// Indices are 0-based: thumbnail k shows picture 1 of member k + 1. The
// grid places a new thumbnail itself (five per row, as it lays out its own
// pictures) and shows its fallback picture for a file it cannot load.
#pragma once

#include <string>

namespace vantel {

class MemberThumbnails {
public:
    virtual ~MemberThumbnails() = default;

    virtual int thumbnailCount() const = 0;
    // Appends thumbnail `index` (== thumbnailCount()) showing `picturePath`.
    virtual void addThumbnail(int index, const std::string& picturePath) = 0;
    // Thumbnail `index` now shows `picturePath`.
    virtual void setThumbnailPicture(int index, const std::string& picturePath) = 0;
    // Removes thumbnail `index` (the last one).
    virtual void removeThumbnail(int index) = 0;
};

}  // namespace vantel
