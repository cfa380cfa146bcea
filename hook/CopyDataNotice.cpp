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

    // Keep a leading byte order mark as text, so that a valid text always re-encodes to its bytes;
    // a decoder that replaced bad bytes could otherwise make the lengths agree by chance.
    // Stateless: a sequence cut off at the end is an error too, not a wait for more bytes.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless
                                                       | QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder(QByteArrayView(bytes, length));
    if (decoder.hasError())
        return std::nullopt;
    if (text.toUtf8().size() != qsizetype(record.cbData))
        return std::nullopt;
    return text;
}
