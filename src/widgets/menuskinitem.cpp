#include "widgets/menuskinitem.h"

#include "widgets/imagelist.h"
#include "widgets/menudrawingicon.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSet>
#include <QVariant>

namespace corvane {

namespace {

constexpr QSize ownIconSize(16, 16);

// The menus (QMenu or QMenuBar) that show the item.
QList<QWidget *> menusOf(const QAction *item)
{
    QList<QWidget *> menus;
    for (QObject *object : item->associatedObjects()) {
        if (qobject_cast<QMenu *>(object) || qobject_cast<QMenuBar *>(object))
            menus.append(static_cast<QWidget *>(object));
    }
    return menus;
}

// Walks up from the item through the sub-menu actions to the first menu that
// names an image list; `seen` stops a menu that contains itself.
ImageList *imagesAbove(const QAction *item, QSet<const QAction *> &seen)
{
    if (!item || seen.contains(item))
        return nullptr;
    seen.insert(item);
    for (QWidget *menu : menusOf(item)) {
        if (ImageList *list = ImageList::menuImages(menu))
            return list;
        if (auto *popup = qobject_cast<QMenu *>(menu)) {
            if (ImageList *list = imagesAbove(popup->menuAction(), seen))
                return list;
        }
    }
    return nullptr;
}

} // namespace

bool hasSkipTag(const QObject *object)
{
    return object && object->property("Tag").toInt() == SkinSkipTag;
}

namespace menuitem {

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

int imageIndex(const QAction *item)
{
    bool ok = false;
    const int index = item->property("ImageIndex").toInt(&ok);
    return ok ? index : -1;
}

bool isBarItem(const QAction *item)
{
    const QList<QObject *> objects = item->associatedObjects();
    return std::any_of(objects.begin(), objects.end(),
                       [](const QObject *o) { return qobject_cast<const QMenuBar *>(o) != nullptr; });
}

ImageList *images(const QAction *item)
{
    QSet<const QAction *> seen;
    return imagesAbove(item, seen);
}

QSize pictureSize(const QAction *item)
{
    if (ImageList *list = images(item); list && imageIndex(item) != -1)
        return list->imageSize();
    if (!item->icon().isNull())
        return item->icon().actualSize(ownIconSize);
    return {};
}

QImage picture(const QAction *item, const QColor &background)
{
    QPixmap source;
    QSize size;
    if (ImageList *list = images(item); list && imageIndex(item) != -1) {
        source = list->image(imageIndex(item));
        size = list->imageSize();
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
