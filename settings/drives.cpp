// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/drives.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

namespace vantel {

namespace {

// /proc/mounts writes space, tab, newline and backslash in names as \ooo.
std::string unescapeMountField(std::string_view field) {
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) && octal(field[i + 2]) &&
            octal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        out += field[i];
    }
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool inside(std::string_view path, std::string_view folder) {
    if (folder == "/") return startsWith(path, "/");
    return path == folder || (startsWith(path, folder) && path[folder.size()] == '/');
}

bool volumeDevice(std::string_view device, std::string_view type) {
    static constexpr std::array<std::string_view, 10> kShares = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "drvfs", "virtiofs", "vboxsf"};
    if (std::find(kShares.begin(), kShares.end(), type) != kShares.end()) return true;
    return startsWith(device, "/dev/") && !startsWith(device, "/dev/loop");
}

// Folders of the system itself, not places for the user's files.
bool systemFolder(std::string_view mountPoint) {
    if (inside(mountPoint, "/run/media")) return false;
    static constexpr std::array<std::string_view, 12> kSystem = {
        "/proc", "/sys", "/dev", "/run", "/boot", "/efi", "/snap", "/usr", "/var", "/etc", "/tmp", "/lib"};
    return std::any_of(kSystem.begin(), kSystem.end(),
                       [&](std::string_view folder) { return inside(mountPoint, folder); });
}

}  // namespace

std::vector<std::string> drivesFromMounts(std::string_view procMounts) {
    std::vector<std::string> others;
    std::istringstream lines{std::string(procMounts)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type)) continue;
        mountPoint = unescapeMountField(mountPoint);
        device = unescapeMountField(device);
        while (mountPoint.size() > 1 && mountPoint.back() == '/') mountPoint.pop_back();
        if (mountPoint == "/" || !startsWith(mountPoint, "/")) continue;
        if (!volumeDevice(device, type) || systemFolder(mountPoint)) continue;
        others.push_back(mountPoint);
    }
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    std::vector<std::string> drives{"/"};
    drives.insert(drives.end(), others.begin(), others.end());
    return drives;
}

std::vector<std::string> systemDrives() {
    std::ifstream in("/proc/mounts");
    if (!in) return {"/"};
    std::ostringstream text;
    text << in.rdbuf();
    return drivesFromMounts(text.str());
}

std::string driveOf(std::string_view path, const std::vector<std::string>& drives) {
    if (!startsWith(path, "/")) return {};
    std::string best;
    for (const std::string& drive : drives) {
        if (inside(path, drive) && drive.size() > best.size()) best = drive;
    }
    return best;
}

std::string parentFolderOf(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return path.size() > 1 ? "/" : "";
    std::string_view folder = path.substr(0, slash);
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    return std::string(folder);
}

bool pathInside(std::string_view path, std::string_view folder) { return inside(path, folder); }

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || out.back() != '/') out += '/';
    out += name;
    return out;
}

}  // namespace vantel
