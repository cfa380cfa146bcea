#include "CopyDataNotice.h"

#include <QStringDecoder>

#include <cstring>

std::optional<QString> copyDataNoticeText(const CopyDataRecord &record)
{
    if (record.dwData != CopyDataNoticeTag)
        return std::nullopt;
    if (record.cbData > 0 && !record.lpData)
        return std::nullopt;

    const char *bytes = static_cast<const char *>(record.lpData);
    const void *nul = record.cbData ? std::memchr(bytes, 0, record.cbData) : nullptr;
    const qsizetype length = nul ? static_cast<const char *>(nul) - bytes : qsizetype(record.cbData);

    // Invalid input is refused outright rather than left to what the length check makes of the
    // replacement characters. A leading byte order mark stays text, so that a valid text always
    // re-encodes to its own bytes; stateless, so that a sequence cut off at the end is an error.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless
                                                       | QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder(QByteArrayView(bytes, length));
    if (decoder.hasError())
        return std::nullopt;
    if (text.toUtf8().size() != qsizetype(record.cbData))
        return std::nullopt;
    return text;
}
