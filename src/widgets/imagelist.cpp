#include "widgets/imagelist.h"

#include <QAction>

namespace corvane {

ImageList::ImageList(QObject *parent, QSize imageSize) : QObject(parent), m_size(imageSize) {}

int ImageList::add(const QPixmap &image)
{
    const bool fits = image.isNull() || image.size() == m_size;
    m_images.append(fits ? image : image.scaled(m_size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return count() - 1;
}

QPixmap ImageList::image(int index) const
{
    return index >= 0 && index < count() ? m_images.at(index) : QPixmap();
}

void ImageList::assign(const QAction *item, int index)
{
    if (index < 0) {
        m_itemImages.remove(item);
        return;
    }
    // A deleted item's address may come back as another item's.
    if (!m_itemImages.contains(item))
        connect(item, &QObject::destroyed, this, [this, item] { m_itemImages.remove(item); });
    m_itemImages.insert(item, index);
}

int ImageList::indexOf(const QAction *item) const
{
    return m_itemImages.value(item, -1);
}

} // namespace corvane
