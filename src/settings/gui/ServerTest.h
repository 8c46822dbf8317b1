#pragma once

#include <QString>

namespace bw {

// The server test of the settings window: attaches to the Firebird service manager of host
// ("host:service_mgr", host may carry a port as "host/3050") as SYSDBA and detaches again. True when the
// attachment was made. Blocks (up to the connect timeout); call it off the user-interface thread or through
// testDatabaseServerAsync.
bool testDatabaseServer(const QString &host, QString *error = nullptr);

// Attaches to the service manager of that exact name ("service_mgr" is the engine inside this program,
// "host:service_mgr" a server on the network) and detaches again.
bool attachServiceManager(const QString &serviceName, QString *error = nullptr);

// The same in a worker thread; the calling thread's events are served while it waits.
bool testDatabaseServerAsync(const QString &host, QString *error = nullptr);

} // namespace bw
