#include "settings/helpwindow.h"
#include "testsupport.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include <tuple>

using namespace corvane;

namespace {

QTextEdit *helpText(const HelpWindow &w)
{
    return test::child<QTextEdit>(w, "helpText");
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textCannotBeChangedByTheUser()
    {
        HelpWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString before = helpText(w)->toPlainText();
        helpText(w)->setFocus();
        helpText(w)->moveCursor(QTextCursor::End);
        QTest::keyClicks(helpText(w), QStringLiteral("abc"));
        QTest::keyClick(helpText(w), Qt::Key_Backspace);
        QTest::keyClick(helpText(w), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(helpText(w)->toPlainText(), before);
        // Selecting for a copy still works.
        helpText(w)->selectAll();
        QVERIFY(helpText(w)->textCursor().hasSelection());
    }

    void textFollowsTheWindowSize()
    {
        HelpWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(helpText(w)->geometry(), w.rect());
        w.resize(300, 200);
        QTRY_COMPARE(helpText(w)->geometry(), w.rect());
        // Long lines wrap at the narrow width: nothing to scroll sideways.
        QCOMPARE(helpText(w)->horizontalScrollBar()->maximum(), 0);
        QVERIFY(helpText(w)->horizontalScrollBar()->isVisible());
        QVERIFY(helpText(w)->verticalScrollBar()->isVisible());
    }

    void textHoldsBothSectionsAndThePortItem()
    {
        HelpWindow w;
        const QStringList lines = helpText(w)->toPlainText().split(QLatin1Char('\n'));
        const qsizetype second = lines.indexOf(QStringLiteral("二，本软件操作说明："));
        QCOMPARE(lines.first(), QStringLiteral("一，本软件功能说明及安装配置："));
        QVERIFY(second > 0);
        QCOMPARE(lines.at(second - 1), QString());
        QCOMPARE(lines.last(), QString());
        // Items run 1）, 2） … in each section without gaps.
        for (const auto &[from, to, count] :
             {std::tuple{qsizetype(1), second - 1, 7}, std::tuple{second + 1, lines.size() - 1, 7}}) {
            int number = 0;
            for (qsizetype i = from; i < to; ++i)
                if (!lines.at(i).isEmpty() && lines.at(i).front().isDigit())
                    QVERIFY2(lines.at(i).startsWith(QString::number(++number) + QStringLiteral("）")),
                             qPrintable(lines.at(i)));
            QCOMPARE(number, count);
        }
        const QString text = helpText(w)->toPlainText();
        QVERIFY(text.contains(QStringLiteral("[ports]")));
        QVERIFY(text.contains(QStringLiteral("com1=/dev/ttyUSB0")));
        QVERIFY(text.contains(QStringLiteral("/dev/ttyS7")));
        // The line log's switch and file are named.
        QVERIFY(text.contains(QStringLiteral("[line]")));
        QVERIFY(text.contains(QStringLiteral("log=1")));
        QVERIFY(text.contains(QStringLiteral("line.log")));
        QVERIFY(text.contains(QStringLiteral("init=")));
        // So is the way to a shared database.
        QVERIFY(text.contains(QStringLiteral("[database]")));
        QVERIFY(text.contains(QStringLiteral("engine=postgresql")));
        QCOMPARE(w.windowTitle(), QStringLiteral("使用说明"));
    }

    void linesRunAboutThirtySixCharactersWithNoneLeftAlone()
    {
        HelpWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int character = helpText(w)->fontMetrics().horizontalAdvance(u'中');
        int wrapped = 0;
        for (QTextBlock block = helpText(w)->document()->begin(); block.isValid(); block = block.next()) {
            const QTextLayout *layout = block.layout();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const QString text = block.text().mid(line.textStart(), line.textLength()).trimmed();
                QVERIFY2(line.naturalTextWidth() <= 37 * character, qPrintable(text));
                if (i + 1 < layout->lineCount()) {
                    ++wrapped;
                    // A wrapped line is full, give or take a word.
                    QVERIFY2(line.naturalTextWidth() >= 30 * character, qPrintable(text));
                } else if (layout->lineCount() > 1) {
                    const auto letters =
                        std::count_if(text.cbegin(), text.cend(), [](QChar c) { return !c.isPunct(); });
                    QVERIFY2(letters >= 2, qPrintable(block.text()));
                }
            }
        }
        QVERIFY(wrapped > 0);
    }

    void screenshot()
    {
        HelpWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        test::saveScreenshot(&w, QStringLiteral("help-window.png"));
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
