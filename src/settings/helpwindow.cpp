#include "settings/helpwindow.h"

#include "platform/modalshow.h"
#include "settings/helptext.h"
#include "widgets/modalresult.h"
#include "widgets/windowgeometry.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace corvane {

namespace {
constexpr int OuterWidth = 614;
constexpr int OuterHeight = 470;
constexpr int MemoFontPixels = 14;
} // namespace

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent), Memo1(new QPlainTextEdit(this))
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
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setPlainText(helpText());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
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
