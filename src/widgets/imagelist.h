#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>

namespace corvane {

// Menu pictures of one size addressed by image index, shared by the menus
// that name it as their image list.
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

    // The image list a menu (QMenu or QMenuBar) draws its items' images from.
    static void setMenuImages(QWidget *menu, ImageList *images);
    static ImageList *menuImages(const QWidget *menu);

private:
    QSize m_size;
    QList<QPixmap> m_images;
};

} // namespace corvane
