#pragma once

#include <QHostAddress>
#include <QList>

namespace norak {

// The addresses the remote may listen on: the laptop's IPv4 addresses on its local networks
// (interfaces up and running, loopback left out), or, when the environment variable
// NORAK_REMOTE_BIND holds an address, that one alone (the tests and benches set 127.0.0.1, so
// that nothing is offered on any other address of the machine).
QList<QHostAddress> remoteAddresses();

}  // namespace norak
