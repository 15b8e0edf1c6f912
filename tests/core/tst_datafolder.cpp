#include "core/datafolder.h"
#include "coresupport.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// An installed tree: <prefix>/bin and the defaults in <prefix>/share/corvane.
struct InstalledTree
{
    QTemporaryDir prefix;
    QString bin() const { return prefix.path() + QStringLiteral("/bin"); }
    QString defaults() const { return prefix.path() + QStringLiteral("/share/corvane/"); }

    InstalledTree()
    {
        QDir().mkpath(bin());
        QDir().mkpath(defaults());
        QFile::copy(QStringLiteral(CORVANE_SOURCE_DIR "/resources/tel.sql"),
                    defaults() + QStringLiteral("tel.sql"));
        writeFile(defaults() + QStringLiteral("zel.ini"), "[zel]\r\nfather=com1\r\n");
        for (const char *ring : {"ringin1.wav", "ringin2.wav", "ringin3.wav"})
            writeFile(defaults() + QLatin1String(ring), QByteArray("RIFF") + ring);
    }
};

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void whereTheDataLives()
    {
        const InstalledTree installed;
        QVERIFY(QFileInfo::exists(installed.defaults() + QStringLiteral("tel.sql")));
        QTemporaryDir build;
        const QString buildBin = build.path() + QStringLiteral("/bin");
        QDir().mkpath(buildBin);

        // Installed: the user's own folder, never the one beside the program.
        QCOMPARE(installedDefaultsFolder(installed.bin()), installed.defaults());
        // Its boxes bear the program's name; a build's keep the executable's.
        QCOMPARE(applicationTitleFromPath(installed.bin() + QStringLiteral("/corvane")),
                 QStringLiteral("Corvane"));
        QCOMPARE(applicationTitleFromPath(buildBin + QStringLiteral("/corvane")), QStringLiteral("corvane"));
        QCOMPARE(
            chooseDataFolder({installed.bin(), {}, QStringLiteral("/x/data"), QStringLiteral("/home/u"), {}}),
            QStringLiteral("/x/data/corvane/"));
        QCOMPARE(chooseDataFolder({installed.bin(), {}, {}, QStringLiteral("/home/u"), {}}),
                 QStringLiteral("/home/u/.local/share/corvane/"));
        // A relative $XDG_DATA_HOME is not to be used.
        QCOMPARE(
            chooseDataFolder({installed.bin(), {}, QStringLiteral("data"), QStringLiteral("/home/u"), {}}),
            QStringLiteral("/home/u/.local/share/corvane/"));

        // A build: the program folder as always, whatever the environment says.
        QCOMPARE(installedDefaultsFolder(buildBin), QString());
        QCOMPARE(chooseDataFolder({buildBin, {}, QStringLiteral("/x/data"), QStringLiteral("/home/u"), {}}),
                 buildBin + QLatin1Char('/'));
        // Defaults only count beside a bin folder: a program copied into some
        // folder that happens to have ../share/corvane stays in its folder.
        const QString other = installed.prefix.path() + QStringLiteral("/tools");
        QDir().mkpath(other);
        QCOMPARE(installedDefaultsFolder(other), QString());

        // --data wins in both, made absolute against the working folder.
        QCOMPARE(chooseDataFolder(
                     {installed.bin(), QStringLiteral("/srv/shop/"), {}, QStringLiteral("/home/u"), {}}),
                 QStringLiteral("/srv/shop/"));
        QCOMPARE(chooseDataFolder({buildBin, QStringLiteral("shop/../till"), {}, {}, {}}),
                 QDir::currentPath() + QStringLiteral("/till/"));
    }

    void firstStartFillsTheFolderFromTheDefaults()
    {
        const InstalledTree installed;
        QTemporaryDir home;
        const QString data = home.path() + QStringLiteral("/.local/share/corvane/");

        setUpDataFolder(data, installed.defaults());

        QCOMPARE(test::sqlColumn(data + QStringLiteral("tel.mdb"),
                                 QStringLiteral("SELECT code FROM ring WHERE bz = '1'")),
                 QStringList{QStringLiteral("1")});
        // In WAL mode from the first: the first lookup needs no write lock.
        QCOMPARE(test::sqlColumn(data + QStringLiteral("tel.mdb"), QStringLiteral("PRAGMA journal_mode")),
                 QStringList{QStringLiteral("wal")});
        test::sqlColumn(data + QStringLiteral("tel.mdb"),
                        QStringLiteral("INSERT INTO customer (customercode) VALUES ('K001')"));
        for (const char *name : {"zel.ini", "ringin1.wav", "ringin2.wav", "ringin3.wav"})
            QCOMPARE(contentOf(data + QLatin1String(name)),
                     contentOf(installed.defaults() + QLatin1String(name)));
        // Copies the user may change, not links into the installed tree.
        QVERIFY(QFileInfo(data + QStringLiteral("ringin1.wav")).permissions() & QFileDevice::WriteOwner);
        QVERIFY(!QFileInfo(data + QStringLiteral("ringin1.wav")).isSymLink());
        QCOMPARE(QDir(data).entryList(QDir::Files).size(), 5);
    }

    void aFolderInUseIsLeftAlone()
    {
        const InstalledTree installed;
        QTemporaryDir data;
        const QString folder = data.path() + QLatin1Char('/');

        // The user's own settings and sounds survive every later start.
        setUpDataFolder(folder, installed.defaults());
        writeFile(folder + QStringLiteral("ringin2.wav"), "mine");
        test::sqlColumn(folder + QStringLiteral("tel.mdb"),
                        QStringLiteral("INSERT INTO customer (customercode) VALUES ('K001')"));
        QFile::remove(folder + QStringLiteral("ringin3.wav"));
        setUpDataFolder(folder, installed.defaults());
        QCOMPARE(contentOf(folder + QStringLiteral("ringin2.wav")), QByteArray("mine"));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("ringin3.wav")));
        QCOMPARE(test::sqlColumn(folder + QStringLiteral("tel.mdb"),
                                 QStringLiteral("SELECT customercode FROM customer")),
                 QStringList{QStringLiteral("K001")});

        // A tel.mdb gone missing is not quietly replaced by an empty one.
        QFile::remove(folder + QStringLiteral("tel.mdb"));
        setUpDataFolder(folder, installed.defaults());
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("tel.mdb")));
    }

    void aFailedSetUpLeavesNoHalfMadeDatabase()
    {
        const InstalledTree installed;
        QTemporaryDir data;
        const QString folder = data.path() + QLatin1Char('/');

        // A broken schema: a Chinese message naming the database, no file,
        // and the next start, with a good schema, sets the folder up.
        writeFile(installed.defaults() + QStringLiteral("tel.sql"),
                  "CREATE TABLE customer (id);\nCREATE TABLE (");
        const QString broken = test::failureOf([&] { setUpDataFolder(folder, installed.defaults()); });
        QVERIFY2(broken.startsWith(QStringLiteral("无法建立数据库 ")), qPrintable(broken));
        QVERIFY(broken.contains(folder + QStringLiteral("tel.mdb")));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("tel.mdb")));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("tel.mdb.new")));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("zel.ini")));

        QFile::remove(installed.defaults() + QStringLiteral("tel.sql"));
        QVERIFY(test::failureOf([&] {
                    setUpDataFolder(folder, installed.defaults());
                }).startsWith(QStringLiteral("找不到数据库结构文件 ")));

        QFile::copy(QStringLiteral(CORVANE_SOURCE_DIR "/resources/tel.sql"),
                    installed.defaults() + QStringLiteral("tel.sql"));
        setUpDataFolder(folder, installed.defaults());
        QCOMPARE(test::sqlColumn(folder + QStringLiteral("tel.mdb"),
                                 QStringLiteral("SELECT code FROM ring WHERE bz = '1'")),
                 QStringList{QStringLiteral("1")});
        QVERIFY(QFileInfo::exists(folder + QStringLiteral("zel.ini")));
    }

    void aFolderThatCannotBeMadeIsNamed()
    {
        const InstalledTree installed;
        QTemporaryDir data;
        writeFile(data.filePath(QStringLiteral("file")), "not a folder");
        const QString folder = data.filePath(QStringLiteral("file/corvane"));
        QCOMPARE(test::failureOf([&] { setUpDataFolder(folder, installed.defaults()); }),
                 QStringLiteral("无法建立数据文件夹 ") + folder);
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
