#include "app/mainwindow.h"
#include "modemsim.h"
#include "platform/messagebox.h"
#include "platform/programfolder.h"
#include "platform/serialcontrol.h"
#include "settings/lineparameters.h"
#include "settings/linesettingsdialog.h"
#include "testsupport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>

using namespace corvane;

namespace {

QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QByteArray entry(const char *key, const QString &value)
{
    return key + ('=' + gbk(value));
}

// The program folder with the modem's pseudo-terminal as port 2 and a
// device that does not exist as port 3.
QByteArray portsSection(const test::ModemSim &modem)
{
    return "[ports]\r\ncom2=" + modem.devicePath().toLocal8Bit() + "\r\ncom3=/nonexistent/ttyCorvane\r\n";
}

// The main window's port, open on the modem's line as at start-up.
void openMainPort(SerialControl &port)
{
    setLineParameters(port);
    port.setCommPort(2);
    port.setPortOpen(true);
}

} // namespace

class TestLineSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portTestOpensTheDigitsPortAndLeavesBothClosed_data()
    {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("message");
        QTest::newRow("com2") << QStringLiteral("com2") << QStringLiteral("此端口正常");
        QTest::newRow("com12 is port 2") << QStringLiteral("com12") << QStringLiteral("此端口正常");
        QTest::newRow("absent device") << QStringLiteral("com3") << QStringLiteral("无效的端口号,不可使用");
    }

    void portTestOpensTheDigitsPortAndLeavesBothClosed()
    {
        QFETCH(QString, portText);
        QFETCH(QString, message);
        test::ModemSim modem;
        QVERIFY(modem.isRunning());
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), portsSection(modem));
        SerialControl mainPort;
        openMainPort(mainPort);
        QSignalSpy received(&mainPort, &SerialControl::comm);

        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) {});
        dialog.show();
        dialog.ComboBox1->setEditText(portText);
        dialog.Button3->click();
        QCOMPARE(capture.takeTexts(), QStringList{message});
        QVERIFY(!dialog.MSComm1->portOpen());
        QVERIFY(!mainPort.portOpen());
        QCOMPARE(dialog.MSComm1->commPort(), portText.right(1).toInt());

        // The line stays dead for the rest of the run, whatever the user does next.
        dialog.Button2->click();
        QVERIFY(modem.command(QStringLiteral("call 5551234 0321 1405")));
        QTest::qWait(10 * SerialControl::QuietGapMs);
        QCOMPARE(received.count(), 0);
        QVERIFY(!mainPort.portOpen());
    }

    void portTextWithoutDigitGoesToTheErrorBoxAfterClosingTheMainPort_data()
    {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QString() << QStringLiteral("'' is not a valid integer value.");
        QTest::newRow("letter") << QStringLiteral("comx")
                                << QStringLiteral("'x' is not a valid integer value.");
    }

    void portTextWithoutDigitGoesToTheErrorBoxAfterClosingTheMainPort()
    {
        QFETCH(QString, portText);
        QFETCH(QString, error);
        test::ModemSim modem;
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), portsSection(modem));
        SerialControl mainPort;
        openMainPort(mainPort);

        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) {});
        dialog.show();
        dialog.ComboBox1->setEditText(portText);
        dialog.Button3->click();
        const QList<msg::Box> shown = capture.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, error);
        QCOMPARE(shown[0].icon, msg::Icon::Error);
        QVERIFY(!mainPort.portOpen());
        QVERIFY(!dialog.MSComm1->portOpen());
    }

    void savingWritesBothKeysAndEndsTheProgram_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("mode");
        QTest::newRow("chosen") << QStringLiteral("com3") << QStringLiteral("制式2");
        QTest::newRow("typed, unchecked") << QStringLiteral("com12") << QStringLiteral("制式9");
        QTest::newRow("both empty") << QString() << QString();
    }

    void savingWritesBothKeysAndEndsTheProgram()
    {
        QFETCH(QString, port);
        QFETCH(QString, mode);
        test::ProgramFolder folder(false);
        const QByteArray before =
            "; 本机设置\r\n[ports]\r\ncom1=/dev/ttyUSB0\r\n\r\n[zel]\r\nfather=com1\r\nschool=" +
            gbk(QStringLiteral("制式1")) + "\r\n\r\n[其他]\r\n键=值\r\n";
        folder.writeFile(QStringLiteral("zel.ini"), before);
        SerialControl mainPort;
        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, &MainWindow::WriteConfig);

        QTimer::singleShot(0, &dialog, [&] {
            QTimer::singleShot(50, &dialog, [&] {
                dialog.ComboBox1->setEditText(port);
                dialog.ComboBox2->setEditText(mode);
                dialog.Button1->click();
            });
            dialog.showModalFromMenu();
        });
        // Should the program not end, the test ends the loop itself, with 1.
        QTimer fallback;
        fallback.setSingleShot(true);
        connect(&fallback, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        fallback.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(capture.takeTexts(), QStringList{QStringLiteral("配置已保存，将退出程序，请重新运行。")});

        QFile file(folder.file(QStringLiteral("zel.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray expected = before;
        expected.replace(entry("father", QStringLiteral("com1")), entry("father", port));
        expected.replace(entry("school", QStringLiteral("制式1")), entry("school", mode));
        QCOMPARE(file.readAll(), expected);
    }

    void instructionsAndThePortTestBoxShowWhole()
    {
        test::ProgramFolder folder(false);
        test::ModemSim modem;
        QVERIFY(modem.isRunning());
        folder.writeFile(QStringLiteral("zel.ini"), portsSection(modem));
        SerialControl mainPort;
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) {});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Every instruction line ends inside the dialog, its last "，" included.
        for (QLabel *line : {dialog.Label41, dialog.Label55, dialog.Label1}) {
            QVERIFY2(line->geometry().right() < dialog.width(), qPrintable(line->text()));
            QVERIFY2(line->wordWrap() || line->sizeHint().width() <= line->width(), qPrintable(line->text()));
        }
        test::saveScreenshot(&dialog, QStringLiteral("settings-dialog-instructions.png"));

        // The port test's box, shown for real, is wide enough for its caption
        // beside the frame's icon and buttons.
        dialog.ComboBox1->setEditText(QStringLiteral("com2"));
        QString text;
        QString caption;
        int width = 0;
        int needed = 0;
        QTimer::singleShot(200, &dialog, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            caption = box->windowTitle();
            width = box->width();
            needed = box->fontMetrics().horizontalAdvance(caption) +
                     4 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight);
            test::saveScreenshot(box, QStringLiteral("port-test-box.png"));
            box->accept();
        });
        dialog.Button3->click();
        QCOMPARE(text, QStringLiteral("此端口正常"));
        QCOMPARE(caption, applicationTitle());
        QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
    }

    void comboBoxesStartEmptyAtEveryShowing()
    {
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"),
                         "[zel]\r\nfather=com2\r\nschool=" + gbk(QStringLiteral("制式2")) + "\r\n");
        SerialControl mainPort;
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) {});
        dialog.show();
        QCOMPARE(dialog.ComboBox1->currentText(), QString());
        QCOMPARE(dialog.ComboBox2->currentText(), QString());
        test::saveScreenshot(&dialog, QStringLiteral("settings-dialog.png"));

        dialog.ComboBox1->setCurrentIndex(0);
        dialog.ComboBox2->setEditText(QStringLiteral("制式3"));
        dialog.hide();
        dialog.show();
        QCOMPARE(dialog.ComboBox1->currentText(), QString());
        QCOMPARE(dialog.ComboBox2->currentText(), QString());
        QCOMPARE(dialog.ComboBox1->count(), 8);
        QCOMPARE(dialog.ComboBox2->itemText(1), QStringLiteral("制式2"));
    }

    void enterInAComboBoxNeitherSavesNorAddsAnItem()
    {
        test::ProgramFolder folder(false);
        SerialControl mainPort;
        int writes = 0;
        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, [&](const QString &, const QString &) { ++writes; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        dialog.ComboBox1->setFocus();
        QTest::keyClicks(dialog.ComboBox1->lineEdit(), QStringLiteral("com9"));
        QTest::keyClick(dialog.ComboBox1->lineEdit(), Qt::Key_Return);
        QCOMPARE(writes, 0);
        QCOMPARE(capture.takeTexts(), QStringList());
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.ComboBox1->count(), 8);
        QCOMPARE(dialog.ComboBox1->currentText(), QStringLiteral("com9"));
    }
};

QTEST_MAIN(TestLineSettings)
#include "tst_linesettings.moc"
