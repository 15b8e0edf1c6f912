#include "records/dataset.h"
#include "records/datasetmodel.h"
#include "store/calllogstore.h"
#include "store/customerstore.h"
#include "store/pagedquery.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QDate>
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
            QStringLiteral("''||'' or ''='' \r\n\t :code ?1 @x $y")};
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

void saveThrough(Dataset &entry, const QStringList &values)
{
    entry.append();
    for (int i = 0; i < fields.size(); ++i)
        entry.setFieldText(fields[i], values[i]);
    entry.post();
}

} // namespace

class InjectionTest : public QObject
{
    Q_OBJECT

    void verifyFoundByNumber(CustomerStore &customers, const QStringList &values)
    {
        const std::optional<Customer> found = customers.customerByTel(values[5]);
        QVERIFY(found);
        const QStringList shown{found->customerCode, found->name, found->address, found->postcode,
                                found->contact,      found->tel,  found->email,   found->qq};
        QCOMPARE(shown, values);
    }

    // Checks the stored bytes on a connection of the test's own, independent
    // of the stores.
    void verifyStoredBytes(const QString &path, const QList<QStringList> &customers)
    {
        const QStringList stored =
            test::sqlColumn(path, QStringLiteral("select hex(customercode)||','||hex(tel)||','||hex(qq) "
                                                 "from customer order by id"));
        QCOMPARE(stored.size(), customers.size());
        for (int row = 0; row < customers.size(); ++row) {
            const QStringList &values = customers[row];
            QCOMPARE(stored[row], QString::fromLatin1(values[0].toUtf8().toHex().toUpper() + ',' +
                                                      values[5].toUtf8().toHex().toUpper() + ',' +
                                                      values[7].toUtf8().toHex().toUpper()));
        }
    }

private Q_SLOTS:
    void savedByTwoWindowsThenFoundAndListed()
    {
        test::ProgramFolder folder;
        Stores stores;
        stores.connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        QList<QStringList> customers;
        Dataset entry(stores.customers.allCustomers());
        Dataset other(stores.customers.allCustomers());
        entry.open();
        other.open();
        for (int row = 0; row < 8; ++row) {
            customers.append(customer(row));
            saveThrough(row % 2 == 0 ? entry : other, customers.back());
        }
        QCOMPARE(entry.recordCount(), 4);
        for (const QStringList &values : customers)
            verifyFoundByNumber(stores.customers, values);
        verifyStoredBytes(folder.file(QStringLiteral("tel.mdb")), customers);

        Dataset list(stores.customers.allCustomers());
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
        for (int row = 0; row < customers.size(); ++row) {
            Dataset withCode(stores.customers.customersWithCode(customers[row][0]));
            withCode.open();
            QCOMPARE(withCode.recordCount(), 1);
            QCOMPARE(withCode.fieldText(QStringLiteral("tel")), customers[row][5]);
        }
    }

    void callLogCarriesAnyValue()
    {
        test::ProgramFolder folder;
        Stores stores;
        stores.connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        const QStringList values = nastyValues();
        for (const QString &value : values)
            stores.calls.logCall({QStringLiteral("2024-01-02"), value, value, value, value});
        for (const QString &value : values) {
            Dataset calls(stores.calls.callsBetween(QDate(2024, 1, 1), QDate(2024, 12, 31), value));
            calls.open();
            QCOMPARE(calls.recordCount(), 1);
            QCOMPARE(calls.fieldText(QStringLiteral("customername")), value);
            QCOMPARE(calls.fieldText(QStringLiteral("atime")), value);
        }
    }
};

QTEST_MAIN(InjectionTest)
#include "tst_injection.moc"
