#include "VirtualMouseDump.h"

#include "VirtualMouse.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <atomic>
#include <optional>

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

struct VirtualMouseMemoryFile::State
{
    const VirtualMouse &mouse;
    QString path;
    QObject context; // lives in the owner's thread: the checks run there
    std::atomic_bool pending{false};
    std::optional<VirtualMouseMemory> written;

    State(const VirtualMouse &mouse, const QString &path) : mouse(mouse), path(path) {}
};

VirtualMouseMemoryFile::VirtualMouseMemoryFile(const VirtualMouse &mouse, const QString &path)
    : d(std::make_unique<State>(mouse, path))
{
    update();
}

VirtualMouseMemoryFile::~VirtualMouseMemoryFile() = default;

QString VirtualMouseMemoryFile::path() const { return d->path; }

void VirtualMouseMemoryFile::noteReport()
{
    if (d->pending.exchange(true))
        return;
    QMetaObject::invokeMethod(&d->context, [state = d.get(), this] {
        state->pending = false;
        update();
    }, Qt::QueuedConnection);
}

bool VirtualMouseMemoryFile::update()
{
    const VirtualMouseMemory now = d->mouse.memory();
    if (d->written && *d->written == now)
        return true;
    QSaveFile file(d->path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(memoryToJson(now)).toJson(QJsonDocument::Compact)) < 0
        || !file.commit())
        return false;
    d->written = now;
    return true;
}
