#include "StoreFiles.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace StoreFiles {

std::unique_ptr<QSettings> openIni(const QString &path)
{
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

namespace {

bool isScalar(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QString:
        return true;
    default:
        return false;
    }
}

} // namespace

QVariant storedForm(const QVariant &value)
{
    if (isScalar(value))
        return value.toString();
    if (value.typeId() == QMetaType::QStringList) {
        const QStringList list = value.toStringList();
        // A one-entry list is written as a plain text and reads back as one.
        return list.size() == 1 ? QVariant(list.first()) : value;
    }
    if (value.typeId() == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        QStringList texts;
        for (const QVariant &item : list) {
            if (!isScalar(item))
                return value; // nested or binary data: keep the facility's own encoding
            texts.append(item.toString());
        }
        // A one-entry variant list is written in the facility's binary form and reads back as a
        // list; keep it a list, of text.
        if (texts.size() == 1)
            return QVariantList{texts.first()};
        return texts;
    }
    return value;
}

QVariantList toList(const QVariant &value)
{
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
        return value.toList();
    return {};
}

bool replaceFile(const QString &source, const QString &destination)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;

    const QFileInfo before(destination);
    const QDateTime oldStamp = before.exists() ? before.lastModified() : QDateTime();

    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = in.read(buffer, sizeof buffer);
        if (n < 0 || (n > 0 && out.write(buffer, n) != n)) {
            out.cancelWriting(); // the unfinished copy is discarded with `out`
            return false;
        }
        if (n == 0)
            break;
    }
    if (!out.commit())
        return false;

    if (oldStamp.isValid() && QFileInfo(destination).lastModified() <= oldStamp) {
        QFile stamped(destination);
        if (stamped.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            stamped.setFileTime(oldStamp.addSecs(1), QFileDevice::FileModificationTime);
    }
    return true;
}

bool isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QString childKey(const QString &group, const QString &part)
{
    bool onlySlashes = true;
    for (const QChar c : part) {
        if (c != QLatin1Char('/')) {
            onlySlashes = false;
            break;
        }
    }
    if (onlySlashes)
        return QString();
    return group + QLatin1Char('/') + part;
}

QString desktopDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

} // namespace StoreFiles
