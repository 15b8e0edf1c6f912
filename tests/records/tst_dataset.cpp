#include "customerrows.h"
#include "records/dataset.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace corvane;
using State = Dataset::State;

class DatasetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_db = std::make_unique<test::FolderDatabase>(); }

    void cleanup() { m_db.reset(); }

    void walksBothWaysAndStopsAtTheEnds()
    {
        for (const char *code : {"A", "B", "C"})
            test::insertCustomer(m_db->connection, QString::fromLatin1(code));
        Dataset query(customers());
        QSignalSpy moves(&query, &Dataset::dataChanged);
        query.open();
        QCOMPARE(query.state(), State::Browse);
        QCOMPARE(query.recordCount(), 3);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("A"));
        moves.clear();
        query.prior();
        QCOMPARE(query.recordNumber(), 0);
        QCOMPARE(moves.count(), 0);
        query.next();
        query.next();
        query.next();
        QCOMPARE(query.fieldText(QStringLiteral("CustomerCode")), QStringLiteral("C"));
        query.first();
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("A"));
        query.last();
        QCOMPARE(query.recordNumber(), 2);
        query.close();
        QCOMPARE(query.state(), State::Inactive);
        QCOMPARE(query.recordCount(), 0);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QString());
    }

    void emptyResultReadsEmptyTextButUnknownFieldsFail()
    {
        Dataset query(m_db->stores.customers.customersWithCode(QStringLiteral("none")));
        query.open();
        QCOMPARE(query.recordCount(), 0);
        QCOMPARE(query.recordNumber(), -1);
        QCOMPARE(query.fieldText(QStringLiteral("code")), QString());
        QVERIFY(test::failureOf([&] {
                    query.fieldText(QStringLiteral("nosuchfield"));
                }).contains(QStringLiteral("nosuchfield")));
        query.next();
        query.last();
        QCOMPARE(query.recordNumber(), -1);
    }

    void reopeningKeepsCurrentRowAndPendingEdit()
    {
        test::insertCustomer(m_db->connection, QStringLiteral("A"));
        test::insertCustomer(m_db->connection, QStringLiteral("B"));
        Dataset query(customers());
        query.open();
        query.next();
        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("pending"));
        query.open();
        QCOMPARE(query.state(), State::Edit);
        QCOMPARE(query.recordNumber(), 1);
        QCOMPARE(query.fieldText(QStringLiteral("customername")), QStringLiteral("pending"));
    }

    void snapshotIgnoresLaterWrites()
    {
        test::insertCustomer(m_db->connection, QStringLiteral("A"));
        Dataset query(customers());
        query.open();
        test::run(m_db->connection, QStringLiteral("update customer set customercode='changed'"));
        test::insertCustomer(m_db->connection, QStringLiteral("B"));
        QCOMPARE(query.recordCount(), 1);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("A"));
        query.close();
        query.open();
        QCOMPARE(query.recordCount(), 2);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("changed"));
    }

    void appendThenPostInsertsAndShowsTheRow()
    {
        test::insertCustomer(m_db->connection, QStringLiteral("A"));
        Dataset query(customers());
        query.open();
        query.append();
        QCOMPARE(query.state(), State::Insert);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QString());
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("B"));
        query.setFieldText(QStringLiteral("tel"), QStringLiteral("555"));
        query.post();
        QCOMPARE(query.state(), State::Browse);
        QCOMPARE(query.recordCount(), 2);
        QCOMPARE(query.recordNumber(), 1);
        QCOMPARE(query.fieldText(QStringLiteral("tel")), QStringLiteral("555"));
        QVERIFY(!query.fieldText(QStringLiteral("id")).isEmpty());
        QCOMPARE(test::customerCodes(m_db->connection), (QStringList{"A", "B"}));
    }

    void appendPostsAChangedRowAndDropsAnUntouchedOne()
    {
        Dataset query(customers());
        query.open();
        query.append();
        query.append();
        QCOMPARE(query.recordCount(), 0);
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("typed"));
        query.append();
        QCOMPARE(query.state(), State::Insert);
        QCOMPARE(query.recordCount(), 1);
        QCOMPARE(test::customerCodes(m_db->connection), QStringList{QStringLiteral("typed")});
    }

    void editWritesOnlyChangedFieldsByKey()
    {
        test::insertCustomer(m_db->connection, QStringLiteral("A"), QStringLiteral("111"));
        test::insertCustomer(m_db->connection, QStringLiteral("B"), QStringLiteral("222"));
        Dataset query(customers());
        query.open();
        query.next();
        query.edit();
        QCOMPARE(query.state(), State::Edit);
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("Bee"));
        // Another window changes a field this edit leaves alone: it must survive.
        test::run(m_db->connection, QStringLiteral("update customer set tel='333' where customercode='B'"));
        query.post();
        QCOMPARE(query.state(), State::Browse);
        QCOMPARE(query.recordNumber(), 1);
        QCOMPARE(query.fieldText(QStringLiteral("customername")), QStringLiteral("Bee"));
        QCOMPARE(
            test::column(m_db->connection, QStringLiteral("select customername from customer order by id")),
            (QStringList{"", "Bee"}));
        QCOMPARE(test::column(m_db->connection, QStringLiteral("select tel from customer order by id")),
                 (QStringList{"111", "333"}));
    }

    void editOnEmptyResultStartsANewRow()
    {
        Dataset query(customers());
        query.open();
        query.edit();
        QCOMPARE(query.state(), State::Insert);
        query.post();
        QCOMPARE(query.recordCount(), 1);
        QCOMPARE(test::customerCodes(m_db->connection), QStringList{QString()});
    }

    void cancelDropsChangesAndNewRows()
    {
        test::insertCustomer(m_db->connection, QStringLiteral("A"));
        test::insertCustomer(m_db->connection, QStringLiteral("B"));
        Dataset query(customers());
        query.open();
        query.cancel();
        QCOMPARE(query.state(), State::Browse);
        query.edit();
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("X"));
        query.cancel();
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("A"));
        query.append();
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("Y"));
        query.cancel();
        QCOMPARE(query.state(), State::Browse);
        QCOMPARE(query.recordCount(), 2);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("B"));
        QCOMPARE(test::customerCodes(m_db->connection), (QStringList{"A", "B"}));
    }

    void removeDeletesTheCurrentRow()
    {
        for (const char *code : {"A", "B", "C"})
            test::insertCustomer(m_db->connection, QString::fromLatin1(code));
        Dataset query(customers());
        query.open();
        query.next();
        query.remove();
        QCOMPARE(query.recordCount(), 2);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("C"));
        query.remove();
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("A"));
        QCOMPARE(test::customerCodes(m_db->connection), QStringList{QStringLiteral("A")});
    }

    void removeOnEmptyResultFailsAndChangesNothing()
    {
        test::insertCustomer(m_db->connection, QStringLiteral("A"));
        Dataset query(m_db->stores.customers.customersWithCode(QStringLiteral("none")));
        query.open();
        QCOMPARE(test::failureOf([&] { query.remove(); }),
                 QStringLiteral("Cannot perform this operation on an empty dataset"));
        QCOMPARE(query.state(), State::Browse);
        QCOMPARE(test::customerCodes(m_db->connection), QStringList{QStringLiteral("A")});
    }

    void refusedPostRaisesAndKeepsTheRowPending()
    {
        test::run(m_db->connection,
                  QStringLiteral("create trigger refuse before insert on customer "
                                 "when new.customercode='bad' begin select raise(abort,'refused'); end"));
        Dataset query(customers());
        query.open();
        query.append();
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("bad"));
        QCOMPARE(test::failureOf([&] { query.post(); }), QStringLiteral("refused"));
        QCOMPARE(query.state(), State::Insert);
        QCOMPARE(query.recordCount(), 0);
        QCOMPARE(test::failureOf([&] { query.append(); }), QStringLiteral("refused"));
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("bad"));
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("good"));
        query.post();
        QCOMPARE(test::customerCodes(m_db->connection), QStringList{QStringLiteral("good")});
    }

    void editOfARowDeletedElsewhereIsNotReportedAsSaved()
    {
        test::insertCustomer(m_db->connection, QStringLiteral("A"));
        Dataset query(customers());
        query.open();
        query.edit();
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("B"));
        test::run(m_db->connection, QStringLiteral("delete from customer"));
        QVERIFY(test::failureOf([&] { query.post(); }).startsWith(QStringLiteral("Row cannot be located")));
        QCOMPARE(query.state(), State::Edit);
    }

    void fieldsOnlyChangeWhileEditing()
    {
        test::insertCustomer(m_db->connection, QStringLiteral("A"));
        Dataset query(customers());
        QCOMPARE(test::failureOf([&] { query.append(); }),
                 QStringLiteral("Operation is not allowed when the object is closed"));
        query.open();
        QCOMPARE(
            test::failureOf([&] { query.setFieldText(QStringLiteral("customercode"), QStringLiteral("X")); }),
            QStringLiteral("Dataset not in edit or insert mode"));
        query.edit();
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("A"));
        QVERIFY(!query.isModified());
    }

    void valuesOfMegabytesSurvive()
    {
        const QString huge = QString(3 << 20, QLatin1Char('x')) + QStringLiteral("尾");
        test::insertCustomer(m_db->connection, QStringLiteral("before"));
        test::insertCustomer(m_db->connection, huge);
        test::insertCustomer(m_db->connection, QStringLiteral("after"));
        Dataset query(customers());
        query.open();
        QStringList codes;
        for (int i = 0; i < query.recordCount(); ++i, query.next())
            codes.append(query.fieldText(QStringLiteral("customercode")));
        QCOMPARE(codes, (QStringList{QStringLiteral("before"), huge, QStringLiteral("after")}));
    }

    // A table too big to read whole at opening is read page by page as it is
    // shown; what was shown behaves exactly as in a small one.
    void bigTableBehavesLikeASmallOne()
    {
        const int rows = Dataset::CachedRows * 3 + 10;
        test::run(m_db->connection,
                  QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<%1) "
                                 "insert into customer(customercode,tel) select 'C'||i, i from n")
                      .arg(rows));
        Dataset query(customers());
        query.open();
        QCOMPARE(query.recordCount(), rows);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("C1"));
        query.last();
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("C%1").arg(rows));

        test::run(m_db->connection, QStringLiteral("update customer set customercode='changed'"));
        test::run(m_db->connection, QStringLiteral("delete from customer where id=2"));
        test::insertCustomer(m_db->connection, QStringLiteral("later"));
        QCOMPARE(query.recordCount(), rows);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("C%1").arg(rows));
        query.first();
        query.next();
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("C2"));

        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("edited"));
        QCOMPARE(test::failureOf([&] { query.post(); }).left(21), QStringLiteral("Row cannot be located"));
        query.cancel();
        query.first();
        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("edited"));
        query.post();
        QCOMPARE(query.fieldText(QStringLiteral("customername")), QStringLiteral("edited"));
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("C1"));
        query.append();
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("new"));
        query.post();
        QCOMPARE(query.recordCount(), rows + 1);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("new"));
        query.first();
        query.remove();
        QCOMPARE(query.recordCount(), rows);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("C2"));

        // Reopened: one row deleted elsewhere and one by us, one added by each.
        query.close();
        query.open();
        QCOMPARE(query.recordCount(), rows);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("changed"));
        query.last();
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("new"));
    }

private:
    std::unique_ptr<PagedQuery> customers() { return m_db->stores.customers.allCustomers(); }

    std::unique_ptr<test::FolderDatabase> m_db;
};

QTEST_MAIN(DatasetTest)
#include "tst_dataset.moc"
