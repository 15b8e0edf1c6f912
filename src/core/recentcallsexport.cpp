#include "core/recentcallsexport.h"

#include "core/callcaption.h"
#include "core/csvfile.h"
#include "store/recentcallsstore.h"

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
    CsvFile file(path);
    const auto put = [&file](const QStringList &fields) { file.put(fields); };
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
    file.commit();
    return count;
}

} // namespace corvane
