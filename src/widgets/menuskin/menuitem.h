#pragma once

#include <QImage>
#include <QList>
#include <QString>

class QAction;
class QWidget;

namespace corvane {

class ImageList;

// What the skin needs to know of a menu item, read from its QAction and the
// menus holding it.
namespace menuitem {

// A menu text split at its first tab into the caption and the shortcut text;
// `tabbed` tells an empty shortcut text from none.
struct TabParts
{
    QString before;
    QString after;
    bool tabbed = false;
};
TabParts splitAtTab(const QString &text);

// The caption as the menu shows it; "-" for a separator.
QString caption(const QAction *item);
// The shortcut as display text: the text after a tab in the caption, or the
// action's key sequence.
QString shortcutText(const QAction *item);
// The menus (QMenu or QMenuBar) that show the item.
QList<QWidget *> menusOf(const QAction *item);
// The item stands on a menu bar.
bool isBarItem(const QAction *item);
// Size of the item's picture: the list's image when the list gives the item
// an index, else its own icon, else empty.
QSize pictureSize(const QAction *item, const ImageList *images);
// A fresh copy of the item's picture on the given background; null when the
// item has none. An index with no image in the list gives a blank picture.
QImage picture(const QAction *item, const ImageList *images, const QColor &background);
// The item's menus lay it out right to left.
bool isRightToLeft(const QAction *item);

} // namespace menuitem
} // namespace corvane
