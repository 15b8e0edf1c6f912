#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>

class QAction;

namespace corvane {

// Menu pictures of one size addressed by index, and which of them each menu
// item shows; shared by the menus the skin is given it for.
class ImageList : public QObject
{
    Q_OBJECT
public:
    explicit ImageList(QObject *parent = nullptr, QSize imageSize = QSize(16, 16));

    QSize imageSize() const { return m_size; }
    int count() const { return int(m_images.size()); }
    // Appends an image, scaled to the list's size; returns its index.
    int add(const QPixmap &image);
    // The image at an index; an empty pixmap where the list has none.
    QPixmap image(int index) const;

    // The image a menu item shows; -1 for none.
    void assign(const QAction *item, int index);
    int indexOf(const QAction *item) const;

private:
    QSize m_size;
    QList<QPixmap> m_images;
    QHash<const QAction *, int> m_itemImages;
};

} // namespace corvane
