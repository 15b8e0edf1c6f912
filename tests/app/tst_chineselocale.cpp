#include "app/chineselocale.h"
#include "desktop/messagebox.h"
#include "records/calllogqueryform.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace corvane;

namespace {

// The texts a user reads on the box's buttons, mnemonics left out: "是(&Y)"
// reads 是.
QStringList buttonTexts(const QMessageBox &box)
{
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)|&"));
    QStringList texts;
    for (const QAbstractButton *button : box.buttons())
        texts.append(button->text().remove(mnemonic));
    texts.sort();
    return texts;
}

// Hands the box that the next msg::show puts on the screen to `handle`, which
// must close it.
void onNextBox(const std::function<void(QMessageBox &)> &handle)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, handle] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(window);
            if (box && box->isVisible()) {
                poll->deleteLater();
                poll->stop();
                handle(*box);
                return;
            }
        }
    });
    poll->start(20);
}

} // namespace

// Run with LANG=C.UTF-8: Qt's own texts and dates must be Chinese all the same.
class TestChineseLocale : public QObject
{
    Q_OBJECT

    std::unique_ptr<ChineseLocale> m_chinese;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QLocale::system().language() != QLocale::Chinese, "run under a non-Chinese system locale");
        m_chinese = std::make_unique<ChineseLocale>();
    }

    void standardButtonsReadChinese_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("screenshot");
        QTest::newRow("question") << int(msg::Buttons::YesNo)
                                  << QStringList{QStringLiteral("否"), QStringLiteral("是")}
                                  << QStringLiteral("box-yes-no-zh.png");
        QTest::newRow("message") << int(msg::Buttons::Ok) << QStringList{QStringLiteral("确定")}
                                 << QStringLiteral("box-ok-zh.png");
    }

    void standardButtonsReadChinese()
    {
        QFETCH(int, buttons);
        QFETCH(QStringList, texts);
        QFETCH(QString, screenshot);
        QStringList shown;
        onNextBox([&](QMessageBox &box) {
            shown = buttonTexts(box);
            test::saveScreenshot(&box, screenshot);
            // The escape button: No of a question, OK of a message.
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        const msg::Box question{QStringLiteral("请确认是否要删除"), QStringLiteral("Corvane"),
                                msg::Icon::Information, msg::Buttons(buttons), msg::Answer::Ok};
        const msg::Answer answer = msg::show(question);
        QCOMPARE(shown, texts);
        QCOMPARE(answer, msg::Buttons(buttons) == msg::Buttons::YesNo ? msg::Answer::No : msg::Answer::Ok);
    }

    void callLogDatesAndCalendarAreChinese()
    {
        test::ProgramFolder folder;
        Stores stores;
        stores.connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        CallLogQueryForm form(stores.calls, stores.customers);
        form.show();
        const QDate today = QDate::currentDate();
        auto *firstDate = form.findChild<QDateEdit *>(QStringLiteral("firstDateEdit"));
        auto *lastDate = form.findChild<QDateEdit *>(QStringLiteral("lastDateEdit"));
        QCOMPARE(firstDate->text(), QStringLiteral("%1/1/1").arg(today.year()));
        QCOMPARE(lastDate->text(),
                 QStringLiteral("%1/%2/%3").arg(today.year()).arg(today.month()).arg(today.day()));
        test::saveScreenshot(&form, QStringLiteral("call-log-dates-zh.png"));

        QCalendarWidget *calendar = firstDate->calendarWidget();
        QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
        QCOMPARE(calendar->locale().monthName(1), QStringLiteral("一月"));
        QCOMPARE(calendar->locale().dayName(1, QLocale::ShortFormat), QStringLiteral("周一"));
        calendar->resize(260, 180);
        test::saveScreenshot(calendar, QStringLiteral("call-log-calendar-zh.png"));
    }
};

QTEST_MAIN(TestChineseLocale)
#include "tst_chineselocale.moc"
