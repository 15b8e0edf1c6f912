#include "coresupport.h"

#include "platform/failure.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace corvane::test {

QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure.message();
    }
    return {};
}

ProgramFolder::ProgramFolder(bool withDatabase)
{
    setProgramFolder(path());
    if (withDatabase)
        createDatabase(file(QStringLiteral("tel.mdb")));
}

ProgramFolder::~ProgramFolder()
{
    setProgramFolder({});
}

QString ProgramFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

void ProgramFolder::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

Unwritable::Unwritable(const QString &path)
    : m_path(path), m_permissions(QFile::permissions(path)), m_immutable(setImmutable(true))
{
    if (!m_immutable)
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
}

Unwritable::~Unwritable()
{
    if (m_immutable)
        setImmutable(false);
    QFile::setPermissions(m_path, m_permissions);
}

bool Unwritable::setImmutable(bool on) const
{
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

void createDatabase(const QString &fileName)
{
    QFile script(QStringLiteral(CORVANE_SOURCE_DIR "/resources/tel.sql"));
    QVERIFY2(script.open(QIODevice::ReadOnly), "resources/tel.sql is missing");
    const QByteArray statements = script.readAll();
    sqlite3 *db = nullptr;
    const int opened = sqlite3_open(QFile::encodeName(fileName).constData(), &db);
    char *error = nullptr;
    if (opened == SQLITE_OK)
        sqlite3_exec(db, statements.constData(), nullptr, nullptr, &error);
    const QByteArray message = opened != SQLITE_OK ? QByteArray(sqlite3_errmsg(db)) : QByteArray(error);
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(message.isEmpty(), message.constData());
}

QStringList sqlColumn(const QString &fileName, const QString &statements)
{
    QStringList values;
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(fileName).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        QTest::qFail("cannot open the database", __FILE__, __LINE__);
        return values;
    }
    sqlite3_busy_timeout(db, 5000);
    const auto collect = [](void *out, int, char **row, char **) {
        static_cast<QStringList *>(out)->append(row[0] ? QString::fromUtf8(row[0]) : QString());
        return 0;
    };
    char *error = nullptr;
    const QByteArray text = statements.toUtf8();
    sqlite3_exec(db, text.constData(), collect, &values, &error);
    const QByteArray message(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    if (!message.isEmpty())
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    return values;
}

QString artifactPath(const QString &name)
{
    QString dir = qEnvironmentVariable("CORVANE_TEST_ARTIFACTS");
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/corvane-artifacts");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

} // namespace corvane::test
