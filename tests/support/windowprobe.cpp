// Part of the program the tests run: when CORVANE_WINDOW_LOG names a file,
// every change of a text box or a named label on the main window, and every
// time the window is shown, is appended to that file as one JSON line with
// the time in milliseconds (with fractions) since the epoch, so a test in
// another process sees what the window shows and when. So is every time the event loop stood
// still for longer than StallMs ("stall", the milliseconds it stood still).
// With CORVANE_OPEN_RECENT_CALLS set, 最近来电 is opened from its menu once
// the call desk has started, and every change of its list is logged
// ("callList", a JSON array of "number|handled|note", top row first).

#include "records/recentcallsmodel.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <QElapsedTimer>

#include <chrono>

namespace {

// The loop is looked at every TickMs; a gap longer than StallMs is logged.
constexpr int TickMs = 10;
constexpr qint64 StallMs = 100;

void writeLine(const QString &path, const QString &what, const QString &text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const std::chrono::duration<double, std::milli> sinceEpoch =
            std::chrono::system_clock::now().time_since_epoch();
        const QJsonObject line{{QStringLiteral("ms"), sinceEpoch.count()},
                               {QStringLiteral("what"), what},
                               {QStringLiteral("text"), text}};
        file.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    }
}

class ShowWatcher : public QObject
{
public:
    ShowWatcher(const QString &path, QObject *parent) : QObject(parent), m_path(path) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            writeLine(m_path, QStringLiteral("shown"), watched->objectName());
        return false;
    }

private:
    QString m_path;
};

// A label tells no change of its text: it is looked at every tick.
void watchLabels(const QString &path, QWidget *window)
{
    auto *tick = new QTimer(window);
    tick->setInterval(TickMs);
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->objectName().isEmpty())
            continue;
        QObject::connect(tick, &QTimer::timeout, label, [path, label, shown = label->text()]() mutable {
            if (label->text() == shown)
                return;
            shown = label->text();
            writeLine(path, label->objectName(), shown);
        });
    }
    tick->start();
}

void logCallList(const QString &path, const QAbstractItemModel *calls)
{
    QJsonArray rows;
    for (int row = 0; row < calls->rowCount(); ++row) {
        const auto cell = [&](int column, int role) { return calls->index(row, column).data(role); };
        rows.append(QString(
            cell(corvane::RecentCallsModel::Number, Qt::DisplayRole).toString() + u'|' +
            (cell(corvane::RecentCallsModel::Handled, Qt::CheckStateRole) == Qt::Checked ? u'1' : u'0') +
            u'|' + cell(corvane::RecentCallsModel::Note, Qt::DisplayRole).toString()));
    }
    writeLine(path, QStringLiteral("callList"),
              QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact)));
}

void openRecentCalls(const QString &path, QWidget *main)
{
    auto *list = main->findChild<QAbstractItemView *>(QStringLiteral("callList"));
    QAbstractItemModel *calls = list->model();
    const auto log = [path, calls] { logCallList(path, calls); };
    QObject::connect(calls, &QAbstractItemModel::modelReset, list, log);
    QObject::connect(calls, &QAbstractItemModel::rowsInserted, list, log);
    QObject::connect(calls, &QAbstractItemModel::dataChanged, list, log);
    main->findChild<QAction *>(QStringLiteral("recentCallsAction"))->trigger();
}

void watchMainWindow(const QString &path)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() != QLatin1String("mainWindow"))
            continue;
        window->installEventFilter(new ShowWatcher(path, window));
        // The start shows the window before the event loop, and so the watcher, runs.
        if (window->isVisible())
            writeLine(path, QStringLiteral("shown"), window->objectName());
        for (QLineEdit *edit : window->findChildren<QLineEdit *>()) {
            QObject::connect(edit, &QLineEdit::textChanged, edit, [path, edit](const QString &text) {
                writeLine(path, edit->objectName(), text);
            });
        }
        watchLabels(path, window);
        // After the call desk's start, which the window's showing queued.
        if (qEnvironmentVariableIsSet("CORVANE_OPEN_RECENT_CALLS"))
            QTimer::singleShot(0, window, [path, window] { openRecentCalls(path, window); });
    }
}

void watchEventLoop(const QString &path)
{
    auto *tick = new QTimer(qApp);
    tick->setTimerType(Qt::PreciseTimer);
    tick->setInterval(TickMs);
    auto *sinceLastTick = new QElapsedTimer;
    sinceLastTick->start();
    QObject::connect(tick, &QTimer::timeout, qApp, [path, sinceLastTick] {
        const qint64 gap = sinceLastTick->restart();
        if (gap > StallMs)
            writeLine(path, QStringLiteral("stall"), QString::number(gap));
    });
    QObject::connect(tick, &QObject::destroyed, [sinceLastTick] { delete sinceLastTick; });
    tick->start();
}

void startWindowProbe()
{
    const QString path = qEnvironmentVariable("CORVANE_WINDOW_LOG");
    // The program reads its command line with an application object of no
    // windows first; the windows come with the second one. The main window
    // exists once the event loop runs.
    auto *application = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (path.isEmpty() || !application)
        return;
    QTimer::singleShot(0, application, [path] {
        watchMainWindow(path);
        watchEventLoop(path);
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startWindowProbe)
