#include "layoutfaults.h"
#include "widgets/facebutton/facebutton.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

using namespace corvane;

namespace {

template <typename T> T *place(QWidget *parent, const char *name, QRect geometry)
{
    auto *widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    widget->show();
    return widget;
}

// Empty when the checker finds exactly one fault in `window` and it names
// every one of `names`; else what it found.
QString otherThanOneFaultNaming(QWidget &window, const QStringList &names)
{
    const QString faults = test::layoutFaults(window);
    if (faults.isEmpty())
        return QStringLiteral("no fault found");
    if (faults.contains(QLatin1Char('\n')))
        return faults;
    for (const QString &name : names)
        if (!faults.contains(name))
            return faults;
    return {};
}

} // namespace

// The checker the window tests rely on: it must see each kind of broken
// layout, and pass a sound one.
class TestLayoutFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void soundLayoutWithALabelOnAPanelPasses()
    {
        QWidget window;
        window.resize(300, 200);
        auto *panel = place<QFrame>(&window, "panel", {0, 0, 300, 60});
        place<QLabel>(&window, "onPanel", {10, 10, 100, 30})->setText(QStringLiteral("客户"));
        place<QLineEdit>(panel, "inPanel", {120, 10, 100, 22});
        place<QLineEdit>(&window, "below", {10, 80, 100, 22});
        place<QLineEdit>(&window, "belowRight", {120, 82, 100, 22});
        window.show();
        QCOMPARE(test::layoutFaults(window), QString());
    }

    void eachKindOfBrokenLayoutIsReported()
    {
        QWidget window;
        window.resize(300, 200);
        auto *panel = place<QFrame>(&window, "panel", {0, 0, 300, 60});
        auto *outside = place<QLineEdit>(panel, "outside", {250, 10, 100, 22});
        auto *overlapping = place<QLineEdit>(&window, "overlapping", {10, 70, 100, 22});
        auto *cut = place<QPushButton>(&window, "cut", {10, 150, 30, 22});
        window.show();
        QCOMPARE(otherThanOneFaultNaming(window, {"outside", "panel"}), QString());
        outside->move(120, 10);

        auto *other = place<QLineEdit>(&window, "other", {100, 80, 100, 22});
        QCOMPARE(otherThanOneFaultNaming(window, {"overlapping", "other"}), QString());
        other->move(150, 100);

        cut->setText(QStringLiteral("保存新号码"));
        QCOMPARE(otherThanOneFaultNaming(window, {"cut"}), QString());
        cut->resize(cut->sizeHint());
        auto *check = place<QCheckBox>(&window, "check", {130, 150, 20, 22});
        check->setText(QStringLiteral("记"));
        QCOMPARE(otherThanOneFaultNaming(window, {"check"}), QString());
        check->resize(check->sizeHint());
        auto *face = place<FaceButton>(&window, "face", {220, 150, 20, 22});
        face->setCaption(QStringLiteral("&Cancel"));
        QCOMPARE(otherThanOneFaultNaming(window, {"face"}), QString());
        face->resize(73, 25);

        // The tab key jumps back up from the edit below to the one above.
        QWidget::setTabOrder(other, overlapping);
        QCOMPARE(otherThanOneFaultNaming(window, {"tab", "other", "overlapping"}), QString());
        QWidget::setTabOrder(overlapping, other);
        QCOMPARE(test::layoutFaults(window), QString());

        // Hidden controls are not seen.
        other->move(0, 0);
        other->hide();
        QCOMPARE(test::layoutFaults(window), QString());
    }

    void cutColumnHeadingIsReported()
    {
        QWidget window;
        window.resize(300, 200);
        QStandardItemModel model(0, 2);
        model.setHorizontalHeaderLabels({QStringLiteral("客户编码"), QStringLiteral("电子邮箱地址")});
        auto *table = place<QTableView>(&window, "table", {0, 0, 300, 200});
        table->setModel(&model);
        table->setColumnWidth(0, 120);
        table->setColumnWidth(1, 30);
        window.show();
        QCOMPARE(otherThanOneFaultNaming(window, {"table", "电子邮箱地址"}), QString());
        table->setColumnWidth(1, 160);
        QCOMPARE(test::layoutFaults(window), QString());
    }
};

QTEST_MAIN(TestLayoutFaults)
#include "tst_layoutfaults.moc"
