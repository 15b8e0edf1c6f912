#include "settings/dialogparts.h"

#include <QLabel>
#include <QPushButton>

namespace corvane {

namespace {
constexpr int ButtonHeight = 25;
} // namespace

QLabel *placedLabel(QWidget *parent, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton *placedButton(QWidget *parent, const QString &caption, int left, int top, int width)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, ButtonHeight);
    button->setAutoDefault(false);
    return button;
}

} // namespace corvane
