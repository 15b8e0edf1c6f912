#include "widgets/lineedittext.h"

#include <QLineEdit>

namespace corvane {

void showFromStart(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
}

} // namespace corvane
