#pragma once

#include <QString>

// The process-wide secrecy code of the report cipher: eight bytes, all zero at start. Bytes 1 to 6
// hold the ASCII codes of the sCode of the entry last probed; bytes 0 and 7 stay zero. Only the GUI
// thread reads or writes it (the probe and the command exchanges).
namespace SecrecyCode {

const quint8 *bytes();

// Takes a code of exactly six characters; any other length leaves the bytes as they were.
bool setFromSCode(const QString &sCode);

} // namespace SecrecyCode
