#include "LanguageStore.h"

#include "StoreFiles.h"

#include <QReadWriteLock>
#include <QSettings>

#include <array>

namespace {

// Far above any page's text count; a larger total can only come from a damaged file.
constexpr int MaxTexts = 65536;

QString defaultNotice()
{
    return QStringLiteral("DPI Switch to");
}

struct DpiNotices
{
    QReadWriteLock lock;
    std::array<QString, LanguageStore::DpiNoticeCount> texts;
    DpiNotices() { texts.fill(defaultNotice()); }
};

DpiNotices &notices()
{
    static DpiNotices instance;
    return instance;
}

} // namespace

LanguageStore::LanguageStore(const QString &modulesDir) : m_modulesDir(modulesDir) {}

QStringList LanguageStore::getLangStrings(const QString &typeStr, const QString &langCode) const
{
    // The code comes from the configuration; it names a file in i18n/ and nothing else.
    if (!StoreFiles::isPlainFileName(langCode))
        return {};
    const auto settings =
        StoreFiles::openIni(m_modulesDir + QLatin1String("/i18n/") + langCode + QLatin1String(".ini"));
    StoreFiles::GroupGuard group(*settings, typeStr);
    int total = settings->value(QStringLiteral("total"), 0).toInt();
    if (total < 0 || total > MaxTexts)
        total = 0;
    QStringList texts;
    texts.reserve(total);
    for (int i = 0; i < total; ++i)
        texts.append(settings->value(QString::number(i), QString()).toString());
    if (typeStr == QLatin1String("other"))
        setDpiNoticeTexts(texts);
    return texts;
}

QString dpiNoticeText(int stage)
{
    const int index = stage >= 1 && stage <= 7 ? stage - 1 : 7;
    DpiNotices &n = notices();
    QReadLocker locker(&n.lock);
    return n.texts[index];
}

void setDpiNoticeTexts(const QStringList &texts)
{
    DpiNotices &n = notices();
    QWriteLocker locker(&n.lock);
    for (int i = 0; i < LanguageStore::DpiNoticeCount; ++i) {
        const QString text = i < texts.size() ? texts.at(i) : QString();
        n.texts[i] = text.isEmpty() ? defaultNotice() : text;
    }
}
