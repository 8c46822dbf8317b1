#include "settings/gui/ServerTest.h"

#include "data/FbApi.h"

#include <QEventLoop>
#include <QThread>

namespace bw {

namespace {

constexpr int kConnectTimeoutSec = 10;

} // namespace

bool testDatabaseServer(const QString &host, QString *error)
{
    const QString h = host.trimmed();
    if (h.isEmpty()) {
        if (error)
            *error = QStringLiteral("no server address");
        return false;
    }
    return attachServiceManager(h + QStringLiteral(":service_mgr"), error);
}

bool attachServiceManager(const QString &serviceName, QString *error)
{
    using namespace Firebird;
    IMaster *master = fb::master();
    IStatus *status = master->getStatus();
    ThrowStatusWrapper st(status);
    IProvider *provider = master->getDispatcher();
    IXpbBuilder *spb = nullptr;
    IService *service = nullptr;
    bool ok = false;
    try {
        spb = fb::util()->getXpbBuilder(&st, IXpbBuilder::SPB_ATTACH, nullptr, 0);
        spb->insertString(&st, isc_spb_user_name, "SYSDBA");
        spb->insertString(&st, isc_spb_password, "plumbline");
        spb->insertInt(&st, isc_spb_connect_timeout, kConnectTimeoutSec);
        const QByteArray name = serviceName.toUtf8();
        service = provider->attachServiceManager(&st, name.constData(), spb->getBufferLength(&st),
                                                 spb->getBuffer(&st));
        ok = true;
        service->detach(&st);
        service = nullptr;
    } catch (const FbException &e) {
        if (error) {
            char buf[1024];
            fb::util()->formatStatus(buf, sizeof buf, e.getStatus());
            *error = QString::fromUtf8(buf);
        }
    }
    if (service)
        service->release();
    if (spb)
        spb->dispose();
    provider->release();
    status->dispose();
    return ok;
}

bool testDatabaseServerAsync(const QString &host, QString *error)
{
    bool ok = false;
    QString text;
    QEventLoop loop;
    QThread *worker = QThread::create([&] { ok = testDatabaseServer(host, &text); });
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    if (error)
        *error = text;
    return ok;
}

} // namespace bw
