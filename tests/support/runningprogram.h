#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace corvane::test {

// The real Corvane (the build for tests), copied into a fresh program folder
// of its own (a new tel.mdb, a zel.ini for port com1 on `device` in `mode`,
// followed by `moreIni`) and run offscreen without a sound device. Every
// message box goes to a log instead of the screen, answered by its default.
class RunningProgram
{
public:
    RunningProgram(const QString &mode, const QString &device, const QString &moreIni = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    bool isRunning() const { return m_process.state() == QProcess::Running; }
    QProcess &process() { return m_process; }
    QString folder() const; // ends in '/'

    QList<QJsonObject> messages() const;
    QStringList messageTexts() const;
    qint64 residentKb() const;

    // Runs one statement on the program's database from another connection,
    // as a second program would; each row's columns joined by '|'.
    QStringList query(const QString &sql) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace corvane::test
