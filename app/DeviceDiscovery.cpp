#include "DeviceDiscovery.h"

#include "HidBackend.h"
#include "Hid_Thread.h"

#include <QSettings>
#include <QtGlobal>

namespace DeviceDiscovery {

namespace {

QString textValue(const QSettings &settings, const QString &key)
{
    // A value with a comma reads back as a list; it is not a number either way.
    const QVariant v = settings.value(key);
    return v.metaType().id() == QMetaType::QStringList ? QString() : v.toString();
}

} // namespace

quint16 parseHex16(const QString &text)
{
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 16);
    return ok ? static_cast<quint16>(v & 0xFFFF) : 0;
}

int parseHexInt(const QString &text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 16);
    return ok ? static_cast<int>(static_cast<quint32>(v)) : 0;
}

DeviceTable readDeviceTable(const QString &apConfigPath)
{
    const QSettings settings(apConfigPath, QSettings::IniFormat);
    const int count = qBound(0, settings.value(QStringLiteral("common/deviceCount"), 0).toInt(),
                             maxDeviceCount);
    DeviceTable table;
    table.reserve(count);
    for (int group = 0; group < count; ++group) {
        const QString g = QString::number(group) + QLatin1Char('/');
        DeviceEntry e;
        const QString typeKey = g + QLatin1String("type");
        e.type = settings.contains(typeKey) ? parseHexInt(textValue(settings, typeKey)) : -1;
        e.vid = parseHex16(textValue(settings, g + QLatin1String("vid")));
        e.pid = parseHex16(textValue(settings, g + QLatin1String("pid")));
        e.usagePage = parseHex16(textValue(settings, g + QLatin1String("usagePage")));
        e.usage = parseHex16(textValue(settings, g + QLatin1String("usage")));
        e.usagePage2 = parseHex16(textValue(settings, g + QLatin1String("usagePage2")));
        e.usage2 = parseHex16(textValue(settings, g + QLatin1String("usage2")));
        e.reportLength = settings.value(g + QLatin1String("reportLength"), 32).toInt();
        e.isEncode = settings.value(g + QLatin1String("isEncode"), false).toBool();
        e.sCode = settings.value(g + QLatin1String("sCode"), QStringLiteral("583014")).toString();
        table.append(e);
    }
    return table;
}

void locateInterfaces(HidBackend &backend, DeviceTable &table)
{
    for (DeviceEntry &e : table) {
        e.commandPath.clear();
        e.eventPath.clear();
        const auto interfaces = backend.enumerate(e.vid, e.pid);
        if (!interfaces)
            continue;
        for (const HidInterfaceInfo &i : *interfaces) {
            if (i.usagePage == e.usagePage && i.usage == e.usage)
                e.commandPath = i.path;
            if (i.usagePage == e.usagePage2 && i.usage == e.usage2)
                e.eventPath = i.path;
        }
    }
}

CheckOutcome noMouseOutcome(const QList<FailedProbe> &probes)
{
    CheckOutcome outcome;
    for (const FailedProbe &probe : probes) {
        if (probe.failure == HidOpenFailure::PermissionDenied)
            return {false, NoMouseReason::PermissionDenied, probe.path};
        if (probe.failure != HidOpenFailure::Gone && outcome.reason == NoMouseReason::NoDevice)
            outcome = {false, NoMouseReason::NoAnswer, probe.path};
    }
    return outcome;
}

int probeEntries(Hid_Thread &hid, const DeviceTable &table, QList<FailedProbe> *failed)
{
    for (int index = 0; index < table.size(); ++index) {
        const QString path = table.at(index).commandPath;
        if (path.isEmpty())
            continue;
        if (hid.chkDeviceIsEnCode(index))
            return index;
        HidBackend *backend = hid.backend();
        if (failed)
            failed->append({path, backend ? backend->openFailure(path) : HidOpenFailure::Other});
    }
    return -1;
}

QString describe(const CheckOutcome &outcome)
{
    if (outcome.connected)
        return QStringLiteral("Mouse connected");
    switch (outcome.reason) {
    case NoMouseReason::PermissionDenied:
        return QStringLiteral("No mouse: permission denied on %1 (the udev rule is missing or not loaded, "
                              "or the mouse was plugged in before it was)")
            .arg(outcome.path);
    case NoMouseReason::NoAnswer:
        return QStringLiteral("No mouse: the device at %1 did not answer the challenge").arg(outcome.path);
    case NoMouseReason::NoDevice:
        break;
    }
    return QStringLiteral("No mouse: no device of the device table is attached");
}

} // namespace DeviceDiscovery
