#include "runningprogram.h"

#include "platform/gbk.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace corvane::test {

namespace {

// A log of one JSON object a line, as the program under test writes it.
QList<QJsonObject> jsonLines(const QString &path)
{
    QList<QJsonObject> result;
    QFile log(path);
    if (log.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : log.readAll().split('\n'))
            if (!line.isEmpty())
                result.append(QJsonDocument::fromJson(line).object());
    }
    return result;
}

} // namespace

RunningProgram::RunningProgram(const QString &mode, const QString &device, const QString &moreIni,
                               const QProcessEnvironment &moreEnvironment,
                               const std::function<void()> &childSetUp, const ProgramLaunch &launch)
    : m_command(launch.launcher + QStringList{folder() + launch.name})
{
    const QString dir = folder();
    QFile::copy(launch.executable, dir + launch.name);
    createDatabase(dir + QStringLiteral("tel.mdb"));
    QFile ini(dir + QStringLiteral("zel.ini"));
    const QString port = device.isEmpty() ? QString()
                                          : QStringLiteral("father=com1\r\n[ports]\r\ncom1=") + device +
                                                QStringLiteral("\r\n");
    if (ini.open(QIODevice::WriteOnly))
        ini.write(
            gbk::encode(QStringLiteral("[zel]\r\nschool=") + mode + QStringLiteral("\r\n") + port + moreIni));
    const QString runtime = dir + QStringLiteral("runtime");
    QDir(dir).mkdir(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVANE_MESSAGE_LOG"), dir + QStringLiteral("messages.log"));
    env.insert(QStringLiteral("CORVANE_WINDOW_LOG"), dir + QStringLiteral("window.log"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The same for a program under Wine, which keeps the QT_ variables from
    // its programs and sets them from these.
    env.insert(QStringLiteral("WINEQT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A private runtime folder keeps the single-instance channel apart from
    // any other Corvane running on this machine.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    // No serial devices of this machine are listed, nor ever asked.
    env.insert(QStringLiteral("CORVANE_DEVICE_FOLDER"), dir + QStringLiteral("no-devices"));
    // No sound device: a ring returns at once.
    env.insert(QStringLiteral("ALSA_CONFIG_PATH"), dir + QStringLiteral("no-alsa.conf"));
    env.insert(moreEnvironment);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
    m_process.setWorkingDirectory(dir);
    if (childSetUp)
        m_process.setChildProcessModifier(childSetUp);
    restart();
}

void RunningProgram::restart()
{
    m_process.start(m_command.first(), m_command.mid(1));
    m_process.waitForStarted();
}

RunningProgram::~RunningProgram()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

QString RunningProgram::folder() const
{
    return m_dir.path() + QLatin1Char('/');
}

QList<QJsonObject> RunningProgram::messages() const
{
    return jsonLines(m_dir.filePath(QStringLiteral("messages.log")));
}

QList<QJsonObject> RunningProgram::windowChanges() const
{
    return jsonLines(m_dir.filePath(QStringLiteral("window.log")));
}

std::optional<double> RunningProgram::shownAt(const QString &what, const QString &text, double sinceMs) const
{
    const QList<QJsonObject> changes = windowChanges();
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        if (change->value(QStringLiteral("ms")).toDouble() < sinceMs)
            break;
        if (change->value(QStringLiteral("what")).toString() == what &&
            (text.isNull() || change->value(QStringLiteral("text")).toString() == text))
            return change->value(QStringLiteral("ms")).toDouble();
    }
    return std::nullopt;
}

QString RunningProgram::windowText(const QString &editName) const
{
    QString text;
    for (const QJsonObject &change : windowChanges())
        if (change.value(QStringLiteral("what")).toString() == editName)
            text = change.value(QStringLiteral("text")).toString();
    return text;
}

QStringList RunningProgram::recentCalls() const
{
    QStringList rows;
    for (const QJsonValue &row :
         QJsonDocument::fromJson(windowText(QStringLiteral("callList")).toUtf8()).array())
        rows.append(row.toString());
    return rows;
}

double RunningProgram::longestStallMs(double sinceMs) const
{
    double longest = 0;
    for (const QJsonObject &change : windowChanges())
        if (change.value(QStringLiteral("what")).toString() == QLatin1String("stall") &&
            change.value(QStringLiteral("ms")).toDouble() >= sinceMs)
            longest = std::max(longest, change.value(QStringLiteral("text")).toString().toDouble());
    return longest;
}

QStringList RunningProgram::messageTexts() const
{
    QStringList texts;
    for (const QJsonObject &m : messages())
        texts.append(m.value(QStringLiteral("text")).toString());
    return texts;
}

qint64 RunningProgram::residentKb() const
{
    QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

QStringList RunningProgram::query(const QString &sql) const
{
    QStringList rows;
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_dir.filePath(QStringLiteral("tel.mdb")));
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(sql);
            while (q.next()) {
                QStringList columns;
                for (int i = 0; i < q.record().count(); ++i)
                    columns.append(q.value(i).toString());
                rows.append(columns.join(QLatin1Char('|')));
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

qint64 RunningProgram::customersWaitingForKeys() const
{
    return query(QStringLiteral("SELECT (SELECT count(*) FROM customer_unkeyed) + "
                                "coalesce((SELECT upto - keyedupto FROM customer_keying), 0)"))
        .value(0)
        .toLongLong();
}

} // namespace corvane::test
