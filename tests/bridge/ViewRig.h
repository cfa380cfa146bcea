#pragma once

// A view wired to a virtual mouse, shared by the view's C++ and QML tests.
#include "Hid_Thread.h"
#include "ProtocolClock.h"
#include "ShippedData.h"
#include "VirtualMouse.h"
#include "myQQuickView.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

struct Model
{
    bool is560 = false, isGun = false, isColorful = false, is55328 = false;
    QVariantMap config;     // further apConfig.bin entries, "group/key" → value
};

// Places a fresh copy of the shipped data files (the documents and images are compiled in) under
// `modulesDir`, writes the model's flags and further entries into its apConfig.bin, and returns
// the virtual mouse that plays that model.
inline VirtualMouseConfig placeModelData(const QString &modulesDir, const Model &model)
{
    ShippedData::copyTo(modulesDir);
    VirtualMouseConfig mc;
    mc.family = model.is560 ? QStringLiteral("560") : QStringLiteral("553");
    mc.isGun = model.isGun;
    mc.isColorful = model.isColorful;
    QVariantMap entries{{"mouse/icType", mc.family}, {"mouse/isGun", model.isGun},
                        {"mouse/isColorful", model.isColorful}, {"mouse/is55328", model.is55328}};
    entries.insert(model.config);
    QSettings config(QDir(modulesDir).filePath(QStringLiteral("setting/apConfig.bin")), QSettings::IniFormat);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        config.setValue(it.key(), it.value());
    return mc;
}

// The outgoing command reports of a trace (of a mouse in the clear) as "code p1", in order.
inline QStringList commandsOf(const QStringList &trace)
{
    QStringList out;
    for (const QString &line : trace) {
        const QStringList f = line.split(QLatin1Char(' '));
        if (f.size() > 5 && f[1] == QLatin1String("->") && f[2] == QLatin1String("feature"))
            out << f[4] + QLatin1Char(' ') + f[5];
    }
    return out;
}

// A view on a temporary copy of the shipped settings with the model's flags, wired to a virtual
// mouse the way device discovery leaves it: probed, and on a 560 with the profile blocks read.
struct Rig
{
    explicit Rig(const Model &model)
    {
        const VirtualMouseConfig mc = placeModelData(dir.path(), model);
        mouse = std::make_unique<VirtualMouse>(mc, &clock);
        hid.setBackend(mouse.get());
        hid.setClock(&clock);
        hid.setModelFlags(mc.family, model.isGun);
        hid.setDeviceTable({mouse->deviceEntry()});
        hid.chkDeviceIsEnCode(0);
        view = std::make_unique<myQQuickView>(nullptr, dir.path());
        view->hid = &hid;
        for (uint n = 0; model.is560 && n < 5; ++n)
            view->mouseReadProfile(n);
        mouse->clearTrace();
    }

    QStringList commands() const { return commandsOf(mouse->trace()); }

    QTemporaryDir dir;
    VirtualClock clock;
    std::unique_ptr<VirtualMouse> mouse;
    Hid_Thread hid;
    std::unique_ptr<myQQuickView> view;
};
