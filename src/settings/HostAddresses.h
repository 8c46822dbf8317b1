#pragma once

#include <QString>
#include <QStringList>

namespace bw {

// IPv4 addresses of this computer's network interfaces that are up, in interface order, loopback
// included, as dotted decimal text. Empty when the interface list cannot be had.
QStringList thisComputerAddresses();

// First IPv4 address that the name service gives for this computer's own host name; empty on failure.
// Blocks while the name service answers.
QString hostAddress();

} // namespace bw
