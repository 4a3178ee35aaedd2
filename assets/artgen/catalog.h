// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every picture the generator produces, with the name it is stored under.
#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

namespace artgen {

enum class Destination { Resources, Portraits };

struct Artwork {
    Destination destination;
    QString name;  // relative path under its destination folder
    std::function<QImage()> draw;
};

std::vector<Artwork> catalog();

// Writes one picture; JPEG at a fixed quality, PNG otherwise.
bool save(const QImage &image, const QString &path);

}  // namespace artgen
