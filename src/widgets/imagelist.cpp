#include "widgets/imagelist.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace corvane {

namespace {
const char *const imagesProperty = "Images";
}

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

void ImageList::setMenuImages(QWidget *menu, ImageList *images)
{
    menu->setProperty(imagesProperty, QVariant::fromValue(QPointer<QObject>(images)));
}

ImageList *ImageList::menuImages(const QWidget *menu)
{
    return qobject_cast<ImageList *>(menu->property(imagesProperty).value<QPointer<QObject>>().data());
}

} // namespace corvane
