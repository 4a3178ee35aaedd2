// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "records/material_reset.h"

#include <vector>

#include "platform/profile/profile.h"

namespace vantel {

bool resetMaterial(const SettingsLocation& where) {
    std::vector<profile::KeyValue> keys;
    keys.push_back({"Mentu", "Ninzu", "4"});
    for (int member = 1; member <= kMaxMembers; ++member) {
        const std::string section = memberSection(member);
        const bool factory = member <= 4;
        keys.push_back({section, "Name", factory ? std::string(kDefaultMemberNames[member]) : ""});
        for (int picture = 1; picture <= kPicturesPerMember; ++picture) {
            keys.push_back({section, memberImageKey(picture),
                            factory ? defaultMemberImage(where.programFolder, member, picture) : ""});
        }
        keys.push_back({section, "Sex", factory ? "1" : ""});
    }
    for (int sound = 1; sound <= kSoundFiles; ++sound) {
        keys.push_back({"Saundo", soundFileKey(sound), defaultSoundFile(where.programFolder, sound)});
    }
    return profile::writeStringsLocked(where.file(), keys);
}

}  // namespace vantel
