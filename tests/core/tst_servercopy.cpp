#include "core/servercopycommand.h"
#include "coresupport.h"
#include "pgserver.h"
#include "store/connection.h"
#include "store/statement.h"
#include "store/stores.h"

#include <QTest>
#include <QTextStream>

#include <memory>

using namespace corvane;

namespace {

using Row = std::vector<std::optional<QString>>;

const QStringList CustomerColumns = {QStringLiteral("customercode"), QStringLiteral("customername"),
                                     QStringLiteral("address"),      QStringLiteral("code"),
                                     QStringLiteral("person"),       QStringLiteral("tel"),
                                     QStringLiteral("email"),        QStringLiteral("qq")};
const QStringList CallColumns = {QStringLiteral("adate"), QStringLiteral("atime"), QStringLiteral("tel"),
                                 QStringLiteral("customercode"), QStringLiteral("customername")};

// Values a shop's customer book really holds, and some that would break
// text pasted into SQL or into the server's parameter marks.
const QList<std::optional<QString>> OddValues = {
    QStringLiteral("张三 & 李四's \"老店\""),
    QStringLiteral("O'Brien'); DROP TABLE customer; --"),
    QStringLiteral("back\\slash\ttab\nnew line\r\n"),
    QStringLiteral("😀𠀀 ¥€ ñ ä ﻿"),
    QStringLiteral("$1 :name ? %s ::text"),
    QString(QLatin1String("")),
    std::nullopt,
};

void insertRow(Connection &connection, const QString &table, const QStringList &columns, const Row &row)
{
    QStringList marks(columns.size(), QStringLiteral("?"));
    Statement insert(connection,
                     QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (std::size_t i = 0; i < row.size(); ++i)
        insert.bind(int(i) + 1, row[i]);
    insert.run();
}

// Every value of a row as the server keeps it: its UTF-8 bytes in hex, NULL
// apart from the empty text.
QString hexColumns(const QStringList &columns)
{
    QStringList parts;
    for (const QString &column : columns)
        parts << QStringLiteral("coalesce(encode(convert_to(%1, 'UTF8'), 'hex'), 'NULL')").arg(column);
    return QStringLiteral("concat_ws('|', %1)").arg(parts.join(QLatin1Char(',')));
}

QString hexRow(const Row &row)
{
    QStringList parts;
    for (const std::optional<QString> &value : row)
        parts << (value ? QString::fromLatin1(value->toUtf8().toHex()) : QStringLiteral("NULL"));
    return parts.join(QLatin1Char('|'));
}

struct CommandResult
{
    int status;
    QString out;
    QString err;
};

} // namespace

// The command that moves a desk's tel.mdb to the shared server, run as the
// user runs it, onto a real server.
class TestServerCopy : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PgServer> m_server;
    std::unique_ptr<test::ProgramFolder> m_folder;

    QString telMdb() const { return m_folder->file(QStringLiteral("tel.mdb")); }

    ServerAddress serverAddress() const { return m_server->socketAddress(); }

    void pointAtServer(const ServerAddress &address)
    {
        m_folder->writeFile(QStringLiteral("zel.ini"),
                            QStringLiteral("[database]\r\nengine=postgresql\r\nhost=%1\r\nport=%2\r\n"
                                           "name=%3\r\nuser=%4\r\npassword=%5\r\n")
                                .arg(address.host, QString::number(address.port), address.name, address.user,
                                     address.password)
                                .toUtf8());
    }

    static CommandResult run(ExistingCustomers existing = ExistingCustomers::Refuse, const QString &file = {})
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status = runServerCopyCommand({file, existing}, outStream, errStream);
        outStream.flush();
        errStream.flush();
        return {status, out, err};
    }

    QString serverCount(const QString &table) const
    {
        return m_server->query(QStringLiteral("SELECT count(*) FROM %1").arg(table)).value(0);
    }

private Q_SLOTS:
    void initTestCase() { m_server = std::make_unique<test::PgServer>(); }

    void init()
    {
        m_server->emptyDatabase();
        m_folder = std::make_unique<test::ProgramFolder>();
        pointAtServer(serverAddress());
    }

    void cleanup() { m_folder.reset(); }

    void everyRowAndValueArrivesAsItIsAndIsCounted()
    {
        // More customers than one batch holds, so full batches and the rest
        // both run.
        std::vector<Row> customers;
        for (int i = 0; i < 1201; ++i) {
            const std::optional<QString> odd = OddValues[i % OddValues.size()];
            customers.push_back({QStringLiteral("C%1").arg(i), odd, odd, QStringLiteral("100000"), odd,
                                 QStringLiteral("555%1").arg(i, 4, 10, QLatin1Char('0')), odd, std::nullopt});
        }
        const std::vector<Row> calls = {
            {QStringLiteral("2026-12-08"), QStringLiteral("09:00:00"), QStringLiteral("5550001"),
             QStringLiteral("C1"), OddValues[0]},
            {QStringLiteral("2026-12-07"), QStringLiteral("18:30:00"), QStringLiteral("5559999"),
             std::nullopt, std::nullopt},
            {QStringLiteral("2026-12-08"), QStringLiteral("08:00:00"), QStringLiteral("5550003"),
             QStringLiteral("C3"), OddValues[1]},
        };
        {
            Stores source;
            source.connection.setDatabasePath(telMdb());
            for (const Row &row : customers)
                insertRow(source.connection, QStringLiteral("customer"), CustomerColumns, row);
            for (const Row &row : calls)
                insertRow(source.connection, QStringLiteral("detail"), CallColumns, row);
            source.rings.chooseRing(QStringLiteral("2"));
        }

        const CommandResult result = run();
        QCOMPARE(result.status, 0);
        QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
        QVERIFY(result.out.contains(QStringLiteral("客户 1201 条")));
        QVERIFY(result.out.contains(QStringLiteral("通话记录 3 条")));
        QVERIFY(result.out.contains(QStringLiteral("铃声选择：铃声 2")));

        // Byte for byte, in the order tel.mdb had them.
        QStringList expected;
        for (const Row &row : customers)
            expected << hexRow(row);
        QCOMPARE(m_server->query(
                     QStringLiteral("SELECT %1 FROM customer ORDER BY id").arg(hexColumns(CustomerColumns))),
                 expected);
        expected.clear();
        for (const Row &row : calls)
            expected << hexRow(row);
        QCOMPARE(
            m_server->query(QStringLiteral("SELECT %1 FROM detail ORDER BY id").arg(hexColumns(CallColumns))),
            expected);
        QCOMPARE(m_server->query(QStringLiteral("SELECT code || '=' || bz FROM ring ORDER BY code")),
                 QStringList({QStringLiteral("1=0"), QStringLiteral("2=1"), QStringLiteral("3=0")}));
        // Every customer's number keyed in the same transaction.
        QCOMPARE(m_server->query(QStringLiteral("SELECT count(*) FROM customer_key")),
                 QStringList{QStringLiteral("1201")});

        // The server goes on with the copied book: a number is found, and a
        // new customer and call get keys of their own.
        Stores onServer;
        onServer.connection.setServer(serverAddress());
        const std::optional<Customer> found = onServer.customers.customerByTel(QStringLiteral("5550003"));
        QVERIFY(found);
        QCOMPARE(found->customerCode, QStringLiteral("C3"));
        const auto local =
            onServer.customers.customerByTel(QStringLiteral("0205550004"), QStringLiteral("020"));
        QCOMPARE(local.value_or(Customer()).customerCode, QStringLiteral("C4"));
        QCOMPARE(onServer.rings.currentRing(), QStringLiteral("2"));
        insertRow(onServer.connection, QStringLiteral("customer"), CustomerColumns,
                  {QStringLiteral("NEW"), QStringLiteral("新客户")});
        QCOMPARE(m_server->query(QStringLiteral("SELECT count(DISTINCT id) FROM customer")).value(0),
                 QStringLiteral("1202"));
        QCOMPARE(
            m_server->query(QStringLiteral("SELECT customercode FROM customer ORDER BY id DESC LIMIT 1")),
            QStringList{QStringLiteral("NEW")});
    }

    void aServerWithCustomersIsLeftAloneUnlessToldToAdd()
    {
        {
            Connection source;
            source.setDatabasePath(telMdb());
            insertRow(source, QStringLiteral("customer"), CustomerColumns,
                      {QStringLiteral("T1"), QStringLiteral("本店")});
            insertRow(source, QStringLiteral("detail"), CallColumns, {QStringLiteral("2026-12-08")});
        }
        QCOMPARE(run().status, 0);

        // Run twice by mistake: nothing doubled.
        const CommandResult refused = run();
        QVERIFY(refused.status != 0);
        QVERIFY2(refused.err.contains(QStringLiteral("已有 1 位客户")), qPrintable(refused.err));
        QVERIFY(refused.err.contains(QStringLiteral("--add-to-existing")));
        QVERIFY(refused.out.isEmpty());
        QCOMPARE(serverCount(QStringLiteral("customer")), QStringLiteral("1"));
        QCOMPARE(serverCount(QStringLiteral("detail")), QStringLiteral("1"));

        // A second desk's book added on purpose: its customer and its call
        // already on the server are skipped, the new customer added.
        {
            Connection source;
            source.setDatabasePath(telMdb());
            insertRow(source, QStringLiteral("customer"), CustomerColumns,
                      {QStringLiteral("T2"), QStringLiteral("二店")});
        }
        const CommandResult added = run(ExistingCustomers::AddTo, telMdb());
        QCOMPARE(added.status, 0);
        QVERIFY2(added.out.contains(QStringLiteral("客户 1 条")), qPrintable(added.out));
        QVERIFY(added.out.contains(QStringLiteral("跳过客户编号已存在的客户 1 条")));
        QVERIFY(added.out.contains(QStringLiteral("跳过服务器上已有的通话记录 1 条")));
        QCOMPARE(serverCount(QStringLiteral("customer")), QStringLiteral("2"));
        QCOMPARE(serverCount(QStringLiteral("detail")), QStringLiteral("1"));
    }

    // A second desk whose codes the first desk's customers hold: each such
    // customer is listed with both names and neither it nor its calls are
    // copied; added twice, nothing doubles. Text another program wrote into
    // tel.mdb in GBK arrives as the characters it was.
    void aSecondDesksBookIsAddedWithoutDoublingOrMixingCustomers()
    {
        {
            Connection server;
            server.setServer(serverAddress());
            insertRow(
                server, QStringLiteral("customer"), CustomerColumns,
                {QStringLiteral("C00000"), QStringLiteral("张三"), {}, {}, {}, QStringLiteral("5550000")});
        }
        {
            // Opened once by the program, tel.mdb has table calls.
            Connection program;
            program.setDatabasePath(telMdb());
            program.engine();
        }
        // 王五 in GBK, as another program stored it.
        test::sqlColumn(
            telMdb(),
            QStringLiteral("INSERT INTO customer (customercode, customername, tel) VALUES "
                           "('C00000', '李四', '5559999'), ('C00001', CAST(X'cdf5cee5' AS TEXT), '5550001');"
                           "INSERT INTO detail (adate, atime, tel, customercode, customername) VALUES "
                           "('2026-12-08', '09:00', '5559999', 'C00000', '李四'),"
                           "('2026-12-08', '09:05', '5550001', 'C00001', CAST(X'cdf5cee5' AS TEXT));"
                           "INSERT INTO calls (token, taken, number, customercode, note) VALUES "
                           "('t1', '2026-12-08 09:00:00', '5559999', 'C00000', ''),"
                           "('t2', '2026-12-08 09:05:00', '5550001', 'C00001', '订货'),"
                           "('t3', '2026-12-08 09:06:00', '5558888', NULL, '要报价')"));
        for (int copy = 0; copy < 2; ++copy) {
            const CommandResult added = run(ExistingCustomers::AddTo);
            QCOMPARE(added.status, 0);
            QVERIFY2(added.out.contains(QStringLiteral("C00000：服务器上为“张三”，本文件中为“李四”")),
                     qPrintable(added.out));
            QVERIFY(added.out.contains(QStringLiteral("未复制上述客户的通话记录 1 条")));
            QVERIFY(added.out.contains(copy == 0 ? QStringLiteral("通话记录 1 条")
                                                 : QStringLiteral("跳过服务器上已有的通话记录 1 条")));
        }
        QCOMPARE(m_server->query(QStringLiteral("SELECT customercode || ' ' || customername || ' ' || tel "
                                                "FROM customer ORDER BY id")),
                 (QStringList{QStringLiteral("C00000 张三 5550000"), QStringLiteral("C00001 王五 5550001")}));
        QCOMPARE(m_server->query(QStringLiteral("SELECT tel || ' ' || customercode || ' ' || customername "
                                                "FROM detail")),
                 QStringList{QStringLiteral("5550001 C00001 王五")});
        QCOMPARE(
            m_server->query(QStringLiteral("SELECT token || ' ' || coalesce(customercode, '-') || ' ' || "
                                           "handled || note FROM calls ORDER BY id")),
            (QStringList{QStringLiteral("t2 C00001 0订货"), QStringLiteral("t3 - 0要报价")}));
    }

    void aCopyThatCannotBeMadeWritesNothing_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const char *source, const char *ini, const char *message) {
            QTest::newRow(name) << QString::fromUtf8(source) << QString::fromUtf8(ini)
                                << QString::fromUtf8(message);
        };
        row("missing file", "absent", "", "找不到要复制的数据库文件");
        row("not a database", "garbage", "", "已损坏");
        row("empty file", "empty", "", "是空的（0 字节）");
        // The customers are on their way when the call log fails: the server
        // must not keep them.
        row("no call log", "no detail", "", "no such table: detail");
        // The server's text cannot hold it; cut short it would be lost unseen.
        row("NUL inside a name", "nul", "", "空字符");
        row("no server chosen", "good", "sqlite", "未指定服务器");
        row("wrong password", "good", "wrong password", "复制失败");
    }
    void aCopyThatCannotBeMadeWritesNothing()
    {
        QFETCH(QString, source);
        QFETCH(QString, ini);
        QFETCH(QString, message);
        const QString password = QStringLiteral("Wrong-秘密-7zq");
        {
            Connection tel;
            tel.setDatabasePath(telMdb());
            insertRow(tel, QStringLiteral("customer"), CustomerColumns,
                      {QStringLiteral("C1"), QStringLiteral("张三")});
        }
        if (source == QLatin1String("absent"))
            QFile::remove(telMdb());
        else if (source == QLatin1String("garbage"))
            m_folder->writeFile(QStringLiteral("tel.mdb"), QByteArray(8192, 'x'));
        else if (source == QLatin1String("empty"))
            m_folder->writeFile(QStringLiteral("tel.mdb"), QByteArray());
        else if (source == QLatin1String("no detail"))
            test::sqlColumn(telMdb(), QStringLiteral("DROP TABLE detail"));
        else if (source == QLatin1String("nul"))
            test::sqlColumn(telMdb(),
                            QStringLiteral("UPDATE customer SET customername = 'a' || char(0) || 'b'"));
        if (ini == QLatin1String("sqlite")) {
            m_folder->writeFile(QStringLiteral("zel.ini"), "[database]\r\nengine=sqlite\r\n");
        } else if (ini == QLatin1String("wrong password")) {
            ServerAddress address = serverAddress();
            address.host = QStringLiteral("127.0.0.1");
            address.password = password;
            pointAtServer(address);
        }
        // The server's tables exist already, as a desk that connected once
        // made them, so the counts below find them.
        Connection server;
        server.setServer(serverAddress());
        server.engine();

        const CommandResult result = run();
        QVERIFY(result.status != 0);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(!result.err.contains(password));
        QVERIFY(result.out.isEmpty());
        QCOMPARE(serverCount(QStringLiteral("customer")), QStringLiteral("0"));
        QCOMPARE(serverCount(QStringLiteral("detail")), QStringLiteral("0"));
        QCOMPARE(m_server->query(QStringLiteral("SELECT code FROM ring WHERE bz = '1'")),
                 QStringList{QStringLiteral("1")});
    }
};

QTEST_GUILESS_MAIN(TestServerCopy)
#include "tst_servercopy.moc"
