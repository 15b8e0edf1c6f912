#include "core/calleridsetup.h"
#include "core/lineconfig.h"
#include "core/modemconfig.h"
#include "coresupport.h"
#include "platform/gbk.h"

#include <QFile>
#include <QTest>

using namespace corvane;

class TestLineConfig : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void portNamesGiveTheirDigitExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        for (int n = 1; n <= 8; ++n)
            QTest::addRow("com%d", n) << QStringLiteral("com%1").arg(n) << QString::number(n);
        QTest::newRow("capitals") << "COM2"
                                  << "";
        QTest::newRow("com9") << "com9"
                              << "";
        QTest::newRow("inner blank") << "com 1"
                                     << "";
        QTest::newRow("outer blanks kept") << " com2 "
                                           << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("com12") << "com12"
                               << "";
    }
    void portNamesGiveTheirDigitExactly()
    {
        QFETCH(QString, name);
        QFETCH(QString, number);
        QCOMPARE(portNumberText(name), number);
    }

    void modesChooseTheirCommand()
    {
        QCOMPARE(modeCommand(QStringLiteral("制式1")), QStringLiteral("at#cid=1\r"));
        QCOMPARE(modeCommand(QStringLiteral("制式2")), QStringLiteral("at#vcid=1\r"));
        QCOMPARE(modeCommand(QStringLiteral("制式3")), QString());
        QCOMPARE(modeCommand(QString()), QString());
        // The mode's own first, then the others modems use, none twice in
        // another case; the one the modem took last time before them all.
        QCOMPARE(callerIdCommands(QStringLiteral("制式1"), {}),
                 (QStringList{"at#cid=1", "AT+VCID=1", "AT%CCID=1", "at#vcid=1"}));
        QCOMPARE(callerIdCommands(QStringLiteral("制式2"), QStringLiteral("AT%CCID=1")),
                 (QStringList{"AT%CCID=1", "at#vcid=1", "AT+VCID=1", "AT#CID=1"}));
        QCOMPARE(callerIdCommands(QStringLiteral("制式3"), QStringLiteral("AT+VCID=1")), QStringList());
    }

    // A device chosen by its stable name is kept under the port that names it
    // already, else under the configured port, in [ports] where older copies
    // look; the command the port's earlier modem took goes with it.
    void devicesAreKeptUnderAComPort()
    {
        test::ProgramFolder folder(false);
        folder.writeFile(
            QStringLiteral("zel.ini"),
            "[zel]\r\nfather=com3\r\n[ports]\r\ncom2=/dev/ttyUSB0\r\n[line]\r\ninit=AT+GCI=26\r\n"
            "[callerid]\r\ncom3=AT+VCID=1\r\n");
        QCOMPARE(portForDevice(QStringLiteral("/dev/ttyUSB0")), QStringLiteral("com2"));
        QCOMPARE(portForDevice(QStringLiteral("/dev/ttyS0")), QStringLiteral("com1"));
        const QString byId = QStringLiteral("/dev/serial/by-id/usb-Conexant_USB_Modem_12345678-if00");
        QCOMPARE(portForDevice(byId), QStringLiteral("com3"));
        QCOMPARE(readModemSettings(QStringLiteral("com3")).rememberedCommand, QStringLiteral("AT+VCID=1"));
        QVERIFY(assignPortDevice(QStringLiteral("com3"), byId));
        const ModemSettings modem = readModemSettings(QStringLiteral("com3"));
        QCOMPARE(modem.init, QStringLiteral("AT+GCI=26"));
        QCOMPARE(modem.rememberedCommand, QString());
        QCOMPARE(portForDevice(byId), QStringLiteral("com3"));
    }

    void blanksAroundTheStoredPortAreIgnored()
    {
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), "[zel]\r\nfather= com2 \r\n");
        const LineConfig config = readLineConfig();
        QCOMPARE(portNumberText(config.portName), QStringLiteral("2"));
        QCOMPARE(config.mode, QString());
    }

    void capitalPortIsNotRecognised()
    {
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), "[zel]\nfather=COM2\nschool=\xd6\xc6\xca\xbd"
                                                    "2\n");
        const LineConfig config = readLineConfig();
        QCOMPARE(portNumberText(config.portName), QString());
        QCOMPARE(modeCommand(config.mode), QStringLiteral("at#vcid=1\r"));
    }

    void modeIsRecognisedInEveryEncodingAnEditorSaves_data()
    {
        const QString text = QStringLiteral("[zel]\r\nfather=com1\r\nschool=制式1\r\n");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("GBK") << gbk::encode(text);
        QTest::newRow("UTF-8") << text.toUtf8();
        QTest::newRow("UTF-8 with byte-order mark") << "\xEF\xBB\xBF" + text.toUtf8();
    }

    void modeIsRecognisedInEveryEncodingAnEditorSaves()
    {
        QFETCH(QByteArray, bytes);
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), bytes);
        const LineConfig config = readLineConfig();
        QCOMPARE(portNumberText(config.portName), QStringLiteral("1"));
        QCOMPARE(modeCommand(config.mode), QStringLiteral("at#cid=1\r"));
    }

    void savedValuesReadBackAndKeepTheRestOfTheFile()
    {
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), "[ports]\ncom3=/dev/ttyUSB0\n");
        QVERIFY(writeLineConfig(QStringLiteral("com3"), QStringLiteral("制式1")));
        LineConfig config = readLineConfig();
        QCOMPARE(config.portName, QStringLiteral("com3"));
        QCOMPARE(config.mode, QStringLiteral("制式1"));

        QVERIFY(writeLineConfig(QString(), QString()));
        config = readLineConfig();
        QCOMPARE(config.portName, QString());
        QCOMPARE(config.mode, QString());
        QFile f(folder.file(QStringLiteral("zel.ini")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[ports]\ncom3=/dev/ttyUSB0\n\n[zel]\nfather=\nschool=\n"));
    }
};

QTEST_GUILESS_MAIN(TestLineConfig)
#include "tst_lineconfig.moc"
