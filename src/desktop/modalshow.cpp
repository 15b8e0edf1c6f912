#include "desktop/modalshow.h"

#include <QDialog>

namespace corvane {

int execModal(QDialog &dialog)
{
    // The same window may later be shown modeless (the entry form is), so the
    // modality holds only for this showing.
    dialog.setWindowModality(Qt::WindowModal);
    const int result = dialog.exec();
    dialog.setWindowModality(Qt::NonModal);
    return result;
}

} // namespace corvane
