#include "core/servercopycommand.h"

#include "core/databaseconfig.h"
#include "platform/programfolder.h"
#include "store/connection.h"
#include "store/servercopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace corvane {

namespace {

const QString CommandOption = QStringLiteral("--copy-to-server");
const QString AddToExistingOption = QStringLiteral("--add-to-existing");
constexpr int CopyAnswerWaitMs = 60'000;
const QString DataOption = QStringLiteral("--data");

enum ExitStatus { Copied = 0, Failed = 1, Misused = 2 };

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerCopyCommand", text);
}

struct Request
{
    QString file;
    ExistingCustomers existing = ExistingCustomers::Refuse;
};

// The request the arguments make, or nullopt with the reason in `problem`.
std::optional<Request> requestFrom(const QStringList &arguments, QString &problem)
{
    Request request;
    for (const QString &argument : arguments.mid(1)) {
        if (argument == CommandOption)
            continue;
        if (argument == AddToExistingOption) {
            request.existing = ExistingCustomers::AddTo;
        } else if (argument.startsWith(QLatin1Char('-')) || !request.file.isEmpty()) {
            problem = tr("无法识别的参数：%1").arg(argument);
            return std::nullopt;
        } else {
            request.file = argument;
        }
    }
    if (request.file.isEmpty())
        request.file = programFolder() + QStringLiteral("tel.mdb");
    return request;
}

} // namespace

bool isServerCopyCommand(const QStringList &arguments)
{
    return arguments.mid(1).contains(CommandOption);
}

int runServerCopyCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QString problem;
    const std::optional<Request> request = requestFrom(arguments, problem);
    if (!request) {
        err << problem << '\n'
            << tr("用法：Corvane --copy-to-server [--add-to-existing] [--data 文件夹] [tel.mdb 的路径]")
            << '\n';
        return Misused;
    }
    try {
        const DatabaseConfig config = readDatabaseConfig();
        if (config.engine != DatabaseConfig::Engine::Postgresql) {
            err << tr("zel.ini 的 [database] 节未指定服务器（engine=postgresql），无处可复制。") << '\n';
            return Failed;
        }
        if (!QFileInfo(request->file).isFile()) {
            err << tr("找不到要复制的数据库文件：%1").arg(request->file) << '\n';
            return Failed;
        }
        Connection source;
        source.setDatabasePath(request->file);
        Connection target;
        target.setServer(config.server);
        // No window waits here: a slow link or a long commit is waited for.
        target.setAnswerWait(CopyAnswerWaitMs);
        const CopiedCounts counts = copyToServer(source, target, request->existing);
        out << tr("已将 %1 复制到服务器 %2：").arg(request->file, describeServer(config.server)) << '\n'
            << tr("客户 %1 条").arg(counts.customers) << '\n';
        if (counts.customersSkipped > 0)
            out << tr("跳过客户编号已存在的客户 %1 条").arg(counts.customersSkipped) << '\n';
        out << tr("通话记录 %1 条").arg(counts.calls) << '\n'
            << (counts.currentRing.isEmpty() ? tr("铃声选择：无")
                                             : tr("铃声选择：铃声 %1").arg(counts.currentRing))
            << '\n';
        return Copied;
    } catch (const ServerNotEmpty &refused) {
        err << refused.message()
            << tr("未复制任何数据。确要把 tel.mdb 的客户加在其后，请加 %1 重新运行。")
                   .arg(AddToExistingOption)
            << '\n';
    } catch (const Failure &failure) {
        err << tr("复制失败，服务器上未写入任何数据：%1").arg(failure.message()) << '\n';
    }
    return Failed;
}

int runServerCopyCommand(int argc, char **argv)
{
    const QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    // zel.ini and tel.mdb are read where the program keeps them: an installed
    // copy's are in the user's data folder, or in the folder --data names.
    QString requestedFolder;
    const qsizetype data = arguments.indexOf(DataOption);
    if (data > 0) {
        if (data + 1 >= arguments.size()) {
            err << tr("%1 后应有一个文件夹").arg(DataOption) << '\n';
            return Misused;
        }
        requestedFolder = arguments.at(data + 1);
        arguments.remove(data, 2);
    }
    setProgramFolder(chooseDataFolder({QCoreApplication::applicationDirPath(), requestedFolder,
                                       qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()}));
    return runServerCopyCommand(arguments, out, err);
}

} // namespace corvane
