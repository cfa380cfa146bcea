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

// Every dialog answered with one path: the tool's export and import, and the demo driven from
// outside, run without a person.
class FixedFileChooser final : public FileChooser
{
public:
    explicit FixedFileChooser(const QString &path) : m_path(path) {}
    QString getSaveFileName(const QString &, const QString &, const QString &) override { return m_path; }
    QString getOpenFileName(const QString &, const QString &, const QString &) override { return m_path; }

private:
    QString m_path;
};
