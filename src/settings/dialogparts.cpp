#include "settings/dialogparts.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cmath>

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

void keepLabelWithin(QLabel *label, int right)
{
    const int room = right - label->x();
    const int overflow = label->width() - room;
    if (overflow <= 0)
        return;
    const int gaps = std::max(int(label->text().size()) - 1, 1);
    if (overflow <= gaps) {
        // In half pixels, rounded up, so the letters close up just enough.
        QFont font = label->font();
        font.setLetterSpacing(QFont::AbsoluteSpacing, -std::ceil(2.0 * overflow / gaps) / 2);
        label->setFont(font);
        label->adjustSize();
        if (label->width() <= room)
            return;
    }
    label->setWordWrap(true);
    label->resize(room, label->heightForWidth(room));
}

QPushButton *placedButton(QWidget *parent, const QString &caption, int left, int top, int width)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, ButtonHeight);
    button->setAutoDefault(false);
    return button;
}

} // namespace corvane
