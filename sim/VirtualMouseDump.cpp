#include "VirtualMouseDump.h"

#include <QJsonArray>

namespace {

QJsonArray bytes(const QByteArray &data)
{
    QJsonArray out;
    for (char c : data)
        out.append(int(uchar(c)));
    return out;
}

QJsonArray blocks(const QList<QByteArray> &list)
{
    QJsonArray out;
    for (const QByteArray &block : list)
        out.append(bytes(block));
    return out;
}

} // namespace

QJsonObject memoryToJson(const VirtualMouseMemory &m)
{
    QJsonObject macros;
    for (auto it = m.macros.cbegin(); it != m.macros.cend(); ++it)
        macros.insert(QString::number(it.key()), bytes(it.value()));
    return {
        {QStringLiteral("keyboardOption"), bytes(m.keyboardOption)},
        {QStringLiteral("currentDpiStage"), int(m.currentDpiStage)},
        {QStringLiteral("reportRate"), int(m.reportRate)},
        {QStringLiteral("dpiStageCount"), int(m.dpiStageCount)},
        {QStringLiteral("dpiStageCodes"), bytes(m.dpiStageCodes)},
        {QStringLiteral("ledColorType"), int(m.ledColorType)},
        {QStringLiteral("ledColors"), bytes(m.ledColors)},
        {QStringLiteral("fixLedColor"), bytes(m.fixLedColor)},
        {QStringLiteral("ledEffect"), bytes(m.ledEffect)},
        {QStringLiteral("keyMatrices"), blocks(m.keyMatrices)},
        {QStringLiteral("macros"), macros},
        {QStringLiteral("currentKeyMatrix"), int(m.currentKeyMatrix)},
        {QStringLiteral("currentProfile"), int(m.currentProfile)},
        {QStringLiteral("profileBlocks"), blocks(m.profileBlocks)},
        {QStringLiteral("gunSlots"), blocks(m.gunSlots)},
    };
}
