#pragma once

#include <QImage>
#include <QString>

class QAction;
class QObject;
class QWidget;

namespace corvane {

class ImageList;

// A control, menu or item whose "Tag" property is this keeps its own look.
constexpr int SkinSkipTag = 999;
bool hasSkipTag(const QObject *object);

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
// The "ImageIndex" property; -1 (none) when absent.
int imageIndex(const QAction *item);
// The item stands on a menu bar.
bool isBarItem(const QAction *item);
// The image list of the item's root menu (menu bar or root pop-up menu).
ImageList *images(const QAction *item);
// Size of the item's picture: the list image when it has an image index,
// else its own icon, else empty.
QSize pictureSize(const QAction *item);
// A fresh copy of the item's picture on the given background; null when the
// item has none. An index with no image in the list gives a blank picture.
QImage picture(const QAction *item, const QColor &background);
// The item's menus lay it out right to left.
bool isRightToLeft(const QAction *item);

} // namespace menuitem
} // namespace corvane
