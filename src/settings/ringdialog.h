#pragma once

#include <QDialog>

class QRadioButton;

namespace corvane {

class RingPlayer;
class RingStore;

// The choice of one of three ring sounds, with a preview. Modeless, so it can
// stay open beside the main window. Reads and saves the choice through the
// ring store; the preview plays through the program's ring player.
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

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showStoredRing();
    void onPreviewClicked();
    void onSaveClicked();
    void checkRing(const QString &code);

    RingStore &m_rings;
    QRadioButton *m_ring1Button;
    QRadioButton *m_ring2Button;
    QRadioButton *m_ring3Button;
    RingPlayer &m_ringPlayer;
};

} // namespace corvane
