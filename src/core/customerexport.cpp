#include "core/customerexport.h"

#include "core/csv.h"
#include "core/customercolumns.h"
#include "platform/failure.h"
#include "store/customerstore.h"

#include <QDir>
#include <QSaveFile>

namespace corvane {

QByteArray CustomerExport::bytes(CustomerStore &store)
{
    qsizetype count = 0;
    return bytes(store, count);
}

QByteArray CustomerExport::bytes(CustomerStore &store, qsizetype &count)
{
    QString text = csv::line(CustomerColumns::headings());
    store.forEachCustomer([&](const Customer &customer) {
        QStringList fields;
        for (int field = 0; field < CustomerColumns::FieldCount; ++field)
            fields.append(CustomerColumns::field(customer, field));
        text += csv::line(fields);
        ++count;
    });
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

qsizetype CustomerExport::toFile(CustomerStore &store, const QString &path)
{
    qsizetype count = 0;
    const QByteArray content = bytes(store, count);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw Failure(tr("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return count;
}

} // namespace corvane
