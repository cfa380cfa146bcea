#pragma once

// The tool's commands on their own (no running program) against a virtual mouse, on a fresh copy of
// the shipped settings with the model's flags; the model of the view's tests (ViewRig.h), so that
// both can be held side by side.
#include "CtlCommands.h"
#include "LocalContext.h"
#include "ProtocolClock.h"
#include "ViewRig.h"
#include "VirtualMouse.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

struct CtlRig
{
    explicit CtlRig(const Model &model)
    {
        // The view's rig talks to a mouse in the clear; this one plays the same.
        Model clear = model;
        if (!clear.config.contains(QStringLiteral("1/isEncode")))
            clear.config.insert(QStringLiteral("1/isEncode"), false);
        const VirtualMouseConfig mc = placeModelData(modules, clear);
        mouse = std::make_unique<VirtualMouse>(mc, &clock);
        fresh();
    }

    // A new tool run: nothing is remembered but the files and the mouse.
    void fresh()
    {
        context = std::make_unique<LocalContext>(modules, mouse.get(), &clock);
        context->setPointerApplier([this](const PointerValues &v) { pointer << v; });
    }

    // Connects as the tool does and forgets the reports of that, so a test sees the command's only.
    void connect()
    {
        QString why;
        context->mouse(&why);
        mouse->clearTrace();
    }

    CtlOutput run(const QStringList &args) { return Ctl::run(args, *context); }
    // A command line written as one text, split at spaces outside double quotes.
    static QStringList words(const QString &line) { return QProcess::splitCommand(line); }

    QString file(const QString &relative) const { return QDir(modules).filePath(relative); }
    QVariant stored(const QString &relative, const QString &key) const
    {
        return QSettings(file(relative), QSettings::IniFormat).value(key);
    }
    QString storedText(const QString &relative, const QString &key) const
    {
        const QVariant v = stored(relative, key);
        return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QLatin1Char(',')) : v.toString();
    }
    void store(const QString &relative, const QString &key, const QVariant &value) const
    {
        QSettings(file(relative), QSettings::IniFormat).setValue(key, value);
    }

    // Every file under modules/ by its bytes, to tell that nothing changed.
    QMap<QString, QByteArray> files() const
    {
        QMap<QString, QByteArray> out;
        QDirIterator it(modules, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            out.insert(f.fileName(), QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1));
        }
        return out;
    }

    QTemporaryDir dir;
    QString modules = dir.filePath(QStringLiteral("modules"));
    VirtualClock clock;
    std::unique_ptr<VirtualMouse> mouse;
    std::unique_ptr<LocalContext> context;
    QList<PointerValues> pointer;
};

// The reports of a trace without their time stamps.
inline QStringList reports(const QStringList &trace)
{
    QStringList out;
    for (const QString &line : trace)
        out << line.section(QLatin1Char(' '), 1);
    return out;
}
