#include "desktop/windowactivation.h"

#include <QGuiApplication>
#include <QWidget>

namespace corvane {

// Qt's Wayland plugin spends XDG_ACTIVATION_TOKEN on the next activation of a
// window (xdg-activation). Without a token (a service that sends none, or an
// action not invoked by a click) the compositor refuses the activation but
// gives a window shown anew the focus, where the user is: so it is shown
// anew. Under X11 the token is a startup id, which Qt reads at start only;
// X11 window managers take the activation without it.
void prepareToComeForward(QWidget &window, const QString &activationToken)
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return;
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    else if (window.isVisible() && !window.isActiveWindow())
        window.hide();
}

} // namespace corvane
