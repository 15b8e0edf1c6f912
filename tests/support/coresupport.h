#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// What the tests share that needs no display.

namespace corvane::test {

// A fresh program folder in a temporary directory, made the program's folder
// for the lifetime of the object. It holds a new tel.mdb built from tel.sql
// when asked to.
class ProgramFolder
{
public:
    explicit ProgramFolder(bool withDatabase = true);
    ~ProgramFolder();
    QString path() const; // ends in '/'
    QString file(const QString &name) const { return path() + name; }
    void writeFile(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
};

// The child of `parent` with the object name `name`, as the user would find
// the control on the window; a test that names a control that is not there
// stops at once.
template <typename T> T *child(const QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("%s has no child %s", qPrintable(parent.objectName()), name);
    return found;
}

// A file or folder nobody may change while the object lives, root included:
// root ignores permission bits but not the immutable attribute. Where that
// attribute cannot be set (an ordinary user), the permission bits do.
class Unwritable
{
public:
    explicit Unwritable(const QString &path);
    ~Unwritable();
    Unwritable(const Unwritable &) = delete;
    Unwritable &operator=(const Unwritable &) = delete;

private:
    bool setImmutable(bool on) const;

    QString m_path;
    QFileDevice::Permissions m_permissions;
    bool m_immutable;
};

// Creates an SQLite database file from resources/tel.sql.
void createDatabase(const QString &fileName);

// Runs statements on a connection of the test's own, as another program
// would; returns the first column of every row they return, NULL as a null
// string. Fails the test on an error.
QStringList sqlColumn(const QString &fileName, const QString &statements);

// The message of the failure `action` raises, or empty when it raises none.
QString failureOf(const std::function<void()> &action);

// Where tests keep screenshots and other evidence.
QString artifactPath(const QString &name);

} // namespace corvane::test
