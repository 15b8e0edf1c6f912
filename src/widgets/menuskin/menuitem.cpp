#include "widgets/menuskin/menuitem.h"

#include "widgets/imagelist.h"
#include "widgets/menuskin/itempainting.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include <algorithm>

namespace corvane {

namespace {

constexpr QSize ownIconSize(16, 16);

} // namespace

namespace menuitem {

QList<QWidget *> menusOf(const QAction *item)
{
    QList<QWidget *> menus;
    for (QObject *object : item->associatedObjects()) {
        if (qobject_cast<QMenu *>(object) || qobject_cast<QMenuBar *>(object))
            menus.append(static_cast<QWidget *>(object));
    }
    return menus;
}

TabParts splitAtTab(const QString &text)
{
    const qsizetype tab = text.indexOf(u'\t');
    if (tab < 0)
        return {text, {}, false};
    return {text.left(tab), text.mid(tab + 1), true};
}

QString caption(const QAction *item)
{
    return item->isSeparator() ? QStringLiteral("-") : splitAtTab(item->text()).before;
}

QString shortcutText(const QAction *item)
{
    const TabParts parts = splitAtTab(item->text());
    return parts.tabbed ? parts.after : item->shortcut().toString(QKeySequence::NativeText);
}

bool isBarItem(const QAction *item)
{
    const QList<QObject *> objects = item->associatedObjects();
    return std::any_of(objects.begin(), objects.end(),
                       [](const QObject *o) { return qobject_cast<const QMenuBar *>(o) != nullptr; });
}

QSize pictureSize(const QAction *item, const ImageList *images)
{
    if (images && images->indexOf(item) != -1)
        return images->imageSize();
    if (!item->icon().isNull())
        return item->icon().actualSize(ownIconSize);
    return {};
}

QImage picture(const QAction *item, const ImageList *images, const QColor &background)
{
    QPixmap source;
    QSize size;
    if (images && images->indexOf(item) != -1) {
        source = images->image(images->indexOf(item));
        size = images->imageSize();
    } else if (!item->icon().isNull()) {
        source = item->icon().pixmap(ownIconSize);
        size = source.size();
    }
    if (size.isEmpty())
        return {};
    return opaquePicture(source, size, background);
}

bool isRightToLeft(const QAction *item)
{
    const QList<QWidget *> menus = menusOf(item);
    return !menus.isEmpty() && menus.first()->layoutDirection() == Qt::RightToLeft;
}

} // namespace menuitem
} // namespace corvane
