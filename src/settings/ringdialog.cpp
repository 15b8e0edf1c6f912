#include "settings/ringdialog.h"

#include "core/ring.h"
#include "desktop/guard.h"
#include "desktop/messagebox.h"
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

QRadioButton *ringButton(QWidget *parent, const char *name, const QString &caption, int top)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(72, top, 113, 17);
    return button;
}

} // namespace

RingDialog::RingDialog(RingStore &rings, RingPlayer &ringPlayer, QWidget *parent)
    : QDialog(parent), m_rings(rings), m_ringPlayer(ringPlayer)
{
    setObjectName(QStringLiteral("ringDialog"));
    setWindowTitle(tr("来电铃声设置"));
    setFont(songTi12());
    setOuterSize(this, OuterWidth, OuterHeight);
    centreOnScreen(this);

    // Siblings without a group box: Qt makes radio buttons of one parent
    // exclusive among themselves.
    m_ring1Button = ringButton(this, "ring1Button", tr("铃声1"), 56);
    m_ring2Button = ringButton(this, "ring2Button", tr("铃声2"), 88);
    m_ring3Button = ringButton(this, "ring3Button", tr("铃声3"), 120);
    m_ring2Button->setChecked(true);
    QPushButton *preview = placedButton(this, tr("试听您选择的铃声"), 208, 88, 121);
    preview->setObjectName(QStringLiteral("previewButton"));
    QPushButton *save = placedButton(this, tr("确定"), 88, 176);
    save->setObjectName(QStringLiteral("saveButton"));
    QPushButton *exit = placedButton(this, tr("退出"), 224, 176);
    exit->setObjectName(QStringLiteral("exitButton"));

    setTabOrder(save, exit);
    setTabOrder(exit, m_ring1Button);
    setTabOrder(m_ring1Button, m_ring2Button);
    setTabOrder(m_ring2Button, m_ring3Button);
    setTabOrder(m_ring3Button, preview);

    connect(preview, &QPushButton::clicked, this, [this] { guarded([this] { onPreviewClicked(); }); });
    connect(save, &QPushButton::clicked, this, [this] { guarded([this] { onSaveClicked(); }); });
    connect(exit, &QPushButton::clicked, this, [this] { guarded([this] { close(); }); });
}

void RingDialog::showFromMenu()
{
    show();
    raise();
    activateWindow();
}

QString RingDialog::ringNumber() const
{
    if (m_ring1Button->isChecked())
        return QStringLiteral("1");
    if (m_ring2Button->isChecked())
        return QStringLiteral("2");
    if (m_ring3Button->isChecked())
        return QStringLiteral("3");
    return {};
}

void RingDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { showStoredRing(); });
}

void RingDialog::showStoredRing()
{
    // Unchecked first, so a failed lookup leaves no ring checked.
    checkRing({});
    checkRing(m_rings.currentRing());
}

void RingDialog::onPreviewClicked()
{
    m_ringPlayer.play(ringFileName(ringNumber()));
}

void RingDialog::onSaveClicked()
{
    const QString n = ringNumber();
    m_rings.chooseRing(n);
    msg::inform(tr("您选择的是铃声%1,已成功保存").arg(n));
}

// Checks the button of `code` and unchecks the others; a code other than
// "1" to "3" leaves all three unchecked.
void RingDialog::checkRing(const QString &code)
{
    const std::pair<QRadioButton *, const char *> buttons[] = {
        {m_ring1Button, "1"}, {m_ring2Button, "2"}, {m_ring3Button, "3"}};
    for (const auto &[button, buttonCode] : buttons) {
        // Exclusive radio buttons refuse to uncheck the checked one.
        button->setAutoExclusive(false);
        button->setChecked(code == QLatin1String(buttonCode));
        button->setAutoExclusive(true);
    }
}

} // namespace corvane
