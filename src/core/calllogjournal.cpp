#include "core/calllogjournal.h"

#include "platform/failure.h"
#include "platform/filesync.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace corvane {

namespace {

// token, five texts of the call-log row, the time taken and the desk, the
// lookup, checksum; a line of an older version has the first six and the
// checksum.
constexpr int FieldCount = 10;
constexpr int OlderFieldCount = 7;
constexpr int ChecksumLength = 16;
const QByteArray LookupDue = QByteArrayLiteral("L");
const QByteArray LookupDone = QByteArrayLiteral("D");

QByteArray checksum(QByteArrayView body)
{
    return QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex().left(ChecksumLength);
}

std::optional<QString> decodeText(const QByteArray &field)
{
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(field, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return QString::fromUtf8(decoded.decoded);
}

Failure journalFailure(const QString &path, const QString &reason)
{
    return Failure(QStringLiteral("Cannot write the call journal '%1': %2").arg(path, reason));
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

// The call of an older version's line: a call-log row alone, whose customer
// is due to be looked up when it has none; its time is the report's.
void completeOlderLine(KeptCall &call)
{
    const CallLogRow &r = call.row;
    call.taken = r.adate + QLatin1Char(' ') + r.atime + QStringLiteral(":00");
    call.lookup =
        r.customercode.isEmpty() && r.customername.isEmpty() ? KeptCall::Lookup::Due : KeptCall::Lookup::Done;
}

// Makes what was written to the file survive a power cut.
void syncLine(const QString &path, bool created)
{
    QFile file(path);
    // Gone already when the database took the call first.
    if (file.open(QIODevice::ReadOnly))
        syncToDisk(file);
    if (created)
        syncFolder(folderOf(path));
}

} // namespace

QByteArray journalLine(const KeptCall &call)
{
    const CallLogRow &r = call.row;
    QByteArray body = call.token.toByteArray(QUuid::WithoutBraces);
    for (const QString *text :
         {&r.adate, &r.atime, &r.tel, &r.customercode, &r.customername, &call.taken, &call.desk})
        body += ' ' + text->toUtf8().toBase64();
    body += ' ' + (call.lookup == KeptCall::Lookup::Due ? LookupDue : LookupDone) + ' ';
    return body + checksum(body) + '\n';
}

std::optional<KeptCall> parseJournalLine(QByteArrayView line)
{
    const qsizetype bodyLength = line.size() - ChecksumLength;
    if (bodyLength <= 0 || checksum(line.first(bodyLength)) != line.sliced(bodyLength))
        return std::nullopt;
    const QList<QByteArray> fields = line.toByteArray().split(' ');
    if (fields.size() != FieldCount && fields.size() != OlderFieldCount)
        return std::nullopt;
    KeptCall call;
    call.token = QUuid::fromString(QLatin1String(fields[0]));
    if (call.token.isNull())
        return std::nullopt;
    CallLogRow &r = call.row;
    QString *texts[] = {&r.adate,        &r.atime,    &r.tel,    &r.customercode,
                        &r.customername, &call.taken, &call.desk};
    const int textCount = int(fields.size()) - 2 - (fields.size() == FieldCount ? 1 : 0);
    for (int i = 0; i < textCount; ++i) {
        const std::optional<QString> text = decodeText(fields[i + 1]);
        if (!text)
            return std::nullopt;
        *texts[i] = *text;
    }
    if (fields.size() == OlderFieldCount) {
        completeOlderLine(call);
        return call;
    }
    const QByteArray &lookup = fields[FieldCount - 2];
    if (lookup != LookupDue && lookup != LookupDone)
        return std::nullopt;
    call.lookup = lookup == LookupDue ? KeptCall::Lookup::Due : KeptCall::Lookup::Done;
    return call;
}

CallLogJournal::CallLogJournal(QString path) : m_path(std::move(path)) {}

CallLogJournal::~CallLogJournal() = default;

QList<KeptCall> CallLogJournal::read() const
{
    QFile file(m_path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(
            QStringLiteral("Cannot read the call journal '%1': %2").arg(m_path, file.errorString()));
    QList<QByteArray> lines = file.readAll().split('\n');
    // What follows the last newline is empty, or a line a crash cut short.
    lines.removeLast();
    QList<KeptCall> calls;
    for (const QByteArray &line : std::as_const(lines)) {
        if (std::optional<KeptCall> call = parseJournalLine(line))
            calls.append(*call);
    }
    return calls;
}

void CallLogJournal::append(const KeptCall &call)
{
    QFile file(m_path);
    const bool created = write(file, call);
    // The sync before waits here, if it is still running: one at a time.
    m_sync = std::async(std::launch::async, syncLine, m_path, created);
}

bool CallLogJournal::write(QFile &file, const KeptCall &call)
{
    const bool created = !file.exists();
    if (!file.open(QIODevice::ReadWrite))
        throw journalFailure(m_path, file.errorString());
    QByteArray bytes = journalLine(call);
    // A line a crash cut short must not swallow the start of this one.
    if (file.size() > 0 && file.seek(file.size() - 1) && file.read(1) != "\n")
        bytes.prepend('\n');
    if (!file.seek(file.size()) || file.write(bytes) != bytes.size() || !file.flush())
        throw journalFailure(m_path, file.errorString());
    return created;
}

void CallLogJournal::replace(const QList<KeptCall> &calls)
{
    if (calls.isEmpty()) {
        QFile file(m_path);
        if (file.exists() && !file.remove())
            throw journalFailure(m_path, file.errorString());
        syncFolder(folderOf(m_path));
        return;
    }
    // Unbuffered: a full disk that refuses the buffer only when it is closed
    // would not keep the file from being committed, empty.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw journalFailure(m_path, file.errorString());
    QByteArray lines;
    for (const KeptCall &call : calls)
        lines += journalLine(call);
    if (file.write(lines) != lines.size() || !file.commit())
        throw journalFailure(m_path, file.errorString());
    syncFolder(folderOf(m_path));
}

} // namespace corvane
