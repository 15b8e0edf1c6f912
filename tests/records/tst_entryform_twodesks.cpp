// Two desks' entry forms on one shared server, as two people at two PCs use
// them: a private server, each form on its own connection.

#include "customerrows.h"
#include "pgserver.h"
#include "records/customerentryform.h"
#include "records/dataset.h"
#include "records/dbedit.h"

#include <QTest>
#include <QToolButton>

using namespace corvane;
using State = Dataset::State;

namespace {

struct Desk
{
    explicit Desk(const test::PgServer &server) { stores.connection.setServer(server.socketAddress()); }

    DBEdit *editor(const char *name) const { return form.findChild<DBEdit *>(QLatin1String(name)); }
    QToolButton *button(const char *name) const { return form.findChild<QToolButton *>(QLatin1String(name)); }
    State state() const { return form.findChild<Dataset *>()->state(); }

    Stores stores;
    CustomerEntryForm form{stores.customers};
};

} // namespace

class TwoDesksEntryTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PgServer> m_server;
    std::unique_ptr<test::MessageCapture> m_capture;

private Q_SLOTS:
    void initTestCase() { m_server = std::make_unique<test::PgServer>(); }

    void init()
    {
        m_server->emptyDatabase();
        m_capture = std::make_unique<test::MessageCapture>();
    }

    void cleanup() { m_capture.reset(); }

    // Both add the same code: the second save is refused in words the user
    // understands, the typed row stays, and another code saves it.
    void aCodeTakenAtTheOtherDeskIsRefusedAndTheRowKept()
    {
        Desk a(*m_server);
        Desk b(*m_server);
        a.form.show();
        b.form.show();
        for (Desk *desk : {&a, &b}) {
            desk->button("addButton")->click();
            QTest::keyClicks(desk->editor("customerCodeEdit"), QStringLiteral("C9"));
            desk->editor("customerNameEdit")->insert(QStringLiteral("五金店"));
        }
        a.button("saveButton")->click();
        QCOMPARE(a.state(), State::Browse);
        b.button("saveButton")->click();
        QCOMPARE(m_capture->takeTexts(),
                 QStringList{QStringLiteral(
                     "此客户编号已被使用（可能刚由另一台电脑保存），请换一个客户编号后再保存.")});
        QCOMPARE(b.state(), State::Insert);
        QCOMPARE(b.editor("customerCodeEdit")->text(), QStringLiteral("C9"));
        QCOMPARE(b.editor("customerNameEdit")->text(), QStringLiteral("五金店"));

        b.editor("customerCodeEdit")->setText(QStringLiteral("C10"));
        b.button("saveButton")->click();
        QCOMPARE(b.state(), State::Browse);
        QCOMPARE(m_server->query(QStringLiteral("SELECT customercode FROM customer ORDER BY id")),
                 (QStringList{QStringLiteral("C9"), QStringLiteral("C10")}));
    }

    // Both edit one customer read before either saved: each save keeps the
    // other's field; a customer deleted at one desk is not saved at the other.
    void twoDesksEditingOneCustomerKeepEachOthersChanges()
    {
        Desk a(*m_server);
        Desk b(*m_server);
        test::insertCustomer(a.stores.connection, QStringLiteral("A"), QStringLiteral("5550001"));
        a.form.show();
        b.form.show();
        a.button("editButton")->click();
        a.editor("addressEdit")->insert(QStringLiteral("新地址"));
        b.button("editButton")->click();
        b.editor("contactEdit")->insert(QStringLiteral("张三"));
        a.button("saveButton")->click();
        b.button("saveButton")->click();
        QCOMPARE(m_capture->takeTexts(), QStringList());
        QCOMPARE(m_server->query(QStringLiteral("SELECT address, person, tel FROM customer")),
                 QStringList{QStringLiteral("新地址|张三|5550001")});

        m_capture->answer(msg::Answer::Yes);
        a.button("deleteButton")->click();
        b.button("editButton")->click();
        b.editor("telEdit")->setText(QStringLiteral("5550002"));
        b.button("saveButton")->click();
        const QStringList told = m_capture->takeTexts();
        QCOMPARE(told.size(), 2);
        QVERIFY2(told.last().startsWith(QStringLiteral("Row cannot be located for updating")),
                 qPrintable(told.last()));
        QCOMPARE(b.state(), State::Edit);
        QCOMPARE(m_server->query(QStringLiteral("SELECT count(*) FROM customer")),
                 QStringList{QStringLiteral("0")});
    }
};

QTEST_MAIN(TwoDesksEntryTest)
#include "tst_entryform_twodesks.moc"
