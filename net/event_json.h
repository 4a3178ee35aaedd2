// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A client's reading of what a table server sends (docs/protocol.md): the
// events of its seat's stream and a snapshot of its view, checked member by
// member, so that a wrong or hostile server can do no more than be refused.
#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

#include "game/seat_view.h"
#include "game/table_event.h"

namespace vantel::net {

// An event as the table told it, or nothing when the object is not one
// (unknown kind, a member of the wrong type or out of range). `lineText`
// receives the spoken line of a line event.
std::optional<TableEvent> eventFromJson(const QJsonObject& object, QString* lineText = nullptr);

// A seat's view from a snapshot, or nothing when it is not one.
std::optional<SeatView> viewFromJson(const QJsonObject& object);

}  // namespace vantel::net
