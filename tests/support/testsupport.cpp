#include "testsupport.h"

#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <algorithm>

namespace corvane::test {

QStringList MessageCapture::takeTexts()
{
    QStringList texts;
    for (const msg::Box &box : take())
        texts.append(box.text);
    return texts;
}

void saveScreenshot(QWidget *widget, const QString &name)
{
    QVERIFY(widget->grab().save(artifactPath(name)));
}

bool showsTextFromStart(QLineEdit *edit)
{
    constexpr int shownCharacters = 3;
    QLineEdit probe;
    probe.setFont(edit->font());
    probe.setPalette(edit->palette());
    probe.setFrame(edit->hasFrame());
    probe.setReadOnly(edit->isReadOnly());
    probe.setEnabled(edit->isEnabled());
    probe.resize(edit->size());
    probe.setText(edit->text().left(shownCharacters));
    const QImage seen = edit->grab().toImage();
    const QImage expected = probe.grab().toImage();
    // The inside, clear of the frame, as far as all but the last of those
    // characters reach (the text stands a few pixels in from the frame).
    const int right =
        std::min(edit->width() - 4, 4 + edit->fontMetrics().horizontalAdvance(probe.text().chopped(1)));
    bool inked = false;
    for (int y = 4; y < edit->height() - 4; ++y) {
        for (int x = 4; x < right; ++x) {
            if (seen.pixel(x, y) != expected.pixel(x, y))
                return false;
            inked = inked || expected.pixel(x, y) != expected.pixel(4, 4);
        }
    }
    // An edit showing nothing would match an empty probe.
    return inked;
}

} // namespace corvane::test
