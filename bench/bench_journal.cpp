// How long does one store write keep the GUI thread, with SQLite's default rollback journal and with a write-ahead
// log (WAL, synchronous=NORMAL)? And can a store written with the log be read by a reader that sets nothing?
//
// Opens the program's store in a temporary data directory, adds a user and 200 items, then times single-row
// writes as the engine makes them (each its own transaction) and refresh rounds (200 rows in one transaction) in
// each journal mode. Afterwards it reads the WAL store through a second connection that only opens the file, as
// the previous version does, while the writer still holds changes in the -wal file.
//
//   bench_journal [writes] [rounds]        (defaults: 200 and 10)

#include "benchsupport.h"
#include "dbhelper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

void run(const QString& sql) {
    QSqlQuery query;
    if (!query.exec(sql))
        qFatal("%s", qPrintable(sql));
}

QString scalar(QSqlDatabase db, const QString& sql) {
    QSqlQuery query(db);
    return query.exec(sql) && query.next() ? query.value(0).toString() : QStringLiteral("<failed>");
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int writes = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 200;
    const int rounds = args.size() > 2 ? std::max(1, args.at(2).toInt()) : 10;
    QTextStream out(stdout);
    QTemporaryDir dir;
    // A data directory of its own, so the user's store is never touched.
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    if (!DbHelper::connectDB() || !DbHelper::initDB())
        return 1;
    out << "store " << DbHelper::databaseFilePath() << ", opened in journal mode "
        << scalar(QSqlDatabase::database(), "PRAGMA journal_mode") << "\n";
    run("INSERT INTO users (username, password) VALUES ('bench', 'x')");
    for (int i = 0; i < 200; ++i)
        run(QStringLiteral("INSERT INTO items (item_number, name, user_id, user_relation, end_time) VALUES "
                           "('%1', 'Item %1', 1, 'NONE', '2026-12-07T20:00:00')")
                .arg(110000000000LL + i));

    out << QStringLiteral("%1 %2 %3 %4 %5\n")
               .arg("journal", -22)
               .arg("write median", 13)
               .arg("p95", 8)
               .arg("max", 8)
               .arg("round of 200", 13);
    for (const char* mode : {"DELETE", "WAL"}) {
        run(QStringLiteral("PRAGMA journal_mode = %1").arg(mode));
        run(QStringLiteral("PRAGMA synchronous = %1").arg(QLatin1String(mode) == "WAL" ? "NORMAL" : "FULL"));
        std::vector<double> single, round;
        QElapsedTimer timer;
        for (int i = 0; i < writes; ++i) {
            timer.start();
            run(QStringLiteral("UPDATE items SET bid_status = 3, error_message = NULL, actual_bid_time = "
                               "'2026-12-07T19:59:5%1' WHERE id = %2")
                    .arg(i % 10)
                    .arg(1 + i % 200));
            single.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        for (int r = 0; r < rounds; ++r) {
            timer.start();
            QSqlDatabase::database().transaction();
            for (int i = 1; i <= 200; ++i)
                run(QStringLiteral("UPDATE items SET current_bid = %1, bid_count = %2 WHERE id = %3")
                        .arg(r + i)
                        .arg(r)
                        .arg(i));
            QSqlDatabase::database().commit();
            round.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(QLatin1String(mode) == "WAL" ? "WAL, synchronous=NORMAL" : "DELETE, synchronous=FULL", -22)
                   .arg(BenchSupport::percentile(single, 0.5), 10, 'f', 2)
                   .arg(BenchSupport::percentile(single, 0.95), 8, 'f', 2)
                   .arg(BenchSupport::percentile(single, 1.0), 8, 'f', 2)
                   .arg(BenchSupport::percentile(round, 0.5), 10, 'f', 2);
        out.flush();
    }

    // The writer is still open in WAL mode, so its last changes may live only in the -wal file.
    const QString path = DbHelper::databaseFilePath();
    out << "-wal file beside the store while open: " << (QFile::exists(path + "-wal") ? "yes" : "no") << "\n";
    {
        QSqlDatabase reader = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("reader"));
        reader.setDatabaseName(path);
        const bool opened = reader.open();
        out << "a reader that sets nothing: opened " << (opened ? "yes" : "no") << ", sqlite "
            << scalar(reader, "SELECT sqlite_version()") << ", journal " << scalar(reader, "PRAGMA journal_mode")
            << ", last round's bid count " << scalar(reader, "SELECT bid_count FROM items WHERE id = 200")
            << " (expected " << rounds - 1 << "), integrity " << scalar(reader, "PRAGMA integrity_check") << "\n";
        reader.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reader"));
    QSqlDatabase::database().close();
    out << "-wal file after the last connection closed: " << (QFile::exists(path + "-wal") ? "yes" : "no") << "\n";
    return 0;
}
