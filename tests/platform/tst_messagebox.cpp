#include "desktop/guard.h"
#include "desktop/messagebox.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "platform/strtoint.h"
#include "testsupport.h"

#include <QTest>

using namespace corvane;

class TestMessageBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void errorTextAppendsAFullStopOnlyAfterLaterCharacters_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("word") << "Disk full"
                              << "Disk full.";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("quote") << "'1'"
                               << "'1'";
        QTest::newRow("bang") << "Stop!"
                              << "Stop!";
        QTest::newRow("slash sorts after the stop") << "a/"
                                                    << "a/.";
        QTest::newRow("chinese") << QStringLiteral("错误") << QStringLiteral("错误.");
    }
    void errorTextAppendsAFullStopOnlyAfterLaterCharacters()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(msg::errorText(message), shown);
    }

    void applicationTitleComesFromTheExecutableName()
    {
        QCOMPARE(applicationTitleFromPath(QStringLiteral("/opt/x/Corvane")), QStringLiteral("Corvane"));
        QCOMPARE(applicationTitleFromPath(QStringLiteral("/opt/x/CORVANE.bin.old")),
                 QStringLiteral("Corvane"));
        QCOMPARE(applicationTitleFromPath(QStringLiteral("corVANE.exe")), QStringLiteral("corvane"));
    }

    void guardShowsAnEscapedFailureInTheErrorBox()
    {
        test::MessageCapture capture;
        bool after = false;
        guarded([&] {
            strToInt(QString());
            after = true;
        });
        QVERIFY(!after);
        const QList<msg::Box> shown = capture.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("'' is not a valid integer value."));
        QCOMPARE(shown[0].caption, applicationTitle());
        QCOMPARE(shown[0].icon, msg::Icon::Error);
        QCOMPARE(shown[0].buttons, msg::Buttons::Ok);
    }

    void strToIntAcceptsOnlyWholeNumbers()
    {
        QCOMPARE(strToInt(QStringLiteral("3")), 3);
        QCOMPARE(strToInt(QStringLiteral(" -12")), -12);
        for (const char *bad : {"", "x", "1 ", "1.5", "com1", "99999999999"})
            QVERIFY_THROWS_EXCEPTION(Failure, strToInt(QString::fromLatin1(bad)));
    }
};

QTEST_GUILESS_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
