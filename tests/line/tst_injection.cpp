#include "line/calllog.h"
#include "records/calllogqueryform.h"
#include "records/connection.h"
#include "records/dataset.h"
#include "records/datasetmodel.h"
#include "records/sqltext.h"
#include "testsupport.h"

#include <QDate>
#include <QSqlQuery>
#include <QTest>

using namespace corvane;

namespace {

const QStringList fields{"customercode", "customername", "address", "code", "person", "tel", "email", "qq"};

// Values that break naive SQL splicing or lose bytes on the way.
QStringList nastyValues()
{
    return {QStringLiteral("O'Hara"),
            QStringLiteral("x'); delete from customer; --"),
            QStringLiteral("back\\slash\\' \\\\"),
            QStringLiteral("100%_ like *"),
            QStringView(u"nul\0inside\0", 11).toString(),
            QStringLiteral("emoji 😀👍🏽 \"quoted\""),
            QStringLiteral("GBK 丂亐乚 镕 〇 € \u00b7"),
            QStringLiteral("''||'' or ''='' \r\n\t")};
}

// A customer whose every field holds a different nasty value; the row number
// rotates them so each value visits each field.
QStringList customer(int row)
{
    const QStringList values = nastyValues();
    QStringList result;
    for (int i = 0; i < fields.size(); ++i)
        result.append(values[(i + row) % values.size()] + QString::number(row));
    return result;
}

QString insertStatement(const QStringList &values)
{
    QStringList literals;
    for (const QString &value : values)
        literals.append(sqlText(value));
    return QStringLiteral("insert into customer(") + fields.join(QLatin1Char(',')) +
           QStringLiteral(") values(") + literals.join(QLatin1Char(',')) + QLatin1Char(')');
}

} // namespace

class InjectionTest : public QObject
{
    Q_OBJECT

    void verifyFoundByNumber(Connection &connection, const QStringList &values)
    {
        Dataset lookup(connection, customerLookupSql(values[5]));
        lookup.open();
        QCOMPARE(lookup.recordCount(), 1);
        for (int i = 0; i < fields.size(); ++i)
            QCOMPARE(lookup.fieldText(fields[i]), values[i]);
    }

    // Checks the stored bytes with Qt's own driver, independent of the dataset layer.
    void verifyStoredBytes(Connection &connection, const QList<QStringList> &customers)
    {
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(
            QStringLiteral("select hex(customercode), hex(tel), hex(qq) from customer order by id")));
        for (const QStringList &values : customers) {
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QString::fromLatin1(values[0].toUtf8().toHex().toUpper()));
            QCOMPARE(query.value(1).toString(), QString::fromLatin1(values[5].toUtf8().toHex().toUpper()));
            QCOMPARE(query.value(2).toString(), QString::fromLatin1(values[7].toUtf8().toHex().toUpper()));
        }
        QVERIFY(!query.next());
    }

private Q_SLOTS:
    void literalsQuoteOnlyWhatNeedsIt()
    {
        QCOMPARE(sqlText(QStringLiteral("13800138000")), QStringLiteral("'13800138000'"));
        QCOMPARE(sqlText(QString()), QStringLiteral("''"));
        QCOMPARE(sqlText(QStringLiteral("O'Hara")), QStringLiteral("'O''Hara'"));
        QCOMPARE(sqlText(QStringLiteral("a\\b%")), QStringLiteral("'a\\b%'"));
        QCOMPARE(sqlText(QStringView(u"a\0b", 3).toString()), QStringLiteral("'a'||char(0)||'b'"));
    }

    void savedByPostAndByInsertThenFoundAndListed()
    {
        test::ProgramFolder folder;
        Connection connection;
        connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        QList<QStringList> customers;
        Dataset entry(connection, QStringLiteral("select * from customer"));
        entry.open();
        for (int row = 0; row < 8; ++row) {
            const QStringList values = customer(row);
            customers.append(values);
            if (row % 2 == 0) {
                entry.append();
                for (int i = 0; i < fields.size(); ++i)
                    entry.setFieldText(fields[i], values[i]);
                entry.post();
            } else {
                Dataset insert(connection, insertStatement(values));
                insert.execute();
            }
        }
        QCOMPARE(entry.recordCount(), 4);
        for (const QStringList &values : customers)
            verifyFoundByNumber(connection, values);
        verifyStoredBytes(connection, customers);

        Dataset list(connection, QStringLiteral("select * from customer"));
        list.open();
        DatasetModel model;
        model.setDataset(&list);
        for (const QString &field : fields)
            model.addColumn({field, field});
        QCOMPARE(model.rowCount(), customers.size());
        for (int row = 0; row < customers.size(); ++row) {
            for (int i = 0; i < fields.size(); ++i)
                QCOMPARE(model.index(row, i).data().toString(), customers[row][i]);
        }
    }

    void callLogStatementsCarryAnyValue()
    {
        test::ProgramFolder folder;
        Connection connection;
        connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        const QStringList values = nastyValues();
        for (const QString &value : values) {
            Dataset log(connection,
                        callLogInsertSql({QStringLiteral("2024-01-02"), value, value, value, value}));
            log.execute();
        }
        for (const QString &value : values) {
            Dataset calls(connection, callLogQueryStatement(QDate(2024, 1, 1), QDate(2024, 12, 31), value));
            calls.open();
            QCOMPARE(calls.recordCount(), 1);
            QCOMPARE(calls.fieldText(QStringLiteral("customername")), value);
            QCOMPARE(calls.fieldText(QStringLiteral("atime")), value);
        }
    }
};

QTEST_MAIN(InjectionTest)
#include "tst_injection.moc"
