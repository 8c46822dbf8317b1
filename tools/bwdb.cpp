// bwdb: database tools for development and demonstration.
//
//   bwdb create PATH [--demo] [--seed N] [--force]
//   bwdb file-request PATH [--topic T] [--refinement R] [--text TEXT] [--contact C] [--importance 1..3]
//                          [--executor USER_ID] [--ip A]
//   bwdb generate PATH N [--seed S]
//
// PATH is a database string: a bare path opens the file with the embedded engine, host:path goes
// to a server. The demo help-desk signs in as "Администратор", login admin, password admin.

#include "data/ClientRequests.h"
#include "data/DbError.h"
#include "data/FbConnection.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTextStream>

#include <cstdio>
#include <optional>
#include <stdexcept>

namespace {

const char *const kUsage =
    "usage:\n"
    "  bwdb create PATH [--demo] [--seed N] [--force]\n"
    "      new mainbase.fdb with the empty schema, or with the demo help-desk (--demo);\n"
    "      an existing file is kept unless --force is given\n"
    "  bwdb file-request PATH [--topic T] [--refinement R] [--text TEXT] [--contact C]\n"
    "                         [--importance 1..3] [--executor USER_ID] [--ip A]\n"
    "      files a request as the client program does and prints its ID\n"
    "  bwdb generate PATH N [--seed S]\n"
    "      adds N generated requests\n"
    "PATH is a database string: a bare path (embedded engine) or host:path.\n"
    "Demo sign-in: \"Администратор\", login admin, password admin.\n";

// A mistake in the command line: reported with the usage text.
struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

// Options of a subcommand: flags and valued options, the rest positional.
struct Args
{
    QStringList positional;
    QHash<QString, QString> values;
    QStringList flags;
};

Args parseArgs(const QStringList &args, const QStringList &valued, const QStringList &flags)
{
    Args a;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg.startsWith(QLatin1String("--"))) {
            QString name = arg;
            QString value;
            bool hasValue = false;
            const qsizetype eq = arg.indexOf(u'=');
            if (eq > 0) {
                name = arg.left(eq);
                value = arg.mid(eq + 1);
                hasValue = true;
            }
            if (flags.contains(name)) {
                if (hasValue)
                    throw UsageError(QStringLiteral("option %1 takes no value").arg(name).toStdString());
                a.flags << name;
            } else if (valued.contains(name)) {
                if (!hasValue) {
                    if (i + 1 >= args.size())
                        throw UsageError(QStringLiteral("option %1 needs a value").arg(name).toStdString());
                    value = args.at(++i);
                }
                if (a.values.contains(name))
                    throw UsageError(QStringLiteral("option %1 given twice").arg(name).toStdString());
                a.values.insert(name, value);
            } else {
                throw UsageError(QStringLiteral("unknown option %1").arg(name).toStdString());
            }
        } else {
            a.positional << arg;
        }
    }
    return a;
}

qint64 parseInteger(const QString &text, const QString &what, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    if (!ok || n < min || n > max)
        throw UsageError(
            QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"").arg(what).arg(min).arg(max).arg(text)
                .toStdString());
    return n;
}

quint32 seedOption(const Args &a, quint32 fallback)
{
    if (!a.values.contains(QStringLiteral("--seed")))
        return fallback;
    return quint32(parseInteger(a.values.value(QStringLiteral("--seed")), QStringLiteral("--seed"), 0, 0xFFFFFFFFLL));
}

// A database string naming a file on this computer (no host part); a one-letter prefix is a drive.
bool isLocal(const QString &database)
{
    static const QRegularExpression remote(QStringLiteral("^[^/\\\\:]{2,}:"));
    return !remote.match(database).hasMatch();
}

QString databaseArg(const Args &a, qsizetype expected)
{
    if (a.positional.isEmpty())
        throw UsageError("PATH is missing");
    if (a.positional.size() > expected)
        throw UsageError(QStringLiteral("unexpected argument \"%1\"").arg(a.positional.at(expected)).toStdString());
    QString db = a.positional.at(0);
    if (db.trimmed().isEmpty())
        throw UsageError("PATH is empty");
    if (isLocal(db))
        db = QFileInfo(db).absoluteFilePath();
    return db;
}

int cmdCreate(const QStringList &args)
{
    const Args a = parseArgs(args, {QStringLiteral("--seed")}, {QStringLiteral("--demo"), QStringLiteral("--force")});
    const QString db = databaseArg(a, 1);
    const bool demo = a.flags.contains(QStringLiteral("--demo"));
    const quint32 seed = seedOption(a, 1);
    if (a.values.contains(QStringLiteral("--seed")) && !demo)
        throw UsageError("--seed is used only with --demo");

    if (isLocal(db)) {
        const QFileInfo info(db);
        if (info.exists()) {
            if (!a.flags.contains(QStringLiteral("--force"))) {
                err() << "bwdb: " << db << " already exists (use --force to replace it)\n";
                return 1;
            }
            if (info.isDir() || !QFile::remove(db)) {
                err() << "bwdb: cannot remove " << db << "\n";
                return 1;
            }
        }
        if (!info.absoluteDir().exists()) {
            err() << "bwdb: folder " << info.absolutePath() << " does not exist\n";
            return 1;
        }
    }

    bw::createSchemaDatabase(db);
    if (demo) {
        bw::FbConnection conn;
        conn.open(db);
        bw::fillDemoDatabase(conn, seed);
        const auto rows = conn.select(QStringLiteral("SELECT COUNT(*) FROM SERVER_ALL"));
        out() << db << ": demo help-desk with " << rows.front().front().toInt()
              << " requests; sign in as admin / admin\n";
    } else {
        out() << db << ": empty database created\n";
    }
    return 0;
}

QString memoryText()
{
    QFile f(QStringLiteral("/proc/meminfo"));
    if (f.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> parts = f.readLine().simplified().split(' ');
        if (parts.size() >= 2)
            return QStringLiteral("%1 Мб").arg(parts.at(1).toLongLong() / 1024);
    }
    return QString();
}

int cmdFileRequest(const QStringList &args)
{
    const Args a = parseArgs(args,
                             {QStringLiteral("--topic"), QStringLiteral("--refinement"), QStringLiteral("--text"),
                              QStringLiteral("--contact"), QStringLiteral("--importance"),
                              QStringLiteral("--executor"), QStringLiteral("--ip")},
                             {});
    const QString db = databaseArg(a, 1);

    bw::NewRequest r;
    r.idClient = QSysInfo::machineHostName();
    r.trouble = a.values.value(QStringLiteral("--topic"), QStringLiteral("Принтер"));
    r.troubleMore = a.values.value(QStringLiteral("--refinement"), QStringLiteral("Не печатает"));
    r.troubleWhen = QStringLiteral("Только что");
    r.troubleMax = a.values.value(QStringLiteral("--text"), QStringLiteral("Принтер не печатает."));
    r.contact = a.values.value(QStringLiteral("--contact"), QStringLiteral("Пользователь"));
    if (a.values.contains(QStringLiteral("--importance")))
        r.importance = int(parseInteger(a.values.value(QStringLiteral("--importance")), QStringLiteral("--importance"), 1, 3));
    if (a.values.contains(QStringLiteral("--executor")))
        r.executor = int(parseInteger(a.values.value(QStringLiteral("--executor")), QStringLiteral("--executor"), 0,
                                      0x7FFFFFFF));
    r.ipAddress = a.values.value(QStringLiteral("--ip"), QStringLiteral("127.0.0.1"));
    r.thisComp = true;
    r.os = QSysInfo::prettyProductName();
    r.proc = QSysInfo::currentCpuArchitecture();
    r.memory = memoryText();
    if (r.trouble.trimmed().isEmpty())
        throw UsageError("--topic must not be empty");

    bw::FbConnection conn;
    conn.open(db);
    out() << bw::fileRequest(conn, r) << "\n";
    return 0;
}

int cmdGenerate(const QStringList &args)
{
    const Args a = parseArgs(args, {QStringLiteral("--seed")}, {});
    const QString db = databaseArg(a, 2);
    if (a.positional.size() < 2)
        throw UsageError("N (the number of requests) is missing");
    const int n = int(parseInteger(a.positional.at(1), QStringLiteral("N"), 1, 10'000'000));
    const quint32 seed = seedOption(a, 1);

    bw::FbConnection conn;
    conn.open(db);
    QElapsedTimer t;
    t.start();
    bw::generateRequests(conn, n, seed);
    const auto last = conn.select(QStringLiteral("SELECT MAX(ID) FROM SERVER_ALL"));
    const int lastId = last.front().front().toInt();
    out() << n << " requests added (ID " << lastId - n + 1 << " to " << lastId << ") in "
          << QString::number(double(t.elapsed()) / 1000.0, 'f', 1) << " s\n";
    return 0;
}

// The embedded engine needs the program's private Firebird root; a build keeps it beside the program folder.
void ensureFirebirdRoot()
{
    if (!qEnvironmentVariableIsEmpty("FIREBIRD"))
        return;
    const QString root = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../fbroot"));
    if (QFileInfo::exists(root + QStringLiteral("/firebird.conf")))
        qputenv("FIREBIRD", QDir::cleanPath(root).toLocal8Bit());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ensureFirebirdRoot();
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        (args.isEmpty() ? err() : out()) << kUsage;
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    try {
        if (command == QLatin1String("create"))
            return cmdCreate(args);
        if (command == QLatin1String("file-request"))
            return cmdFileRequest(args);
        if (command == QLatin1String("generate"))
            return cmdGenerate(args);
        throw UsageError(QStringLiteral("unknown command \"%1\"").arg(command).toStdString());
    } catch (const UsageError &e) {
        err() << "bwdb: " << QString::fromStdString(e.what()) << "\n\n" << kUsage;
        return 2;
    } catch (const bw::DbError &e) {
        err() << "bwdb: " << e.text() << "\n";
        return 1;
    }
}
