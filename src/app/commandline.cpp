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

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("来电显示与客户资料"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, tr("显示这些说明"));
    const QCommandLineOption data(QStringLiteral("data"), tr("数据（tel.mdb、zel.ini、铃声）所在的文件夹"),
                                  tr("文件夹"));
    const QCommandLineOption tray(QStringLiteral("tray"), tr("启动时只在托盘中，不显示窗口"));
    parser.addOptions({help, data, tray});

    if (!parser.parse(arguments))
        return badUsage(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return badUsage(tr("不认识的参数：%1").arg(parser.positionalArguments().join(QLatin1Char(' '))));
    if (parser.isSet(data) && parser.value(data).trimmed().isEmpty())
        return badUsage(tr("--data 需要一个文件夹。"));

    CommandLine result;
    if (parser.isSet(help)) {
        result.endNow = true;
        result.output = parser.helpText();
        return result;
    }
    result.dataFolder = parser.value(data);
    result.intoTray = parser.isSet(tray);
    return result;
}

} // namespace corvane
