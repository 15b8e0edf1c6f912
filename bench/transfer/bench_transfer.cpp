// Figures for moving customers in and out: a 100,000-row customer file in
// UTF-8 and in GBK read, checked and added to an empty tel.mdb in one
// transaction, the same rows exported again, and a backup of the filled
// database taken while it is open.
#include "benchdata.h"
#include "core/customerexport.h"
#include "core/customerimport.h"
#include "platform/gbk.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/customerstore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

using namespace corvane;

namespace {

constexpr int Rows = 100000;

QString customerFile()
{
    QString text = QStringLiteral("客户编号,客户名称,地址,邮政编码,联系人,电话号码,电子邮件,QQ号码\r\n");
    for (int i = 0; i < Rows; ++i) {
        text +=
            QStringLiteral(
                "K%1,客户%1五金店,\"北京市海淀区中关村大街%1号, 三层\",100080,张三,%2,k%1@example.cn,%1\r\n")
                .arg(i)
                .arg(bench::telOf(i));
    }
    return text;
}

double importSeconds(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString database = folder + QStringLiteral("/") + name + QStringLiteral(".mdb");
    bench::createFilledDatabase(database, 0, 0);
    const QString file = folder + QStringLiteral("/") + name + QStringLiteral(".csv");
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
    out.close();

    Connection connection;
    connection.setDatabasePath(database);
    CustomerStore store(connection);
    QElapsedTimer timer;
    timer.start();
    const CustomerImport::Report report =
        CustomerImport::fromFile(file).write(store, [](qsizetype, qsizetype) { return true; });
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (report.added != Rows)
        qFatal("added %lld of %d rows", qlonglong(report.added), Rows);
    std::printf("import %-6s %d rows, %.1f MB: %.2f s\n", qPrintable(name), Rows, double(bytes.size()) / 1e6,
                seconds);
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString text = customerFile();
    importSeconds(dir.path(), QStringLiteral("UTF-8"), QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    importSeconds(dir.path(), QStringLiteral("GBK"), gbk::encode(text));

    Connection connection;
    connection.setDatabasePath(dir.filePath(QStringLiteral("UTF-8.mdb")));
    CustomerStore store(connection);
    QElapsedTimer timer;
    timer.start();
    CustomerExport::toFile(store, dir.filePath(QStringLiteral("export.csv")));
    std::printf("export %d rows: %.2f s\n", Rows, double(timer.nsecsElapsed()) / 1e9);

    timer.restart();
    const QString copy = dir.filePath(QStringLiteral("backup.mdb"));
    backupDatabase(connection, copy);
    std::printf("backup of %.1f MB: %.2f s\n", double(QFileInfo(copy).size()) / 1e6,
                double(timer.nsecsElapsed()) / 1e9);
    return 0;
}
