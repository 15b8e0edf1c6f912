#include "customerrows.h"
#include "records/dataset.h"
#include "records/datasource.h"
#include "records/dbedit.h"
#include "records/dbgrid.h"
#include "testsupport.h"

#include <QTest>

using namespace corvane;

class BindingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<test::FolderDatabase>();
        test::insertCustomer(m_db->connection, QStringLiteral("A"), QStringLiteral("111"));
        test::insertCustomer(m_db->connection, QStringLiteral("B"), QStringLiteral("222"));
        m_query = std::make_unique<Dataset>(m_db->stores.customers.allCustomers());
        m_source = std::make_unique<DataSource>(m_query.get());
    }

    void cleanup()
    {
        m_source.reset();
        m_query.reset();
        m_db.reset();
    }

    void editorFollowsTheCurrentRowAndWritesOnlyWhileEditing()
    {
        DBEdit edit(m_source.get(), QStringLiteral("tel"));
        QCOMPARE(edit.text(), QString());
        m_query->open();
        QCOMPARE(edit.text(), QStringLiteral("111"));
        QVERIFY(edit.isReadOnly());
        m_query->last();
        QCOMPARE(edit.text(), QStringLiteral("222"));

        m_query->edit();
        QVERIFY(!edit.isReadOnly());
        edit.selectAll();
        QTest::keyClicks(&edit, QStringLiteral("9'9"));
        QCOMPARE(m_query->fieldText(QStringLiteral("tel")), QStringLiteral("9'9"));
        m_query->cancel();
        QCOMPARE(edit.text(), QStringLiteral("222"));
        QVERIFY(edit.isReadOnly());

        m_query->append();
        QCOMPARE(edit.text(), QString());
        edit.setText(QStringLiteral("333"));
        QVERIFY(m_query->isModified());
        m_query->post();
        QCOMPARE(test::column(m_db->connection, QStringLiteral("select tel from customer order by id")),
                 (QStringList{"111", "222", "333"}));

        m_query->close();
        QCOMPARE(edit.text(), QString());
    }

    void editorFollowsTheSourcesDataset()
    {
        Dataset other(m_db->stores.customers.customersWithCode(QStringLiteral("B")));
        other.open();
        DBEdit edit(m_source.get(), QStringLiteral("tel"));
        m_source->setDataset(&other);
        QCOMPARE(edit.text(), QStringLiteral("222"));
    }

    void gridShowsEveryRowAndNothingWhenClosed()
    {
        DBGrid grid(m_source.get());
        grid.addColumn(QStringLiteral("customercode"), QStringLiteral("客户编码"), 70);
        grid.addColumn(QStringLiteral("tel"), QStringLiteral("电话"), 90);
        QAbstractItemModel *model = grid.model();
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("电话"));
        QCOMPARE(grid.columnWidth(1), 90);
        m_query->open();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("B"));
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("222"));

        m_query->remove();
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("B"));
        m_query->append();
        m_query->setFieldText(QStringLiteral("customercode"), QStringLiteral("C"));
        m_query->post();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("C"));

        m_query->close();
        QCOMPARE(model->rowCount(), 0);
    }

private:
    std::unique_ptr<test::FolderDatabase> m_db;
    std::unique_ptr<Dataset> m_query;
    std::unique_ptr<DataSource> m_source;
};

QTEST_MAIN(BindingTest)
#include "tst_binding.moc"
