#pragma once

#include <QStringList>

// Stands in for the C library's connect() in this test program: every
// attempt to reach an IPv4 or IPv6 address is written down, and attempts to
// any address but loopback fail at once without leaving the machine.
namespace ConnectHook {

// "address:port" of every attempt so far, in order.
QStringList attempts();
void clear();

} // namespace ConnectHook
