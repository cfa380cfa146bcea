#pragma once

#include "FileChooser.h"

#include <QPointer>
#include <QWidget>

// The file dialogs of the program, parented to the view. Caption and filter are translated in the
// view's context.
class DialogFileChooser : public FileChooser
{
public:
    explicit DialogFileChooser(QWidget *parent) : m_parent(parent) {}

    QString getSaveFileName(const QString &caption, const QString &dir,
                            const QString &filter) override;
    QString getOpenFileName(const QString &caption, const QString &dir,
                            const QString &filter) override;

private:
    QPointer<QWidget> m_parent;
};
