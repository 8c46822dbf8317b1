// Load benchmark: how long the request workspace takes to read a large SERVER_ALL into its cache,
// measured against the database's own command-line client reading the same rows.
//
//   bench_load [ROWS]      (default 100000)
//
// Creates a temporary database, generates ROWS requests with all long texts filled, then times
// (a) maindata.openTable("SERVER_ALL"), best of 3, and (b) isql-fb selecting every row to
// /dev/null, best of 3; prints both, their ratio and the resident memory after the load.

#include "app/AppState.h"
#include "data/ClientRequests.h"
#include "data/DataModule.h"
#include "support/TempDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

namespace {

qint64 bestOf3(const std::function<void()> &run)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        best = std::min(best, t.nsecsElapsed());
    }
    return best;
}

QString statusField(const char *name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    const QByteArray key = QByteArray(name) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return QString::fromLatin1(line.mid(key.size()).simplified());
    }
    return QStringLiteral("?");
}

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    // The embedded engine reads its configuration from the build's private Firebird root.
    if (qEnvironmentVariableIsEmpty("FIREBIRD"))
        qputenv("FIREBIRD", QDir::cleanPath(QStringLiteral(BW_PROGRAM_DIR "/../fbroot")).toLocal8Bit());
    QCoreApplication app(argc, argv);

    int rows = 100000;
    if (argc > 1) {
        bool ok = false;
        rows = QString::fromLocal8Bit(argv[1]).toInt(&ok);
        if (!ok || rows < 1) {
            std::fprintf(stderr, "usage: bench_load [ROWS]\n");
            return 2;
        }
    }
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (isql.isEmpty()) {
        std::fprintf(stderr, "bench_load: isql-fb not found\n");
        return 1;
    }

    try {
        bwtest::TempDatabase db;
        QElapsedTimer gen;
        gen.start();
        bw::generateRequests(db.peer(), rows, 1);
        db.peer().close();
        std::printf("generated %d requests in %.1f s (%s)\n", rows, double(gen.elapsed()) / 1000.0,
                    qPrintable(db.path()));

        db.connectDataModule();
        bw::TableCache &cache = bw::dm().maindata;
        const qint64 load = bestOf3([&] { cache.openTable(QStringLiteral("SERVER_ALL")); });
        const int loaded = cache.rowCount();
        const QString rss = statusField("VmRSS");

        // For comparison: the same load with the long texts left in the database until read.
        cache.close();
        cache.setDeferBlobs(true);
        const qint64 deferred = bestOf3([&] { cache.openTable(QStringLiteral("SERVER_ALL")); });
        cache.setDeferBlobs(false);
        cache.close();

        const QString command = QStringLiteral("echo \"select * from SERVER_ALL;\" | %1 -q -user SYSDBA -pass x %2 "
                                               "> /dev/null")
                                    .arg(isql, db.path());
        bool isqlOk = true;
        const qint64 client = bestOf3([&] {
            QProcess p;
            p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
            if (!p.waitForFinished(-1) || p.exitCode() != 0) {
                isqlOk = false;
                std::fprintf(stderr, "isql-fb failed: %s\n", p.readAllStandardError().constData());
            }
        });
        if (!isqlOk)
            return 1;

        std::printf("rows loaded:                      %d\n", loaded);
        std::printf("maindata.openTable(SERVER_ALL):   %8.1f ms (best of 3)\n", ms(load));
        std::printf("  with long texts deferred:       %8.1f ms (best of 3)\n", ms(deferred));
        std::printf("isql-fb select * > /dev/null:     %8.1f ms (best of 3)\n", ms(client));
        std::printf("ratio load / isql:                %8.2f (target <= 0.5)\n", double(load) / double(client));
        std::printf("  with long texts deferred:       %8.2f\n", double(deferred) / double(client));
        std::printf("VmRSS after the load:             %s\n", qPrintable(rss));
        return 0;
    } catch (const bw::DbError &e) {
        std::fprintf(stderr, "bench_load: %s\n", qPrintable(e.text()));
        return 1;
    }
}
