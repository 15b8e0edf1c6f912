#include "layoutfaults.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

namespace corvane::test {

namespace {

// A widget that only holds and frames other controls: its children are
// controls of the window in their own right.
bool isPanel(const QWidget *widget)
{
    const char *name = widget->metaObject()->className();
    return qstrcmp(name, "QWidget") == 0 || qstrcmp(name, "QFrame") == 0 ||
           qobject_cast<const QGroupBox *>(widget);
}

bool isEditable(QWidget *widget)
{
    if (!(widget->focusPolicy() & Qt::TabFocus))
        return false;
    if (const auto *edit = qobject_cast<QLineEdit *>(widget))
        return !edit->isReadOnly();
    if (const auto *text = qobject_cast<QTextEdit *>(widget))
        return !text->isReadOnly();
    if (const auto *text = qobject_cast<QPlainTextEdit *>(widget))
        return !text->isReadOnly();
    return qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractSpinBox *>(widget);
}

QString caption(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    // Self-painted buttons offer their text as a "caption" property.
    return widget->property("caption").toString();
}

QString describe(const QWidget *widget)
{
    const QRect g = widget->geometry();
    const QString place =
        QStringLiteral(" at %1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    if (!widget->objectName().isEmpty())
        return widget->objectName() + place;
    return QString::fromLatin1(widget->metaObject()->className()) + QStringLiteral(" \"") + caption(widget) +
           QLatin1Char('"') + place;
}

// The room a control's caption takes, with the indicator or icon drawn
// beside it; empty when the control shows no caption to measure.
QSize captionNeeds(const QWidget *widget)
{
    const QString text = caption(widget);
    if (text.isEmpty())
        return {};
    const QFontMetrics metrics = widget->fontMetrics();
    if (const auto *label = qobject_cast<const QLabel *>(widget)) {
        if (label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
            return {};
        if (label->wordWrap())
            return {0, label->heightForWidth(label->width())};
        const int flags = label->buddy() ? Qt::TextShowMnemonic : 0;
        return metrics.size(flags, text) + QSize(2 * label->margin(), 2 * label->margin());
    }
    QSize needs = metrics.size(Qt::TextShowMnemonic, text);
    const QStyle *style = widget->style();
    if (qobject_cast<const QCheckBox *>(widget))
        needs.rwidth() += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget) +
                          style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, widget);
    else if (qobject_cast<const QRadioButton *>(widget))
        needs.rwidth() += style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, widget) +
                          style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, widget);
    else if (const auto *tool = qobject_cast<const QToolButton *>(widget)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon && !tool->icon().isNull())
            needs.rwidth() += tool->iconSize().width();
        else if (tool->toolButtonStyle() == Qt::ToolButtonTextUnderIcon && !tool->icon().isNull())
            needs.rheight() += tool->iconSize().height();
        else if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull())
            return {};
    } else if (const auto *push = qobject_cast<const QPushButton *>(widget)) {
        if (!push->icon().isNull())
            needs.rwidth() += push->iconSize().width();
    } else {
        needs += QSize(2, 2); // a self-painted button's one-pixel border
    }
    return needs;
}

class LayoutCheck
{
public:
    explicit LayoutCheck(QWidget &window) : m_window(window) {}

    QStringList faults(TabOrder tabOrder)
    {
        checkChildren(m_window);
        if (tabOrder == TabOrder::Reading)
            checkTabOrder();
        return m_faults;
    }

private:
    void checkChildren(QWidget &parent)
    {
        QList<QWidget *> controls;
        const auto children = parent.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *child : children)
            if (!child->isWindow() && child->isVisibleTo(&m_window) &&
                !child->objectName().startsWith(QLatin1String("qt_")))
                controls.append(child);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            QWidget *control = controls[i];
            checkControl(parent, *control);
            for (qsizetype j = i + 1; j < controls.size(); ++j)
                checkOverlap(*control, *controls[j]);
            if (isPanel(control))
                checkChildren(*control);
            else if (isEditable(control))
                m_editable.append(control);
        }
    }

    // Inside its parent, which in turn is checked against its own parent up
    // to the window.
    void checkControl(const QWidget &parent, const QWidget &control)
    {
        if (!parent.rect().contains(control.geometry()))
            m_faults.append(describe(&control) + QStringLiteral(" reaches outside ") + describe(&parent));
        const QSize needs = captionNeeds(&control);
        const QSize room = control.contentsRect().size();
        if (needs.width() > room.width() || needs.height() > room.height())
            m_faults.append(describe(&control) +
                            QStringLiteral(" cuts its caption: it needs %1x%2, has %3x%4")
                                .arg(needs.width())
                                .arg(needs.height())
                                .arg(room.width())
                                .arg(room.height()));
        if (const auto *table = qobject_cast<const QTableView *>(&control))
            checkColumnHeadings(*table);
    }

    void checkColumnHeadings(const QTableView &table)
    {
        const QHeaderView *header = table.horizontalHeader();
        if (!header->isVisibleTo(&m_window) || !table.model())
            return;
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int column = 0; column < header->count(); ++column) {
            if (header->isSectionHidden(column))
                continue;
            const QString title = table.model()->headerData(column, Qt::Horizontal).toString();
            const int needs = header->fontMetrics().horizontalAdvance(title) + 2 * margin;
            if (needs > header->sectionSize(column))
                m_faults.append(describe(&table) +
                                QStringLiteral(" cuts the heading \"%1\": it needs %2, has %3")
                                    .arg(title)
                                    .arg(needs)
                                    .arg(header->sectionSize(column)));
        }
    }

    void checkOverlap(const QWidget &a, const QWidget &b)
    {
        if (!a.geometry().intersects(b.geometry()))
            return;
        const bool laidOnPanel = (isPanel(&a) && a.geometry().contains(b.geometry())) ||
                                 (isPanel(&b) && b.geometry().contains(a.geometry()));
        if (!laidOnPanel)
            m_faults.append(describe(&a) + QStringLiteral(" overlaps ") + describe(&b));
    }

    QRect placeInWindow(const QWidget *widget) const
    {
        return QRect(widget->mapTo(&m_window, QPoint(0, 0)), widget->size());
    }

    // Whether `b` comes before `a` in reading order: on a higher row, or on
    // the same row (their heights overlapping by half) further left.
    bool readsBefore(const QWidget *b, const QWidget *a) const
    {
        const QRect ra = placeInWindow(a);
        const QRect rb = placeInWindow(b);
        const int shared = std::min(ra.bottom(), rb.bottom()) - std::max(ra.top(), rb.top()) + 1;
        if (2 * shared >= std::min(ra.height(), rb.height()))
            return rb.left() < ra.left();
        return rb.top() < ra.top();
    }

    void checkTabOrder()
    {
        QList<QWidget *> visited;
        QWidget *widget = m_window.nextInFocusChain();
        for (qsizetype steps = m_window.findChildren<QWidget *>().size(); widget != &m_window && steps >= 0;
             --steps, widget = widget->nextInFocusChain())
            if (m_editable.contains(widget) && !visited.contains(widget))
                visited.append(widget);
        for (qsizetype i = 1; i < visited.size(); ++i)
            if (readsBefore(visited[i], visited[i - 1]))
                m_faults.append(QStringLiteral("the tab key goes from ") + describe(visited[i - 1]) +
                                QStringLiteral(" to ") + describe(visited[i]) +
                                QStringLiteral(", which stands before it"));
    }

    QWidget &m_window;
    QList<QWidget *> m_editable;
    QStringList m_faults;
};

} // namespace

QString layoutFaults(QWidget &window, TabOrder tabOrder)
{
    return LayoutCheck(window).faults(tabOrder).join(QLatin1Char('\n'));
}

} // namespace corvane::test
