#pragma once

#include <QtGlobal>

#include <functional>

namespace bw {

// The time of the user's last keyboard or mouse input, in milliseconds on a monotonic clock of this process.
// Where the display server cannot tell (no X screen-saver extension, Wayland, offscreen), the current time is
// returned instead: every later reading then differs, so a waiting reminder takes the user as present.
qint64 systemLastInputTime();

// The source the reminder notices read; empty restores the system's. Tests put their own clock here.
void setLastInputSource(std::function<qint64()> source);
qint64 lastInputTime();

} // namespace bw
