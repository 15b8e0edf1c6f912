#include "store/databasefilefailure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace corvane {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DatabaseFileFailure", text);
}

} // namespace

QString DatabaseFileFailure::describe(Kind kind, const QString &path, const QString &reason)
{
    const QString file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    switch (kind) {
    case Kind::Missing:
        return tr("找不到数据库文件 %1。\n请把 tel.mdb（例如最近的备份）放回数据文件夹 %2；"
                  "程序不会另建一个空的数据库。")
            .arg(file, folder);
    case Kind::Empty:
        return tr("数据库文件 %1 是空的（0 字节），其中没有任何资料。\n请用最近备份的 tel.mdb 替换它"
                  "（数据文件夹 %2）。")
            .arg(file, folder);
    case Kind::Damaged:
        return tr("数据库文件 %1 已损坏，或不是本程序的数据库（%3）。\n请用最近备份的 tel.mdb 替换它"
                  "（数据文件夹 %2）。")
            .arg(file, folder, reason);
    case Kind::Locked:
        return tr("数据库文件 %1 正被其他程序占用。\n请关闭占用它的程序（例如备份或数据库工具）。").arg(file);
    case Kind::ReadOnly:
        return tr("数据库文件 %1 是只读的，资料无法保存。\n请去掉它的只读属性，并让数据文件夹 %2 可以写入。")
            .arg(file, folder);
    case Kind::Unopenable:
        break;
    }
    return tr("无法打开数据库文件 %1（%3）。\n请检查它和数据文件夹 %2 的访问权限。")
        .arg(file, folder, reason);
}

bool databaseFileWritable(const QString &path)
{
    return QFileInfo(path).isWritable() && QFileInfo(QFileInfo(path).absolutePath()).isWritable();
}

DatabaseFileFailure::DatabaseFileFailure(Kind kind, const QString &path, const QString &reason)
    : Failure(describe(kind, path, reason)), m_kind(kind)
{
}

} // namespace corvane
