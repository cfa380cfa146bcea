#include "DialogFileChooser.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace {

QString translated(const QString &text)
{
    return QCoreApplication::translate("myQQuickView", text.toUtf8().constData());
}

} // namespace

QString DialogFileChooser::getSaveFileName(const QString &caption, const QString &dir,
                                           const QString &filter)
{
    return QFileDialog::getSaveFileName(m_parent, translated(caption), dir, translated(filter));
}

QString DialogFileChooser::getOpenFileName(const QString &caption, const QString &dir,
                                           const QString &filter)
{
    return QFileDialog::getOpenFileName(m_parent, translated(caption), dir, translated(filter));
}
