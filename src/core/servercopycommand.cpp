#include "core/servercopycommand.h"

#include "core/databaseconfig.h"
#include "platform/programfolder.h"
#include "store/connection.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace corvane {

namespace {

enum ExitStatus { Copied = 0, Failed = 1 };
constexpr int CopyAnswerWaitMs = 60'000;

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerCopyCommand", text);
}

void report(const CopiedCounts &counts, QTextStream &out)
{
    out << tr("客户 %1 条").arg(counts.customers) << '\n';
    if (counts.customersSkipped > 0)
        out << tr("跳过客户编号已存在的客户 %1 条").arg(counts.customersSkipped) << '\n';
    if (!counts.collisions.isEmpty()) {
        out << tr("客户编号在服务器上已属于另一位客户，未复制 %1 条（请改用新的客户编号后再复制）：")
                   .arg(counts.collisions.size())
            << '\n';
        for (const CodeCollision &collision : counts.collisions)
            out << tr("  %1：服务器上为“%2”，本文件中为“%3”")
                       .arg(collision.code, collision.serverName, collision.fileName)
                << '\n';
    }
    out << tr("通话记录 %1 条").arg(counts.calls) << '\n';
    if (counts.callsSkipped > 0)
        out << tr("跳过服务器上已有的通话记录 %1 条").arg(counts.callsSkipped) << '\n';
    if (counts.callsOfCollisions > 0)
        out << tr("未复制上述客户的通话记录 %1 条，以免记到另一位客户名下").arg(counts.callsOfCollisions)
            << '\n';
    out << (counts.currentRing.isEmpty() ? tr("铃声选择：无")
                                         : tr("铃声选择：铃声 %1").arg(counts.currentRing))
        << '\n';
}

} // namespace

int runServerCopyCommand(const ServerCopyRequest &request, QTextStream &out, QTextStream &err)
{
    const QString file = request.file.isEmpty() ? programFolder() + QStringLiteral("tel.mdb") : request.file;
    try {
        const DatabaseConfig config = readDatabaseConfig();
        if (config.engine != DatabaseConfig::Engine::Postgresql) {
            err << tr("zel.ini 的 [database] 节未指定服务器（engine=postgresql），无处可复制。") << '\n';
            return Failed;
        }
        if (!QFileInfo(file).isFile()) {
            err << tr("找不到要复制的数据库文件：%1").arg(file) << '\n';
            return Failed;
        }
        Connection source;
        source.setDatabasePath(file);
        Connection target;
        target.setServer(config.server);
        // No window waits here: a slow link or a long commit is waited for.
        target.setAnswerWait(CopyAnswerWaitMs);
        const CopiedCounts counts = copyToServer(source, target, request.existing);
        out << tr("已将 %1 复制到服务器 %2：").arg(file, describeServer(config.server)) << '\n';
        report(counts, out);
        return Copied;
    } catch (const ServerNotEmpty &refused) {
        err << refused.message()
            << tr("未复制任何数据。确要把 tel.mdb 的客户加在其后，请加 --add-to-existing 重新运行。") << '\n';
    } catch (const Failure &failure) {
        err << tr("复制失败，服务器上未写入任何数据：%1").arg(failure.message()) << '\n';
    }
    return Failed;
}

} // namespace corvane
