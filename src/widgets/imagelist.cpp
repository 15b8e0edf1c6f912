#include "widgets/imagelist.h"

namespace corvane {

void ImageList::setImage(int index, const QPixmap &image)
{
    if (index < 0)
        return;
    if (index >= m_images.size())
        m_images.resize(index + 1);
    m_images[index] = image;
}

QPixmap ImageList::image(int index) const
{
    if (index < 0 || index >= m_images.size())
        return {};
    return m_images.at(index);
}

} // namespace corvane
