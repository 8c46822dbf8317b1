#include "settings/HostAddresses.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>

namespace bw {

QStringList thisComputerAddresses()
{
    QStringList out;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &ifc : interfaces) {
        if (!ifc.flags().testFlag(QNetworkInterface::IsUp))
            continue;
        const QList<QNetworkAddressEntry> entries = ifc.addressEntries();
        for (const QNetworkAddressEntry &entry : entries) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                out.append(entry.ip().toString());
        }
    }
    return out;
}

QString hostAddress()
{
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    if (info.error() != QHostInfo::NoError)
        return QString();
    const QList<QHostAddress> addresses = info.addresses();
    for (const QHostAddress &a : addresses) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    }
    return QString();
}

} // namespace bw
