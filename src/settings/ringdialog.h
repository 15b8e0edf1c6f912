#pragma once

#include <QDialog>

class QPushButton;
class QRadioButton;

namespace corvane {

class RingPlayer;
class RingStore;

// Form8: the choice of one of three ring sounds, with a preview. Modeless, so
// it can stay open beside the main window. Reads and saves the choice in
// table ring; the preview plays through the program's ring player.
class RingDialog : public QDialog
{
    Q_OBJECT
public:
    RingDialog(RingStore &rings, RingPlayer &ringPlayer, QWidget *parent = nullptr);

    // "来电铃声设置": shows the window modeless and brings it forward.
    void showFromMenu();

    // The ring number the buttons stand for: "1", "2", "3", or "" when none is
    // checked.
    QString ringNumber() const;

    QRadioButton *rb1;
    QRadioButton *rb2;
    QRadioButton *rb3;
    QPushButton *Button3;
    QPushButton *Button1;
    QPushButton *Button2;

    void FormShow();
    void Button3Click();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void checkRing(const QString &code);

    RingStore &m_rings;
    RingPlayer &m_ringPlayer;
};

} // namespace corvane
