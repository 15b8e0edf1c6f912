#include "settings/helpwindow.h"

#include "platform/modalshow.h"
#include "settings/helptext.h"
#include "settings/helpwrap.h"
#include "widgets/modalresult.h"
#include "widgets/windowgeometry.h"

#include <QEvent>
#include <QTextEdit>
#include <QVBoxLayout>

namespace corvane {

namespace {
constexpr int OuterWidth = 614;
constexpr int OuterHeight = 470;
constexpr int MemoFontPixels = 14;
} // namespace

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent), Memo1(new QTextEdit(this))
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(tr("使用说明"));
    setOuterSize(this, OuterWidth, OuterHeight);
    centreOnScreen(this);

    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(MemoFontPixels);
    Memo1->setFont(font);
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo1->setAcceptRichText(false);
    Memo1->setLineWrapMode(QTextEdit::FixedPixelWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(helpText());
    Memo1->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Memo1->viewport() && event->type() == QEvent::Resize)
        fitLineWidth();
    return QDialog::eventFilter(watched, event);
}

void HelpWindow::fitLineWidth()
{
    const int width = helpWrapWidth(Memo1->toPlainText(), Memo1->font(),
                                    int(Memo1->document()->documentMargin()), Memo1->viewport()->width());
    if (width != Memo1->lineWrapColumnOrWidth())
        Memo1->setLineWrapColumnOrWidth(width);
}

int HelpWindow::showModalFromMenu()
{
    return execModal(*this);
}

void HelpWindow::reject()
{
    done(mrCancel);
}

} // namespace corvane
