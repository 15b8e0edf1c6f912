#include "modemsim.h"

#include <QDate>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

namespace corvane::test {

ModemSim::ModemSim()
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(CORVANE_MODEMSIM),
                    {QStringLiteral("--link"), m_dir.filePath(QStringLiteral("modem")),
                     QStringLiteral("--record"), m_dir.filePath(QStringLiteral("received.bin"))});
    if (m_process.waitForStarted() && (m_process.canReadLine() || m_process.waitForReadyRead(10000)))
        m_device = QString::fromLocal8Bit(m_process.readLine().trimmed());
}

ModemSim::~ModemSim()
{
    if (!isRunning())
        return;
    m_process.write("quit\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

bool ModemSim::command(const QString &line, int timeoutMs)
{
    if (!isRunning())
        return false;
    m_process.write(line.toLatin1() + '\n');
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired() && isRunning()) {
        while (m_process.canReadLine()) {
            const QByteArray answer = m_process.readLine().trimmed();
            if (answer == "done")
                return true;
            if (answer.startsWith("error"))
                return false;
        }
        QTest::qWait(1);
    }
    return false;
}

bool ModemSim::send(const QString &text)
{
    QString escaped = text;
    escaped.replace(QStringLiteral("\\"), QStringLiteral("\\\\"))
        .replace(QStringLiteral("\r"), QStringLiteral("\\r"))
        .replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    return command(QStringLiteral("send ") + escaped);
}

QByteArray ModemSim::recorded() const
{
    QFile file(m_dir.filePath(QStringLiteral("received.bin")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString todayAsReported()
{
    return QDate::currentDate().toString(QStringLiteral("MMdd"));
}

QString todayText()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QString callerIdReport(const QString &number, const QString &date, const QString &time)
{
    return QStringLiteral("\r\nDATE = ") + date + QStringLiteral("\r\nTIME = ") + time +
           QStringLiteral("\r\nNMBR = ") + number + QStringLiteral("\r\n\r\n");
}

} // namespace corvane::test
