#pragma once

#include <QList>
#include <QPixmap>
#include <QSize>

namespace corvane {

// Menu pictures addressed by image index, all of one size.
class ImageList
{
public:
    explicit ImageList(QSize imageSize = QSize(16, 16)) : m_size(imageSize) {}

    QSize imageSize() const { return m_size; }
    int count() const { return int(m_images.size()); }

    // Puts an image at an index, growing the list with empty images as needed.
    void setImage(int index, const QPixmap &image);

    // The image at an index; an empty pixmap where the list has none.
    QPixmap image(int index) const;

private:
    QSize m_size;
    QList<QPixmap> m_images;
};

} // namespace corvane
