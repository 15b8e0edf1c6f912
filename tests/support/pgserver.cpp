#include "pgserver.h"

#include "store/stores.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace corvane::test {

namespace {

const QString BinFolder = QStringLiteral("/usr/lib/postgresql/15/bin/");
const QString ServerUser = QStringLiteral("postgres");
const QString Database = QStringLiteral("corvane");
const QString Password = QStringLiteral("pw-Test 1");

// A port free on the loopback address now. Another program could take it
// before the server does, but only within the moment between.
int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        qFatal("no free port on the loopback address: %s", qPrintable(probe.errorString()));
    return probe.serverPort();
}

// The postgres user's ids when the tests run as root; the server runs as
// whoever runs the tests otherwise.
const passwd *serverAccount()
{
    if (geteuid() != 0)
        return nullptr;
    const passwd *account = getpwnam("postgres");
    if (!account)
        qFatal("the postgres system user is missing: install postgresql-15");
    return account;
}

void giveToServer(const QString &path)
{
    if (const passwd *account = serverAccount()) {
        if (chown(QFile::encodeName(path).constData(), account->pw_uid, account->pw_gid) != 0)
            qFatal("cannot hand %s to the postgres user", qPrintable(path));
    }
}

} // namespace

PgServer::PgServer() : m_port(freePort())
{
    if (!m_dir.isValid())
        qFatal("cannot make a temporary folder for the database server");
    if (!QFile::exists(BinFolder + QStringLiteral("initdb")))
        qFatal("PostgreSQL 15 is missing (%s): install postgresql-15", qPrintable(BinFolder));
    QDir(m_dir.path()).mkdir(QStringLiteral("socket"));
    giveToServer(m_dir.path());
    giveToServer(socketFolder());

    const QString passwordFile = m_dir.filePath(QStringLiteral("password"));
    QFile file(passwordFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(Password.toUtf8()) < 0)
        qFatal("cannot write the password file");
    file.close();
    giveToServer(passwordFile);
    runTool(QStringLiteral("initdb"),
            {QStringLiteral("-D"), dataFolder(), QStringLiteral("-U"), ServerUser, QStringLiteral("--pwfile"),
             passwordFile, QStringLiteral("--auth-local=trust"), QStringLiteral("--auth-host=scram-sha-256"),
             QStringLiteral("--encoding=UTF8"), QStringLiteral("--locale=C.UTF-8"),
             QStringLiteral("--no-sync")},
            true);
    QFile::remove(passwordFile);

    // Durability is not what these tests look at: no flushing to disk keeps
    // them quick. A stopped server still writes everything out.
    QFile config(dataFolder() + QStringLiteral("/postgresql.conf"));
    if (!config.open(QIODevice::Append))
        qFatal("cannot set the database server up");
    config.write(QStringLiteral("port = %1\n"
                                "listen_addresses = '127.0.0.1'\n"
                                "unix_socket_directories = '%2'\n"
                                "fsync = off\n"
                                "synchronous_commit = off\n")
                     .arg(m_port)
                     .arg(socketFolder())
                     .toUtf8());
    config.close();

    start();
    runTool(QStringLiteral("createdb"), clientArguments() << Database, false);
}

PgServer::~PgServer()
{
    if (m_running)
        runTool(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), dataFolder(), QStringLiteral("-m"), QStringLiteral("immediate"),
                 QStringLiteral("-w"), QStringLiteral("stop")},
                true);
}

void PgServer::stop()
{
    runTool(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), dataFolder(), QStringLiteral("-m"), QStringLiteral("fast"),
             QStringLiteral("-w"), QStringLiteral("stop")},
            true);
    m_running = false;
}

void PgServer::start()
{
    runTool(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), dataFolder(), QStringLiteral("-l"),
             m_dir.filePath(QStringLiteral("server.log")), QStringLiteral("-w"), QStringLiteral("start")},
            true);
    m_running = true;
}

void PgServer::pause()
{
    signalServer(SIGSTOP);
}

void PgServer::resume()
{
    signalServer(SIGCONT);
}

void PgServer::signalServer(int signalNumber) const
{
    QFile pidFile(dataFolder() + QStringLiteral("/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        qFatal("the database server is not running");
    const QByteArray main = pidFile.readLine().trimmed();
    // Its children are the processes whose parent (the fourth field of
    // /proc/<pid>/stat, after the name in parentheses) is the main one.
    QList<pid_t> processes{pid_t(main.toInt())};
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1] == main)
            processes.append(pid_t(entry.toInt()));
    }
    for (const pid_t process : processes)
        ::kill(process, signalNumber);
}

void PgServer::emptyDatabase()
{
    runTool(QStringLiteral("dropdb"), clientArguments() << QStringLiteral("--force") << Database, false);
    runTool(QStringLiteral("createdb"), clientArguments() << Database, false);
}

QStringList PgServer::clientArguments() const
{
    return {QStringLiteral("-h"),    socketFolder(),       QStringLiteral("-p"),
            QString::number(m_port), QStringLiteral("-U"), ServerUser};
}

bool PgServer::isReady() const
{
    return QProcess::execute(BinFolder + QStringLiteral("pg_isready"),
                             {QStringLiteral("-q"), QStringLiteral("-h"), socketFolder(),
                              QStringLiteral("-p"), QString::number(m_port)}) == 0;
}

QString PgServer::socketFolder() const
{
    return m_dir.filePath(QStringLiteral("socket"));
}

int PgServer::port() const
{
    return m_port;
}

QString PgServer::databaseName() const
{
    return Database;
}

QString PgServer::user() const
{
    return ServerUser;
}

QString PgServer::password() const
{
    return Password;
}

QStringList PgServer::query(const QString &statements) const
{
    QProcess psql;
    psql.start(BinFolder + QStringLiteral("psql"),
               clientArguments() << QStringLiteral("-X") << QStringLiteral("-q") << QStringLiteral("-A")
                                 << QStringLiteral("-t") << QStringLiteral("-v")
                                 << QStringLiteral("ON_ERROR_STOP=1") << QStringLiteral("-d") << Database
                                 << QStringLiteral("-c") << statements);
    psql.waitForFinished(-1);
    if (psql.exitStatus() != QProcess::NormalExit || psql.exitCode() != 0) {
        QTest::qFail(psql.readAllStandardError().constData(), __FILE__, __LINE__);
        return {};
    }
    QString out = QString::fromUtf8(psql.readAllStandardOutput());
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n'));
}

QString PgServer::dataFolder() const
{
    return m_dir.filePath(QStringLiteral("data"));
}

void PgServer::runTool(const QString &program, const QStringList &arguments, bool asServer) const
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    const passwd *account = asServer ? serverAccount() : nullptr;
    if (account) {
        const uid_t uid = account->pw_uid;
        const gid_t gid = account->pw_gid;
        process.setChildProcessModifier([uid, gid] {
            if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
                _exit(126);
        });
    }
    process.start(BinFolder + program, arguments);
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAll().constData());
}

void PgServer::emptyDatabaseWithTables()
{
    emptyDatabase();
    Stores first;
    first.connection.setServer(socketAddress());
    first.rings.currentRing();
}

ServerAddress PgServer::socketAddress() const
{
    ServerAddress address;
    address.host = socketFolder();
    address.port = port();
    address.name = databaseName();
    address.user = user();
    return address;
}

ServerAddress PgServer::loopbackAddress() const
{
    ServerAddress address = socketAddress();
    address.host = QStringLiteral("127.0.0.1");
    address.password = password();
    return address;
}

void PgServer::addEngineRows()
{
    QTest::addColumn<bool>("onServer");
    QTest::newRow("tel.mdb") << false;
    QTest::newRow("server") << true;
}

} // namespace corvane::test
