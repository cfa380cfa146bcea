#pragma once

#include <QString>
#include <QStringList>

// The UI texts, one UTF-8 INI file per language (<modules>/i18n/<langCode>.ini), one section per
// page: <section>/total and the texts <section>/0 … <section>/<total-1>.
class LanguageStore
{
public:
    static constexpr int DpiNoticeCount = 8;

    explicit LanguageStore(const QString &modulesDir);

    // The texts of one section; empty when the file or the section is missing. Reading section
    // "other" also replaces the DPI notice texts with its first eight texts.
    QStringList getLangStrings(const QString &typeStr, const QString &langCode) const;

private:
    QString m_modulesDir;
};

// Process-wide DPI notice texts, safe to read from any thread while the GUI thread replaces them.
// Entries 0..6 belong to DPI stages 1..7, entry 7 to any other stage; each is "DPI Switch to"
// until replaced.
QString dpiNoticeText(int stage);
// Takes the first eight texts; an entry without a (non-empty) text gets the default back.
void setDpiNoticeTexts(const QStringList &texts);
