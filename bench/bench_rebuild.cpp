// Rebuild of the request list over 100 000 requests, beside isql-fb reading the same table.
// Run: FIREBIRD=$PWD/build/fbroot QT_QPA_PLATFORM=offscreen ./build/bench/bench_rebuild [count]

#include "app/AppState.h"
#include "app/Shell.h"
#include "data/DataModule.h"
#include "data/Schema.h"
#include "i18n/Catalogue.h"
#include "requests/RequestWorkspace.h"
#include "requests/gui/RequestListModel.h"
#include "requests/gui/ZInfo.h"
#include "settings/Settings.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

// Server-side generation: realistic field lengths, all four long texts filled, newer requests have larger IDs.
void generate(bw::FbConnection &conn, int count)
{
    conn.execute(QStringLiteral(
                     "EXECUTE BLOCK (N INTEGER = ?) AS "
                     "DECLARE I INTEGER = 1; DECLARE T TIMESTAMP; "
                     "BEGIN "
                     "  WHILE (I <= N) DO BEGIN "
                     "    T = DATEADD(-(N - I) * 5 MINUTE TO CURRENT_TIMESTAMP); "
                     "    INSERT INTO SERVER_ALL (ID, ID_CLIENT, DATA, INTIME, CLIENT_GROUP, TROUBLE, TROUBLE_MORE, "
                     "      TROUBLE_WHEN, TROUBLE_MAX, CONTACT, \"IMP\", IMP_MORE, THISCOMP, OS, PROC, MEMORY, IPADR, "
                     "      EMAIL, \"CURRENT_STATE\", TEXT_STATE, \"ADMIN\", CURRENT_INFO, CTIME, ADMIN_TEXT, M_INFO) "
                     "    VALUES (:I, 'PC-' || MOD(:I, 700), :T, CAST(:T AS VARCHAR(24)), MOD(:I, 12), "
                     "      'Не работает принтер в кабинете ' || MOD(:I, 300), 'Замятие бумаги, ошибка E' || MOD(:I, 50), "
                     "      'Сегодня утром', "
                     "      'Подробное описание проблемы: после обновления системы принтер перестал печатать, при "
                     "отправке документа на печать появляется сообщение об ошибке, перезагрузка не помогла. Номер ' || :I, "
                     "      'Смирнова Анна Петровна, тел. ' || MOD(:I, 900), 1 + MOD(:I, 3), 'Очень срочно', TRUE, "
                     "      'Windows 10 Pro', 'Intel Core i5-8400', '8 GB', '192.168.' || MOD(:I, 250) || '.' || MOD(:I, 200), "
                     "      'user' || MOD(:I, 500) || '@desk.test', MOD(:I, 5), 'Принята к рассмотрению', MOD(:I, 9), "
                     "      'Проверено на месте, заменен картридж, требуется повторная проверка через неделю.', "
                     "      '05.03.2010, 14:07:33', 'Выезд специалиста, замена узла подачи бумаги.', "
                     "      'Заметки сотрудника по заявке ' || :I); "
                     "    I = I + 1; "
                     "  END "
                     "END"),
                 {count});
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double isqlSeconds(const QString &database)
{
    QTemporaryFile script;
    script.open();
    script.write("SET HEADING OFF;\nSELECT * FROM SERVER_ALL;\nQUIT;\n");
    script.flush();
    QProcess isql;
    isql.setStandardOutputFile(QStringLiteral("/dev/null"));
    isql.setStandardErrorFile(QStringLiteral("/dev/null"));
    QElapsedTimer t;
    t.start();
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-q"),
                                           QStringLiteral("-i"), script.fileName(), database});
    isql.waitForFinished(-1);
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    bw::applyBuiltinMessages();
    // BW_BENCH_DB names a database kept between runs (generated when missing); otherwise a temporary one.
    const QString keep = qEnvironmentVariable("BW_BENCH_DB");
    std::unique_ptr<bwtest::TempDatabase> temp;
    QString database = keep;
    QElapsedTimer t;
    t.start();
    if (keep.isEmpty() || !QFile::exists(keep)) {
        if (keep.isEmpty()) {
            temp = std::make_unique<bwtest::TempDatabase>();
            database = temp->path();
        } else {
            bw::createSchemaDatabase(keep);
        }
        bw::FbConnection conn;
        conn.open(database);
        generate(conn, count);
        conn.close();
        std::printf("generated %d requests in %.1f s\n", count, t.nsecsElapsed() / 1e9);
    }
    bw::dm().connectTo(QFileInfo(database).absolutePath());

    t.restart();
    {
        bw::TableCache probe(bw::dm().SQLConnection1, QStringLiteral("probe"));
        probe.setDeferBlobs(true);
        probe.openTable(QStringLiteral("SERVER_ALL"));
        const double load = t.nsecsElapsed() / 1e9;
        t.restart();
        probe.orderBy(QStringLiteral("ID"));
        std::printf("probe: load %.3f s, order %.3f s, rows %d\n", load, t.nsecsElapsed() / 1e9, probe.rowCount());
        if (qEnvironmentVariableIsSet("BW_PROBE")) {
            t.restart();
            probe.openQuery(QStringLiteral("SELECT ID, DATA, \"IMP\", \"CURRENT_STATE\", \"ADMIN\" FROM SERVER_ALL"));
            std::printf("probe: 5 numeric columns %.3f s\n", t.nsecsElapsed() / 1e9);
            t.restart();
            probe.openQuery(QStringLiteral("SELECT ID, DATA, \"IMP\", \"CURRENT_STATE\", \"ADMIN\", ID_CLIENT, INTIME, TROUBLE, TROUBLE_MORE FROM SERVER_ALL"));
            std::printf("probe: 9 list columns %.3f s\n", t.nsecsElapsed() / 1e9);
            t.restart();
            probe.openQuery(QStringLiteral("SELECT ID, DATA, \"IMP\", \"CURRENT_STATE\", \"ADMIN\", CAST(ID_CLIENT AS VARCHAR(64) CHARACTER SET OCTETS), CAST(INTIME AS VARCHAR(40) CHARACTER SET OCTETS), CAST(TROUBLE AS VARCHAR(250) CHARACTER SET OCTETS), CAST(TROUBLE_MORE AS VARCHAR(250) CHARACTER SET OCTETS) FROM SERVER_ALL"));
            std::printf("probe: 9 list columns as octets %.3f s\n", t.nsecsElapsed() / 1e9);
            return 0;
        }
    }

    bw::appState().CurrentUserPriv = 0;
    bw::appState().CurrentUserId = 1;
    bw::Settings &s = bw::settings();
    s.CBB1 = s.CBB2 = s.CBB3 = s.CBB4 = s.CBB5 = true; // every request listed: the heaviest list
    const long rssBefore = residentKb();

    // The data side alone: read, filter, compose the entries (no window).
    struct Discard final : bw::RequestSink
    {
        int n = 0;
        void add(bw::RequestEntry &&) override { ++n; }
    } discard;
    std::vector<double> core;
    for (int i = 0; i < 3; ++i) {
        t.restart();
        bw::requestWorkspace().rebuild(discard);
        core.push_back(t.nsecsElapsed() / 1e9);
    }
    std::sort(core.begin(), core.end());
    std::printf("data side of the rebuild (read + filter + entries): median %.3f s\n", core[1]);

    bw::TZInfo *w = bw::ZInfo();
    w->show(); // the first showing rebuilds once
    app.processEvents();
    std::vector<double> runs;
    std::vector<double> cpu;
    for (int i = 0; i < 5; ++i) {
        const double c0 = cpuSeconds();
        t.restart();
        w->RebuildRequestList();
        runs.push_back(t.nsecsElapsed() / 1e9);
        cpu.push_back(cpuSeconds() - c0);
    }
    std::sort(cpu.begin(), cpu.end());
    std::sort(runs.begin(), runs.end());
    const int listed = w->listModel()->count();
    const long rss = residentKb();

    t.restart();
    w->selectRow(0);
    const double select = t.nsecsElapsed() / 1e9;

    std::vector<double> isql;
    for (int i = 0; i < 3; ++i)
        isql.push_back(isqlSeconds(database));
    std::sort(isql.begin(), isql.end());

    std::printf("rebuild (load + filter + model), %d listed: median %.3f s, best %.3f s, cpu median %.3f s\n", listed,
                runs[2], runs[0], cpu[2]);
    std::printf("select one request (reload + pane): %.3f s\n", select);
    std::printf("isql-fb SELECT * FROM SERVER_ALL > /dev/null: median %.3f s\n", isql[1]);
    std::printf("isql-fb best %.3f s; ratio rebuild / isql: medians %.3f, bests %.3f\n", isql[0], runs[2] / isql[1],
                runs[0] / isql[0]);
    std::printf("resident memory: %.1f MB with the list loaded (%.1f MB before the window)\n", rss / 1024.0,
                rssBefore / 1024.0);
    return 0;
}
