#include "desktop/filechooser.h"

#include <QDir>
#include <QFileDialog>

namespace corvane {

QString DialogFileChooser::fileToOpen(QWidget *parent, const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, QDir::homePath(), filter);
}

QString DialogFileChooser::fileToSave(QWidget *parent, const QString &caption, const QString &suggested,
                                      const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, QDir::home().filePath(suggested), filter);
}

} // namespace corvane
