// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives and folder names for the file choosers.
//
// A "drive" here is a volume the user keeps files on: the file-system root
// "/" and the mount points of real volumes (block devices other than loop
// devices, and network or host shares) outside the system's own folders,
// such as /home on its own partition, /media/<user>/<stick>, /mnt/<disk>.
// The drive of a path is the drive whose folder holds it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantel {

// The drives listed in `procMounts` (the text of /proc/mounts): "/" first,
// then the other mount points in name order, each once.
std::vector<std::string> drivesFromMounts(std::string_view procMounts);

// The drives of the running system (from /proc/mounts; "/" alone if it
// cannot be read).
std::vector<std::string> systemDrives();

// The drive of `path` among `drives`: the longest one that holds it. Empty
// for a path that is not absolute.
std::string driveOf(std::string_view path, const std::vector<std::string>& drives);

// `path` without its last name: "/a/b/c.jpg" gives "/a/b", "/c.jpg" gives
// "/". Empty for a name without a folder. Taken from the text alone, as
// the folder may not exist.
std::string parentFolderOf(std::string_view path);

// Whether `path` is `folder` or lies inside it (by name, on whole names).
bool pathInside(std::string_view path, std::string_view folder);

// `folder`, "/" and `name`, with no doubled "/" when the folder is the root.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace vantel
