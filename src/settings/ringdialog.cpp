#include "settings/ringdialog.h"

#include "line/ring.h"
#include "platform/guard.h"
#include "platform/messagebox.h"
#include "platform/ringplayer.h"
#include "records/formfont.h"
#include "settings/dialogparts.h"
#include "store/ringstore.h"
#include "widgets/windowgeometry.h"

#include <QPushButton>
#include <QRadioButton>

namespace corvane {

namespace {

constexpr int OuterWidth = 375;
constexpr int OuterHeight = 268;

QRadioButton *ringButton(QWidget *parent, const QString &caption, int top)
{
    auto *button = new QRadioButton(caption, parent);
    button->setGeometry(72, top, 113, 17);
    return button;
}

} // namespace

RingDialog::RingDialog(RingStore &rings, RingPlayer &ringPlayer, QWidget *parent)
    : QDialog(parent), m_rings(rings), m_ringPlayer(ringPlayer)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(tr("来电铃声设置"));
    setFont(songTi12());
    setOuterSize(this, OuterWidth, OuterHeight);
    centreOnScreen(this);

    // Siblings without a group box: Qt makes radio buttons of one parent
    // exclusive among themselves.
    rb1 = ringButton(this, tr("铃声1"), 56);
    rb2 = ringButton(this, tr("铃声2"), 88);
    rb3 = ringButton(this, tr("铃声3"), 120);
    rb2->setChecked(true);
    Button3 = placedButton(this, tr("试听您选择的铃声"), 208, 88, 121);
    Button1 = placedButton(this, tr("确定"), 88, 176);
    Button2 = placedButton(this, tr("退出"), 224, 176);

    setTabOrder(Button1, Button2);
    setTabOrder(Button2, rb1);
    setTabOrder(rb1, rb2);
    setTabOrder(rb2, rb3);
    setTabOrder(rb3, Button3);

    connect(Button3, &QPushButton::clicked, this, [this] { guarded([this] { Button3Click(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { guarded([this] { Button2Click(); }); });
}

void RingDialog::showFromMenu()
{
    show();
    raise();
    activateWindow();
}

QString RingDialog::ringNumber() const
{
    if (rb1->isChecked())
        return QStringLiteral("1");
    if (rb2->isChecked())
        return QStringLiteral("2");
    if (rb3->isChecked())
        return QStringLiteral("3");
    return {};
}

void RingDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void RingDialog::FormShow()
{
    // Unchecked first, so a failed lookup leaves no ring checked.
    checkRing({});
    checkRing(m_rings.currentRing());
}

void RingDialog::Button3Click()
{
    m_ringPlayer.play(ringFileName(ringNumber()));
}

void RingDialog::Button1Click()
{
    const QString n = ringNumber();
    m_rings.chooseRing(n);
    msg::inform(tr("您选择的是铃声%1,已成功保存").arg(n));
}

void RingDialog::Button2Click()
{
    close();
}

// Checks the button of `code` and unchecks the others; a code other than
// "1" to "3" leaves all three unchecked.
void RingDialog::checkRing(const QString &code)
{
    const std::pair<QRadioButton *, const char *> buttons[] = {{rb1, "1"}, {rb2, "2"}, {rb3, "3"}};
    for (const auto &[button, buttonCode] : buttons) {
        // Exclusive radio buttons refuse to uncheck the checked one.
        button->setAutoExclusive(false);
        button->setChecked(code == QLatin1String(buttonCode));
        button->setAutoExclusive(true);
    }
}

} // namespace corvane
