#pragma once

#include <QString>

#include <optional>

// A copy-data record as another process would hand it to the running instance: a tag, and cbData
// bytes of data at lpData.
struct CopyDataRecord
{
    quintptr dwData = 0;
    quint32 cbData = 0;
    const void *lpData = nullptr;
};

// Tag of a record that carries a notice text for the user.
constexpr quintptr CopyDataNoticeTag = 0x250F;

// The text to show for a record: its data read as UTF-8 up to the first NUL, never past cbData.
// Empty (show nothing) for another tag, invalid UTF-8, or when the text does not account for
// exactly cbData bytes.
std::optional<QString> copyDataNoticeText(const CopyDataRecord &record);
