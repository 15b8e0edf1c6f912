#include "core/lineconfig.h"
#include "core/lineparameters.h"
#include "desktop/messagebox.h"
#include "layoutfaults.h"
#include "modemsim.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "platform/serialcontrol.h"
#include "settings/linesettingsdialog.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <optional>

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

// A zel.ini with comments, other sections and a GBK mode, as a user keeps it.
QByteArray configBefore()
{
    return "; 本机设置\r\n[ports]\r\ncom1=/dev/ttyUSB0\r\n\r\n[zel]\r\nfather=com1\r\nschool=" +
           gbk(QStringLiteral("制式1")) + "\r\n\r\n[其他]\r\n键=值\r\n";
}

QByteArray configBytes(const test::ProgramFolder &folder)
{
    QFile file(folder.file(QStringLiteral("zel.ini")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isWritable(const QString &path, bool isFolder)
{
    QFile probe(isFolder ? path + QStringLiteral("probe") : path);
    const bool writable = probe.open(isFolder ? QIODevice::WriteOnly : QIODevice::Append);
    if (writable && isFolder)
        probe.remove();
    return writable;
}

QComboBox *portBox(const LineSettingsDialog &dialog)
{
    return test::child<QComboBox>(dialog, "portBox");
}

QComboBox *modeBox(const LineSettingsDialog &dialog)
{
    return test::child<QComboBox>(dialog, "modeBox");
}

void click(const LineSettingsDialog &dialog, const char *button)
{
    test::child<QPushButton>(dialog, button)->click();
}

// The port the dialog's test opens.
SerialControl *testPort(const LineSettingsDialog &dialog)
{
    return test::child<SerialControl>(dialog, "testPort");
}

constexpr int ProgramEnded = 0;
constexpr int DialogStayedOpen = 7;

// "保存配置" as a user reaches it: the dialog shown modally from the menu, the
// two texts typed, the button pressed. Returns ProgramEnded when the program
// went on to end, DialogStayedOpen when the dialog was still open a moment
// later (the test then closes it and ends the loop itself).
// An area code given is typed over the one shown.
int saveThroughDialog(LineSettingsDialog &dialog, const QString &port, const QString &mode,
                      const std::optional<QString> &areaCode = std::nullopt)
{
    QTimer::singleShot(0, &dialog, [&] {
        QTimer::singleShot(50, &dialog, [&] {
            portBox(dialog)->setEditText(port);
            modeBox(dialog)->setEditText(mode);
            if (areaCode)
                test::child<QLineEdit>(dialog, "areaCodeEdit")->setText(*areaCode);
            click(dialog, "saveButton");
            QTimer::singleShot(300, &dialog, [&] {
                const bool open = dialog.isVisible();
                dialog.close();
                QCoreApplication::exit(open ? DialogStayedOpen : 1);
            });
        });
        dialog.showModalFromMenu();
    });
    return QCoreApplication::exec();
}

// A folder standing for /dev while it lives, with serial/by-id links.
class DeviceFolder
{
public:
    DeviceFolder()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("serial/by-id"));
        qputenv("CORVANE_DEVICE_FOLDER", m_dir.path().toLocal8Bit());
    }
    ~DeviceFolder() { qunsetenv("CORVANE_DEVICE_FOLDER"); }
    DeviceFolder(const DeviceFolder &) = delete;
    DeviceFolder &operator=(const DeviceFolder &) = delete;

    // A stable name for target; its path.
    QString link(const QString &name, const QString &target) const
    {
        const QString path = m_dir.filePath(QStringLiteral("serial/by-id/") + name);
        QFile::link(target, path);
        return path;
    }

private:
    QTemporaryDir m_dir;
};

// The main window's port, open on the modem's line as at start-up.
void openMainPort(SerialControl &port)
{
    setLineParameters(port);
    port.setPortNumber(2);
    port.setOpen(true);
}

} // namespace

class TestLineSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void portTestOpensTheDigitsPortAndTakesUpTheMainPortAgain_data()
    {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("message");
        QTest::newRow("com2") << QStringLiteral("com2") << QStringLiteral("此端口正常");
        QTest::newRow("com12 is port 2") << QStringLiteral("com12") << QStringLiteral("此端口正常");
        QTest::newRow("absent device") << QStringLiteral("com3") << QStringLiteral("无效的端口号,不可使用");
    }

    void portTestOpensTheDigitsPortAndTakesUpTheMainPortAgain()
    {
        QFETCH(QString, portText);
        QFETCH(QString, message);
        test::ModemSim modem;
        QVERIFY(modem.isRunning());
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), portsSection(modem));
        SerialControl mainPort;
        openMainPort(mainPort);
        QSignalSpy received(&mainPort, &SerialControl::dataReceived);
        QSignalSpy restored(&mainPort, &SerialControl::lineRestored);

        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) { return true; });
        dialog.show();
        portBox(dialog)->setEditText(portText);
        // For com2, "此端口正常" shows that the main port freed the line.
        click(dialog, "portTestButton");
        QCOMPARE(capture.takeTexts(), QStringList{message});
        QVERIFY(!testPort(dialog)->isOpen());
        QCOMPARE(testPort(dialog)->portNumber(), portText.right(1).toInt());

        // Caller ID goes on: the main port is taken up again, without a word.
        click(dialog, "exitButton");
        QVERIFY(mainPort.isOpen());
        QTRY_COMPARE(restored.count(), 1);
        QVERIFY(modem.command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_VERIFY(received.count() > 0);
        QCOMPARE(capture.takeTexts(), QStringList());
    }

    // A main port that was not in use (it could not be opened at start) is
    // left alone by the test.
    void portTestLeavesAnUnusedMainPortClosed()
    {
        test::ModemSim modem;
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), portsSection(modem));
        SerialControl mainPort;
        setLineParameters(mainPort);
        mainPort.setPortNumber(3);
        QVERIFY_THROWS_EXCEPTION(Failure, mainPort.setOpen(true));

        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) { return true; });
        dialog.show();
        portBox(dialog)->setEditText(QStringLiteral("com2"));
        click(dialog, "portTestButton");
        QCOMPARE(capture.takeTexts(), QStringList{QStringLiteral("此端口正常")});
        QVERIFY(!mainPort.isOpen());
        QVERIFY(!mainPort.reopening());
    }

    void portTextWithoutDigitGoesToTheErrorBoxAndKeepsTheMainPort_data()
    {
        QTest::addColumn<QString>("portText");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QString() << QStringLiteral("'' is not a valid integer value.");
        QTest::newRow("letter") << QStringLiteral("comx")
                                << QStringLiteral("'x' is not a valid integer value.");
    }

    void portTextWithoutDigitGoesToTheErrorBoxAndKeepsTheMainPort()
    {
        QFETCH(QString, portText);
        QFETCH(QString, error);
        test::ModemSim modem;
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), portsSection(modem));
        SerialControl mainPort;
        openMainPort(mainPort);

        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) { return true; });
        dialog.show();
        portBox(dialog)->setEditText(portText);
        click(dialog, "portTestButton");
        const QList<msg::Box> shown = capture.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, error);
        QCOMPARE(shown[0].icon, msg::Icon::Error);
        QVERIFY(mainPort.isOpen());
        QVERIFY(!testPort(dialog)->isOpen());
    }

    void savingWritesBothKeysAndEndsTheProgram_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("byIdName");
        QTest::newRow("chosen") << QStringLiteral("com3") << QStringLiteral("制式2") << QString();
        QTest::newRow("typed mode, unchecked")
            << QStringLiteral("com8") << QStringLiteral("制式9") << QString();
        QTest::newRow("empty mode") << QStringLiteral("com1") << QString() << QString();
        // Kept by its stable name under the configured port, for older copies.
        QTest::newRow("a listed device") << QStringLiteral("Conexant USB Modem") << QStringLiteral("制式1")
                                         << QStringLiteral("usb-Conexant_USB_Modem_12345678-if00");
    }

    void savingWritesBothKeysAndEndsTheProgram()
    {
        QFETCH(QString, port);
        QFETCH(QString, mode);
        QFETCH(QString, byIdName);
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), configBefore());
        const DeviceFolder devices;
        const QString byId =
            byIdName.isEmpty() ? QString() : devices.link(byIdName, QStringLiteral("/dev/null"));
        SerialControl mainPort;
        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, &writeLineConfig);

        QCOMPARE(saveThroughDialog(dialog, port, mode), ProgramEnded);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(capture.takeTexts(), QStringList{QStringLiteral("配置已保存，将退出程序，请重新运行。")});

        QByteArray expected = configBefore();
        if (byId.isEmpty())
            expected.replace(entry("father", QStringLiteral("com1")), entry("father", port));
        else
            expected.replace("com1=/dev/ttyUSB0", QByteArray("com1=" + byId.toLocal8Bit()));
        expected.replace(entry("school", QStringLiteral("制式1")), entry("school", mode));
        QCOMPARE(configBytes(folder), expected);
    }

    // Unlike the port and mode, the area code is shown as kept, so saving a
    // port keeps it; one typed is kept as an area code, and a text that is
    // none is refused before anything is written.
    void theAreaCodeIsShownCheckedAndSaved_data()
    {
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QStringList>("told");
        const QStringList saved{QStringLiteral("配置已保存，将退出程序，请重新运行。")};
        QTest::newRow("as shown") << std::optional<QString>() << ProgramEnded << QStringLiteral("020")
                                  << saved;
        QTest::newRow("another") << std::optional<QString>(QStringLiteral("(755)")) << ProgramEnded
                                 << QStringLiteral("0755") << saved;
        QTest::newRow("emptied") << std::optional<QString>(QString()) << ProgramEnded << QString() << saved;
        QTest::newRow("none") << std::optional<QString>(QStringLiteral("12345")) << DialogStayedOpen
                              << QStringLiteral("020")
                              << QStringList{QStringLiteral(
                                     "区号应是以0开头的3至4位数字，例如020；不用区号请留空。")};
    }

    void theAreaCodeIsShownCheckedAndSaved()
    {
        QFETCH(std::optional<QString>, typed);
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), configBefore() + "[line]\r\nareacode=020\r\n");
        SerialControl mainPort;
        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, &writeLineConfig);
        QString shown;
        QTimer::singleShot(20, &dialog,
                           [&] { shown = test::child<QLineEdit>(dialog, "areaCodeEdit")->text(); });

        QTEST(saveThroughDialog(dialog, QStringLiteral("com2"), QStringLiteral("制式1"), typed), "result");
        QCOMPARE(shown, QStringLiteral("020"));
        QTEST(capture.takeTexts(), "told");
        QTEST(readAreaCode(), "kept");
    }

    // The list shows com1 … com8 with their devices (the configured one with
    // the command its modem took) and the serial devices plugged in. "查找调制解调器" asks the devices, the
    // call desk's port freed meanwhile and taken up again after, passes over one that does not answer and
    // chooses the first that does.
    void theModemIsFoundAmongTheDevices()
    {
        test::ModemSim desk;
        test::ModemSim silent;
        QVERIFY(silent.command(QStringLiteral("answers none")));
        test::ModemSim modem;
        const DeviceFolder devices;
        devices.link(QStringLiteral("usb-Acme_Modem_0001-if00"), silent.devicePath());
        devices.link(QStringLiteral("usb-Conexant_USB_Modem_12345678-if00"), modem.devicePath());
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"),
                         "[zel]\r\nfather=com2\r\n[callerid]\r\ncom2=AT+VCID=1\r\n" + portsSection(desk));
        SerialControl mainPort;
        openMainPort(mainPort);
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) { return true; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *list = test::child<QTreeWidget>(dialog, "deviceList");
        QCOMPARE(list->topLevelItemCount(), 10);
        QCOMPARE(list->topLevelItem(1)->text(1), desk.devicePath());
        QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("当前端口，来电显示命令 AT+VCID=1"));
        QCOMPARE(list->topLevelItem(9)->text(0), QStringLiteral("Conexant USB Modem"));
        QCOMPARE(test::layoutFaults(dialog), QString());
        test::saveScreenshot(&dialog, QStringLiteral("settings-dialog-devices.png"));

        click(dialog, "findModemButton");
        QVERIFY(!mainPort.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(portBox(dialog)->currentText(), QStringLiteral("Conexant USB Modem"),
                                  10000);
        QVERIFY(test::child<QLabel>(dialog, "findModemStatus")->text().contains(QStringLiteral("找到")));
        QVERIFY(list->topLevelItem(9)->text(2).contains(QStringLiteral("modemsim caller-ID modem")));
        QCOMPARE(silent.recorded(), QByteArray("AT\r"));
        QCOMPARE(modem.recorded(), QByteArray("AT\rATI\r"));
        QTRY_VERIFY(mainPort.isOpen());
        test::saveScreenshot(&dialog, QStringLiteral("settings-dialog-modem-found.png"));
    }

    void portOutsideTheListIsRefused_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("com12") << QStringLiteral("com12");
        QTest::newRow("com9") << QStringLiteral("com9");
        QTest::newRow("capitals") << QStringLiteral("COM1");
        QTest::newRow("blank before") << QStringLiteral(" com1");
        QTest::newRow("empty") << QString();
    }

    void portOutsideTheListIsRefused()
    {
        QFETCH(QString, port);
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), configBefore());
        SerialControl mainPort;
        test::MessageCapture capture;
        int writes = 0;
        LineSettingsDialog dialog(mainPort, [&](const QString &, const QString &) {
            ++writes;
            return true;
        });

        QCOMPARE(saveThroughDialog(dialog, port, QStringLiteral("制式1")), DialogStayedOpen);
        QCOMPARE(writes, 0);
        QCOMPARE(capture.takeTexts(),
                 QStringList{QStringLiteral("端口号必须是com1至com8之一，或列表中的设备。")});
        QCOMPARE(configBytes(folder), configBefore());
    }

    void unwritableConfigKeepsTheProgramRunning_data()
    {
        QTest::addColumn<bool>("lockFolder");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }

    void unwritableConfigKeepsTheProgramRunning()
    {
        QFETCH(bool, lockFolder);
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), configBefore());
        const QString locked = lockFolder ? folder.path() : folder.file(QStringLiteral("zel.ini"));
        const test::Unwritable unwritable(locked);
        if (isWritable(locked, lockFolder))
            QSKIP("this file system cannot make the path unwritable for this user");
        SerialControl mainPort;
        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, &writeLineConfig);

        QCOMPARE(saveThroughDialog(dialog, QStringLiteral("com2"), QStringLiteral("制式2")),
                 DialogStayedOpen);
        const QString refused =
            QStringLiteral("配置无法保存：zel.ini无法写入（文件或文件夹只读，或磁盘已满）。");
        QCOMPARE(capture.takeTexts(), QStringList{refused});
        QCOMPARE(configBytes(folder), configBefore());
    }

    void instructionsAndThePortTestBoxShowWhole()
    {
        test::ProgramFolder folder(false);
        test::ModemSim modem;
        QVERIFY(modem.isRunning());
        folder.writeFile(QStringLiteral("zel.ini"), portsSection(modem));
        SerialControl mainPort;
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) { return true; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Every instruction line shows whole inside the dialog, its last "，" included.
        QCOMPARE(test::layoutFaults(dialog), QString());
        test::saveScreenshot(&dialog, QStringLiteral("settings-dialog-instructions.png"));

        // The port test's box, shown for real, is wide enough for its caption
        // beside the frame's icon and buttons.
        portBox(dialog)->setEditText(QStringLiteral("com2"));
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
        click(dialog, "portTestButton");
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
        LineSettingsDialog dialog(mainPort, [](const QString &, const QString &) { return true; });
        dialog.show();
        QCOMPARE(portBox(dialog)->currentText(), QString());
        QCOMPARE(modeBox(dialog)->currentText(), QString());
        test::saveScreenshot(&dialog, QStringLiteral("settings-dialog.png"));

        portBox(dialog)->setCurrentIndex(0);
        modeBox(dialog)->setEditText(QStringLiteral("制式3"));
        dialog.hide();
        dialog.show();
        QCOMPARE(portBox(dialog)->currentText(), QString());
        QCOMPARE(modeBox(dialog)->currentText(), QString());
        QCOMPARE(portBox(dialog)->count(), 8);
        QCOMPARE(modeBox(dialog)->itemText(1), QStringLiteral("制式2"));
    }

    void enterInAComboBoxNeitherSavesNorAddsAnItem()
    {
        test::ProgramFolder folder(false);
        SerialControl mainPort;
        int writes = 0;
        test::MessageCapture capture;
        LineSettingsDialog dialog(mainPort, [&](const QString &, const QString &) {
            ++writes;
            return true;
        });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        portBox(dialog)->setFocus();
        QTest::keyClicks(portBox(dialog)->lineEdit(), QStringLiteral("com9"));
        QTest::keyClick(portBox(dialog)->lineEdit(), Qt::Key_Return);
        QCOMPARE(writes, 0);
        QCOMPARE(capture.takeTexts(), QStringList());
        QVERIFY(dialog.isVisible());
        QCOMPARE(portBox(dialog)->count(), 8);
        QCOMPARE(portBox(dialog)->currentText(), QStringLiteral("com9"));
    }
};

QTEST_MAIN(TestLineSettings)
#include "tst_linesettings.moc"
