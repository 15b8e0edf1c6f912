#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace corvane {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CommandLine", text);
}

CommandLine badUsage(const QString &problem)
{
    CommandLine result;
    result.endNow = true;
    result.exitCode = 2;
    result.output = problem + QLatin1Char('\n') + tr("用 --help 查看可用的选项。") + QLatin1Char('\n');
    return result;
}

CommandLine endWith(const QString &output)
{
    CommandLine result;
    result.endNow = true;
    result.output = output;
    return result;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("来电显示与客户资料"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, tr("显示这些说明"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, tr("显示版本"));
    const QCommandLineOption data(QStringLiteral("data"), tr("数据（tel.mdb、zel.ini、铃声）所在的文件夹"),
                                  tr("文件夹"));
    const QCommandLineOption tray(QStringLiteral("tray"), tr("启动时只在托盘中，不显示窗口"));
    const QCommandLineOption quit(QStringLiteral("quit"),
                                  tr("让正在运行的 Corvane 保存并退出，等它结束后返回"));
    const QCommandLineOption copy(QStringLiteral("copy-to-server"),
                                  tr("把 tel.mdb 的客户、来电记录和铃声选择复制到 zel.ini 的 [database] "
                                     "节指定的服务器，不打开窗口"));
    const QCommandLineOption addTo(QStringLiteral("add-to-existing"),
                                   tr("与 --copy-to-server 一起用：服务器上已有客户时，加在其后"));
    parser.addOptions({help, version, data, tray, quit, copy, addTo});
    parser.addPositionalArgument(QStringLiteral("tel.mdb"),
                                 tr("--copy-to-server 要复制的文件（默认为数据文件夹中的 tel.mdb）"),
                                 QStringLiteral("[tel.mdb]"));

    if (!parser.parse(arguments))
        return badUsage(parser.errorText());
    const QStringList files = parser.positionalArguments();
    const bool copying = parser.isSet(copy);
    if (files.size() > (copying ? 1 : 0))
        return badUsage(tr("不认识的参数：%1").arg(files.mid(copying ? 1 : 0).join(QLatin1Char(' '))));
    if (parser.isSet(addTo) && !copying)
        return badUsage(tr("--add-to-existing 只能与 --copy-to-server 一起使用。"));
    if (parser.isSet(data) && parser.value(data).trimmed().isEmpty())
        return badUsage(tr("--data 需要一个文件夹。"));

    if (parser.isSet(help))
        return endWith(parser.helpText());
    if (parser.isSet(version))
        return endWith(QStringLiteral("Corvane %1\n").arg(QStringLiteral(CORVANE_VERSION)));
    CommandLine result;
    result.dataFolder = parser.value(data);
    result.intoTray = parser.isSet(tray);
    result.quitRunning = parser.isSet(quit);
    result.copyToServer = copying;
    result.addToExisting = parser.isSet(addTo);
    result.copySource = files.value(0);
    return result;
}

} // namespace corvane
