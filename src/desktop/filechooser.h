#pragma once

#include <QString>

class QWidget;

namespace corvane {

// Asks the user which file to read or write. The program asks through the
// file dialogs; tests answer in their place.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // Empty when the user gives up.
    virtual QString fileToOpen(QWidget *parent, const QString &caption, const QString &filter) = 0;
    virtual QString fileToSave(QWidget *parent, const QString &caption, const QString &suggested,
                               const QString &filter) = 0;
};

class DialogFileChooser : public FileChooser
{
public:
    QString fileToOpen(QWidget *parent, const QString &caption, const QString &filter) override;
    QString fileToSave(QWidget *parent, const QString &caption, const QString &suggested,
                       const QString &filter) override;
};

} // namespace corvane
