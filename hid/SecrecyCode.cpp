#include "SecrecyCode.h"

#include <array>

namespace SecrecyCode {

namespace {
std::array<quint8, 8> g_code{};
}

const quint8 *bytes()
{
    return g_code.data();
}

bool setFromSCode(const QString &sCode)
{
    if (sCode.size() != 6)
        return false;
    for (int i = 0; i < 6; ++i)
        g_code[i + 1] = static_cast<quint8>(sCode.at(i).toLatin1());
    return true;
}

} // namespace SecrecyCode
