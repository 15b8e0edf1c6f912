// Corvane as the tests run it: the program itself, except that when
// CORVANE_MESSAGE_LOG names a file every message box is appended to that file
// as one JSON line and answered by its default instead of being shown. The
// program users get has no such switch.

#include "app/application.h"
#include "desktop/messagebox.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

corvane::msg::Answer logBox(const QString &path, const corvane::msg::Box &box)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QJsonObject line{{QStringLiteral("text"), box.text},
                               {QStringLiteral("caption"), box.caption},
                               {QStringLiteral("icon"), static_cast<int>(box.icon)},
                               {QStringLiteral("buttons"), static_cast<int>(box.buttons)}};
        file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    }
    return box.defaultAnswer;
}

} // namespace

int main(int argc, char **argv)
{
    const QString log = qEnvironmentVariable("CORVANE_MESSAGE_LOG");
    if (!log.isEmpty())
        corvane::msg::setAnswerer([log](const corvane::msg::Box &box) { return logBox(log, box); });
    return corvane::runCorvane(argc, argv);
}
