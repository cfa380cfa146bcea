#pragma once

#include <QString>

// Asks the user for a file name. The program answers with file dialogs (bridge/DialogFileChooser),
// tests with a scripted answer. An empty result means the user cancelled.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    virtual QString getSaveFileName(const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
    virtual QString getOpenFileName(const QString &caption, const QString &dir,
                                    const QString &filter) = 0;
};
