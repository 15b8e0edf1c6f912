#include "core/recentcallsexport.h"

#include "core/callcaption.h"
#include "core/csv.h"
#include "platform/failure.h"
#include "store/recentcallsstore.h"

#include <QDir>
#include <QSaveFile>

namespace corvane {

namespace {

constexpr int Page = 1000;

QString at(const Record &call, RecentCallsStore::Field field)
{
    return call[field].value_or(QString());
}

} // namespace

qsizetype RecentCallsExport::toFile(RecentCallsStore &store, const RecentCallsFilter &filter,
                                    const QDate &today, const QString &path)
{
    QSaveFile file(path);
    const auto cannotWrite = [&] {
        return Failure(tr("无法写入文件 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw cannotWrite();
    const auto put = [&](const QStringList &fields) {
        if (file.write(csv::line(fields).toUtf8()) < 0)
            throw cannotWrite();
    };
    file.write("\xEF\xBB\xBF");
    put({tr("时间"), tr("号码"), tr("客户编码"), tr("客户"), tr("已处理"), tr("备注")});
    const auto calls = store.calls(filter, today);
    qsizetype count = 0;
    for (std::vector<Record> page = calls->first(Page); !page.empty();
         page = calls->read(&page.back(), PagedQuery::Direction::Forward, 0, Page)) {
        for (const Record &call : page)
            put({at(call, RecentCallsStore::Taken), at(call, RecentCallsStore::Number),
                 at(call, RecentCallsStore::FoundCode), callerCaption(call), handledCaption(call),
                 at(call, RecentCallsStore::Note)});
        count += qsizetype(page.size());
    }
    if (!file.commit())
        throw cannotWrite();
    return count;
}

} // namespace corvane
