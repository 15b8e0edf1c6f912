#include "core/calllogjournal.h"
#include "coresupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>

using namespace corvane;

namespace {

KeptCall kept(const QString &tel, const QString &name = QStringLiteral("张三五金店"))
{
    return {QUuid::createUuid(),
            {QStringLiteral("2026-03-21"), QStringLiteral("14:05"), tel, QStringLiteral("C001"), name}};
}

bool same(const KeptCall &a, const KeptCall &b)
{
    return a.token == b.token && a.row.adate == b.row.adate && a.row.atime == b.row.atime &&
           a.row.tel == b.row.tel && a.row.customercode == b.row.customercode &&
           a.row.customername == b.row.customername;
}

QStringList numbers(const QList<KeptCall> &calls)
{
    QStringList tels;
    for (const KeptCall &call : calls)
        tels.append(call.row.tel);
    return tels;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class CallLogJournalTest : public QObject
{
    Q_OBJECT

    QString journalIn(const test::ProgramFolder &folder)
    {
        return folder.file(QStringLiteral("calls.journal"));
    }

private Q_SLOTS:
    void anyTextComesBackExactly()
    {
        test::ProgramFolder folder(false);
        CallLogJournal journal(journalIn(folder));
        const QString odd[] = {
            QString(),
            QStringLiteral("O'Brien \"&\" 'x'); drop table detail;--"),
            QStringLiteral("line one\nline two\r\n\tend "),
            QStringLiteral("  spaces  at both ends  "),
            QStringLiteral("中文名称，全角标点（）《》——😀"),
            QString::fromUtf16(u"nul\0inside", 10),
            QStringLiteral("=== base64-like +/= ==="),
        };
        QList<KeptCall> written;
        for (const QString &text : odd) {
            KeptCall call = kept(text, text);
            call.row.adate = text;
            written.append(call);
            journal.append(call);
        }
        const QList<KeptCall> read = journal.read();
        QCOMPARE(read.size(), written.size());
        for (qsizetype i = 0; i < read.size(); ++i)
            QVERIFY2(same(read[i], written[i]), qPrintable(written[i].row.tel));
        // One line per row, whatever the texts hold.
        QCOMPARE(contents(journal.path()).count('\n'), qsizetype(std::size(odd)));
    }

    void aLineCutShortIsSkippedAndSpoilsNothingAfterIt()
    {
        test::ProgramFolder folder(false);
        CallLogJournal journal(journalIn(folder));
        journal.append(kept(QStringLiteral("1")));
        journal.append(kept(QStringLiteral("2")));
        const QByteArray whole = contents(journal.path());
        // A crash in the middle of the next append.
        const QByteArray third = journalLine(kept(QStringLiteral("3")));
        overwrite(journal.path(), whole + third.left(third.size() / 2));
        QCOMPARE(numbers(journal.read()), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));

        journal.append(kept(QStringLiteral("4")));
        QCOMPARE(numbers(journal.read()),
                 (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")}));

        // Cut anywhere, the line is never read as a shorter row.
        for (qsizetype cut = 1; cut < third.size() - 1; ++cut)
            QVERIFY2(!parseJournalLine(QByteArrayView(third).first(cut)), qPrintable(QString::number(cut)));
    }

    void aDamagedLineIsSkippedAlone()
    {
        test::ProgramFolder folder(false);
        CallLogJournal journal(journalIn(folder));
        for (const char *tel : {"1", "2", "3"})
            journal.append(kept(QLatin1String(tel)));
        QByteArray bytes = contents(journal.path());
        const qsizetype second = bytes.indexOf('\n') + 1;
        bytes[second + 40] = bytes[second + 40] == 'A' ? 'B' : 'A';
        overwrite(journal.path(), bytes + "garbage without a checksum\n\n\xff\xfe\n");
        QCOMPARE(numbers(journal.read()), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    }

    void replaceKeepsOrderAndNothingRemovesTheFile()
    {
        test::ProgramFolder folder(false);
        CallLogJournal journal(journalIn(folder));
        QCOMPARE(journal.read().size(), 0); // no file yet
        journal.append(kept(QStringLiteral("old")));
        const QList<KeptCall> calls{kept(QStringLiteral("a")), kept(QStringLiteral("b")),
                                    kept(QStringLiteral("c"))};
        journal.replace(calls);
        const QList<KeptCall> read = journal.read();
        QCOMPARE(read.size(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY(same(read[i], calls[i]));
        journal.replace({});
        QVERIFY(!QFile::exists(journal.path()));
        journal.replace({}); // already gone: nothing to do
    }

    // A line an older version wrote (the call-log row alone) is read as a
    // call whose lookup is due unless it names a customer, beside new ones.
    void olderLinesAreReadBesideNewOnes()
    {
        test::ProgramFolder folder(false);
        CallLogJournal journal(journalIn(folder));
        const auto olderLine = [](const QString &tel, const QString &code) -> QByteArray {
            QByteArray body = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
            for (const QString &text :
                 {QStringLiteral("2026-03-21"), QStringLiteral("14:05"), tel, code, code})
                body += ' ' + text.toUtf8().toBase64();
            body += ' ';
            return body + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex().left(16) + '\n';
        };
        overwrite(journal.path(), olderLine(QStringLiteral("1"), QStringLiteral("C001")) +
                                      olderLine(QStringLiteral("2"), {}));
        KeptCall due = kept(QStringLiteral("3"));
        due.row.customercode.clear();
        due.lookup = KeptCall::Lookup::Due;
        due.taken = QStringLiteral("2026-03-21 14:05:07");
        due.desk = QStringLiteral("前台 'A'");
        journal.append(due);
        journal.append(kept(QStringLiteral("4")));

        const QList<KeptCall> read = journal.read();
        QCOMPARE(numbers(read), (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                             QStringLiteral("4")}));
        QCOMPARE(read[0].lookup, KeptCall::Lookup::Done);
        QCOMPARE(read[0].taken, QStringLiteral("2026-03-21 14:05:00"));
        QCOMPARE(read[1].lookup, KeptCall::Lookup::Due);
        QVERIFY(read[2].lookup == KeptCall::Lookup::Due && read[2].taken == due.taken &&
                read[2].desk == due.desk);
        QCOMPARE(read[3].lookup, KeptCall::Lookup::Done);
    }

    void aFolderThatIsNotThereFailsWithAMessage()
    {
        CallLogJournal journal(QStringLiteral("/nonexistent-corvane-folder/calls.journal"));
        QVERIFY(test::failureOf([&] { journal.append(kept(QStringLiteral("1"))); }).contains(journal.path()));
        QVERIFY(!test::failureOf([&] { journal.replace({kept(QStringLiteral("1"))}); }).isEmpty());
    }
};

QTEST_GUILESS_MAIN(CallLogJournalTest)
#include "tst_calllogjournal.moc"
