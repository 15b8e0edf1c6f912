#include "settings/helpwindow.h"

#include "desktop/modalshow.h"
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
constexpr int TextFontPixels = 14;
} // namespace

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent), m_text(new QTextEdit(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("使用说明"));
    setOuterSize(this, OuterWidth, OuterHeight);
    centreOnScreen(this);

    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(TextFontPixels);
    m_text->setObjectName(QStringLiteral("helpText"));
    m_text->setFont(font);
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setAcceptRichText(false);
    m_text->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setPlainText(helpText());
    m_text->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text->viewport() && event->type() == QEvent::Resize)
        fitLineWidth();
    return QDialog::eventFilter(watched, event);
}

void HelpWindow::fitLineWidth()
{
    const int width = helpWrapWidth(m_text->toPlainText(), m_text->font(),
                                    int(m_text->document()->documentMargin()), m_text->viewport()->width());
    if (width != m_text->lineWrapColumnOrWidth())
        m_text->setLineWrapColumnOrWidth(width);
}

int HelpWindow::showModalFromMenu()
{
    return execModal(*this);
}

void HelpWindow::reject()
{
    done(int(ModalResult::Cancel));
}

} // namespace corvane
