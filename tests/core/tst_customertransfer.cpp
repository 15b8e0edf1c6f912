#include "callrows.h"
#include "core/csv.h"
#include "core/customerexport.h"
#include "core/customerimport.h"
#include "core/recentcallsexport.h"
#include "coresupport.h"
#include "platform/failure.h"
#include "platform/gbk.h"
#include "store/connection.h"
#include "store/customerstore.h"
#include "store/recentcallsstore.h"
#include "store/transaction.h"

#include <QTest>

using namespace corvane;

namespace {

const QByteArray Bom("\xEF\xBB\xBF");

// The headings an export writes, so that a file in this shape comes back
// unchanged; the fields hold what spreadsheets put in quotes.
const QString ExportShaped = QStringLiteral(
    "客户编号,客户名称,地址,邮政编码,联系人,电话号码,电子邮件,QQ号码\r\n"
    "C001,张三五金店,\"北京市海淀区\r\n中关村大街1号\",100080,张三,010-62345678,zs@example.cn,12345\r\n"
    "C002,\"李四,\"\"老字号\"\"粮油\",上海市,,李四,021-5555,,\r\n"
    "C003,王五,\"广州市\n天河区\",510000,王五,020-8888,w5@example.cn,67890\r\n");

auto keepGoing = [](qsizetype, qsizetype) { return true; };

// The cells of an exported file that a spreadsheet would take for formulas.
QStringList formulaCells(const QByteArray &file)
{
    QStringList cells;
    for (const csv::Record &record : csv::parse(QString::fromUtf8(file.mid(Bom.size()))).records) {
        for (const QString &field : record.fields) {
            if (!field.isEmpty() && QStringLiteral("=+-@\t\r").contains(field.front()))
                cells.append(field);
        }
    }
    return cells;
}

} // namespace

class CustomerTransferTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<CustomerStore> m_store;

    QString database() const { return m_folder->file(QStringLiteral("tel.mdb")); }
    QStringList codes() const
    {
        return test::sqlColumn(database(), QStringLiteral("select customercode from customer order by id"));
    }
    CustomerImport::Report import(const QByteArray &bytes)
    {
        return CustomerImport::fromBytes(bytes).write(*m_store, keepGoing);
    }
    static QStringList skipped(const CustomerImport::Report &report, CustomerImport::SkipReason reason)
    {
        QStringList lines;
        for (const CustomerImport::Skip &skip : report.skipped) {
            if (skip.reason == reason)
                lines.append(QString::number(skip.line));
        }
        return lines;
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_connection = std::make_unique<Connection>();
        m_connection->setDatabasePath(database());
        m_store = std::make_unique<CustomerStore>(*m_connection);
    }
    void cleanup()
    {
        m_store.reset();
        m_connection.reset();
        m_folder.reset();
    }

    void chineseTextRoundTripsByteForByte_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("UTF-8") << ExportShaped.toUtf8();
        QTest::newRow("UTF-8 with BOM") << Bom + ExportShaped.toUtf8();
        QTest::newRow("GBK") << gbk::encode(ExportShaped);
    }
    void chineseTextRoundTripsByteForByte()
    {
        QFETCH(QByteArray, file);
        const CustomerImport::Report report = import(file);
        QCOMPARE(report.added, 3);
        QVERIFY(report.skipped.isEmpty());
        QCOMPARE(test::sqlColumn(database(), QStringLiteral("select address from customer order by id")),
                 QStringList({QStringLiteral("北京市海淀区\r\n中关村大街1号"), QStringLiteral("上海市"),
                              QStringLiteral("广州市\n天河区")}));
        QCOMPARE(
            test::sqlColumn(database(), QStringLiteral("select customername from customer where id = 2")),
            QStringList{QStringLiteral("李四,\"老字号\"粮油")});
        QCOMPARE(CustomerExport::bytes(*m_store), Bom + ExportShaped.toUtf8());

        // The exported file is itself an import file that changes nothing.
        const QString exported = m_folder->file(QStringLiteral("客户.csv"));
        QCOMPARE(CustomerExport::toFile(*m_store, exported), 3);
        QFile written(exported);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), Bom + ExportShaped.toUtf8());
        const CustomerImport::Report again = CustomerImport::fromFile(exported).write(*m_store, keepGoing);
        QCOMPARE(again.added, 0);
        QCOMPARE(skipped(again, CustomerImport::SkipReason::CodePresent), QStringList({"2", "4", "5"}));
    }

    void cellsLikeFormulasAreGuardedAndComeBack()
    {
        const QString everyField = QStringLiteral(
            "select quote(customercode) || quote(customername) || quote(address) || quote(code) || "
            "quote(person) || quote(tel) || quote(email) || quote(qq) from customer order by id");
        test::sqlColumn(
            database(),
            QStringLiteral("insert into customer (customercode, customername, address, code, person, "
                           "tel, email, qq) values "
                           "('=C1', '+86 139 1234 5678 😀', '-1', '@SUM(A1)', char(9) || '张三', "
                           "char(13) || '李四' || char(10) || '=2', '''=x', ''), "
                           "('C2', '\"=\"\"引号\"\"', '''普通', '', NULL, '+86 139 1234 5678', "
                           "'a@b.cn', '''')"));
        const QStringList before = test::sqlColumn(database(), everyField);
        const QByteArray exported = CustomerExport::bytes(*m_store);
        QCOMPARE(formulaCells(exported), QStringList());
        QVERIFY(exported.contains("'@SUM(A1)"));

        test::sqlColumn(database(), QStringLiteral("delete from customer"));
        QCOMPARE(import(exported).added, 2);
        // Field for field, the empty texts too; only NULL comes back empty.
        QStringList after = before;
        after.last().replace(QStringLiteral("NULL"), QStringLiteral("''"));
        QCOMPARE(test::sqlColumn(database(), everyField), after);

        test::addCall(*m_connection, QStringLiteral("2025-01-02 09:00:00"), QStringLiteral("+8613912345678"),
                      QStringLiteral("=C1"), QStringLiteral("-要两箱"));
        RecentCallsStore calls(*m_connection);
        const QString path = m_folder->file(QStringLiteral("来电.csv"));
        QCOMPARE(RecentCallsExport::toFile(calls, {}, QDate(2025, 1, 2), path), 1);
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(formulaCells(written.readAll()), QStringList());
    }

    void recentCallsExportAsFilteredPageByPage()
    {
        QCOMPARE(
            import(QStringLiteral("客户编号,客户名称,电话号码\nC1,\"张,三\",13800001111\n").toUtf8()).added,
            1);
        {
            Transaction many(*m_connection);
            // More than the export's page, so that it reads on.
            for (int i = 0; i < 1001; ++i)
                test::addCall(*m_connection,
                              QStringLiteral("2025-01-01 08:00:%1").arg(i % 60, 2, 10, QLatin1Char('0')),
                              QStringLiteral("020-%1").arg(i));
            many.commit();
        }
        const qint64 known =
            test::addCall(*m_connection, QStringLiteral("2025-01-02 09:00:00"), QStringLiteral("13800001111"),
                          QStringLiteral("C1"), QStringLiteral("要\"两箱\",明天送\n到"));
        test::addCall(*m_connection, QStringLiteral("2025-01-02 10:00:00"), QStringLiteral("P"));
        RecentCallsStore calls(*m_connection);
        QVERIFY(calls.saveHandled(known, true));
        const QString path = m_folder->file(QStringLiteral("来电.csv"));
        RecentCallsFilter filter;
        filter.today = true;
        QCOMPARE(RecentCallsExport::toFile(calls, filter, QDate(2025, 1, 2), path), 2);
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(),
                 Bom +
                     QStringLiteral(
                         "时间,号码,客户编码,客户,已处理,备注\r\n"
                         "2025-01-02 10:00:00,P,,私人号码,否,\r\n"
                         "2025-01-02 09:00:00,13800001111,C1,\"张,三\",是,\"要\"\"两箱\"\",明天送\n到\"\r\n")
                         .toUtf8());
        written.close();
        QCOMPARE(RecentCallsExport::toFile(calls, {}, QDate(2025, 1, 2), path), 1003);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().split('\n');
        QCOMPARE(lines.value(4), QByteArray("2025-01-01 08:00:59,020-959,,新号码,否,\r"));
        // A file that cannot be written is told, and nothing is left half made.
        QVERIFY_THROWS_EXCEPTION(
            Failure, RecentCallsExport::toFile(calls, {}, {}, m_folder->file(QStringLiteral("无/来电.csv"))));
    }

    void columnsAreFoundByCaptionOrColumnName()
    {
        const CustomerImport file = CustomerImport::fromBytes(
            QStringLiteral(" TEL ,客户编号：,CustomerName,备注,code\n13800000000,C7,赵六,老客户,518000\n")
                .toUtf8());
        QCOMPARE(file.mapping(), QList<std::optional<int>>({5, 0, 1, std::nullopt, 3}));
        QCOMPARE(file.write(*m_store, keepGoing).added, 1);
        QCOMPARE(
            test::sqlColumn(database(),
                            QStringLiteral("select customercode || '|' || customername || '|' || tel || '|' "
                                           "|| code || '|' || ifnull(address, 'NULL') from customer")),
            QStringList{QStringLiteral("C7|赵六|13800000000|518000|NULL")});
    }

    void badRowsAreSkippedWithTheirReasons()
    {
        QVERIFY(import(QStringLiteral("客户编号,客户名称\nC001,老客户\n").toUtf8()).added == 1);
        const QByteArray file = QStringLiteral("客户编号,客户名称\n"   // 1
                                               "C001,又来了\n"         // 2: present
                                               "N1,\"两行\n的名称\"\n" // 3-4: added
                                               " ,没有编号\n"          // 5: empty code
                                               "N2,ab\"c\n"            // 6: quote inside
                                               "N3,\"ab\"c\n"          // 7: text after quote
                                               "N4,多,一列\n"          // 8: too many fields
                                               "N1,重复\n"             // 9: present earlier in the file
                                               "\n"                    // 10: blank, ignored
                                               "N5,好\n")              // 11: added
                                    .toUtf8();
        const CustomerImport::Report report = import(file);
        QCOMPARE(report.added, 2);
        using Reason = CustomerImport::SkipReason;
        QCOMPARE(skipped(report, Reason::CodePresent), QStringList({"2", "9"}));
        QCOMPARE(skipped(report, Reason::EmptyCode), QStringList{"5"});
        QCOMPARE(skipped(report, Reason::Unparsable), QStringList({"6", "7", "8"}));
        QCOMPARE(codes(), QStringList({"C001", "N1", "N5"}));

        const QString summary = CustomerImport::summary(report);
        QVERIFY2(summary.startsWith(QStringLiteral("已导入 2 个客户，跳过 6 行。")), qPrintable(summary));
        for (const char16_t *part : {u"客户编号已存在（2 行）：第 2、9 行", u"客户编号为空（1 行）：第 5 行",
                                     u"无法识别的行（3 行）：第 6、7、8 行"})
            QVERIFY2(summary.contains(QString::fromUtf16(part)), qPrintable(summary));
    }

    void anUnreadableFileWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("told");
        QTest::newRow("quote never closed")
            << QStringLiteral("客户编号,客户名称\nN1,好\nN2,\"坏\nN3,好\n").toUtf8()
            << QStringLiteral("文件第 3 行的引号没有结束");
        QTest::newRow("binary") << QByteArray("PK\x03\x04\0\0客户编号", 16)
                                << QStringLiteral("不是一个文本格式");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("第一行应为各列的标题");
        QTest::newRow("no code column")
            << QStringLiteral("名称,电话\n张三,1\n").toUtf8() << QStringLiteral("没有“客户编号”一列");
    }
    void anUnreadableFileWritesNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, told);
        const QString message = test::failureOf([&] { import(file); });
        QVERIFY2(message.contains(told), qPrintable(message));
        QVERIFY(codes().isEmpty());

        const QString missing =
            test::failureOf([&] { CustomerImport::fromFile(m_folder->file(QStringLiteral("不存在.csv"))); });
        QVERIFY2(missing.startsWith(QStringLiteral("无法读取文件")), qPrintable(missing));
    }

    void cancellingWritesNothing_data()
    {
        QTest::addColumn<qsizetype>("stopAt");
        QTest::newRow("half way") << CustomerStore::ProgressStep;
        QTest::newRow("at the end") << qsizetype(1200);
    }
    void cancellingWritesNothing()
    {
        QFETCH(qsizetype, stopAt);
        QString text = QStringLiteral("客户编号,客户名称\n");
        for (int i = 0; i < 1200; ++i)
            text += QStringLiteral("K%1,客户%1\n").arg(i);
        const CustomerImport file = CustomerImport::fromBytes(text.toUtf8());
        QList<qsizetype> heard;
        const CustomerImport::Report report = file.write(*m_store, [&](qsizetype done, qsizetype total) {
            heard.append(done);
            return total == 1200 && done < stopAt;
        });
        QVERIFY(report.cancelled);
        QCOMPARE(heard.last(), stopAt);
        QVERIFY(codes().isEmpty());
        QCOMPARE(CustomerImport::summary(report), QStringLiteral("导入已取消，未导入任何客户。"));
    }
};

QTEST_GUILESS_MAIN(CustomerTransferTest)
#include "tst_customertransfer.moc"
