#include "testsupport.h"

#include "platform/failure.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QWidget>

#include <sqlite3.h>

namespace corvane::test {

QStringList MessageCapture::takeTexts()
{
    QStringList texts;
    for (const msg::Box &box : take())
        texts.append(box.text);
    return texts;
}

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

QString artifactPath(const QString &name)
{
    QString dir = qEnvironmentVariable("CORVANE_TEST_ARTIFACTS");
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/corvane-artifacts");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}

void saveScreenshot(QWidget *widget, const QString &name)
{
    QVERIFY(widget->grab().save(artifactPath(name)));
}

} // namespace corvane::test
