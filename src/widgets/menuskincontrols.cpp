#include "widgets/menuskin.h"

#include "widgets/controlframes.h"
#include "widgets/skinhook.h"

#include <QWidget>

namespace corvane {

void MenuSkin::hookControls(bool refresh)
{
    if (!m_owner)
        return;
    const QList<QWidget *> widgets = m_owner->findChildren<QWidget *>();
    for (QWidget *control : widgets) {
        if (!qualifiesForFrame(control, m_owner, m_controls, m_containers))
            continue;
        if (!m_hooks.contains(control))
            m_hooks.insert(control, new SkinHook(*this, control));
        if (refresh)
            control->update();
    }
}

// The hooks end themselves at their controls' next event; repainting makes
// sure there is one.
void MenuSkin::releaseControlHooks(bool refresh)
{
    if (!refresh)
        return;
    for (SkinHook *hook : std::as_const(m_hooks)) {
        if (QWidget *control = hook->control())
            control->update();
    }
}

} // namespace corvane
