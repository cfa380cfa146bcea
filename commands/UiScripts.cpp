#include "UiScripts.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// File name and the name it is imported under, in an order in which every import comes first.
const std::pair<const char *, const char *> kLibraries[] = {
    {"keyCodes.js", "KeyCodes"},     {"sliderMath.js", "SliderMath"}, {"perfMath.js", "PerfMath"},
    {"keyAssign.js", "KeyAssign"},   {"lightRules.js", "LightRules"}, {"macroCodec.js", "MacroCodec"},
    {"colorMath.js", "ColorMath"},   {"gunMath.js", "GunMath"},       {"profileList.js", "ProfileList"},
    {"windowMath.js", "WindowMath"},
};

const QString kFolder = QStringLiteral(":/modules/qml/common/");

} // namespace

UiScripts::UiScripts()
{
    for (const auto &[file, name] : kLibraries) {
        const QJSValue lib = load(QLatin1String(file), QLatin1String(name));
        if (lib.isError() || !lib.isObject()) {
            m_error = QStringLiteral("the script library %1 did not load: %2")
                          .arg(QLatin1String(file), lib.toString());
            return;
        }
        m_libraries.insert(QLatin1String(name), lib);
    }
}

QJSValue UiScripts::load(const QString &file, const QString &name)
{
    Q_UNUSED(name);
    QFile in(kFolder + file);
    if (!in.open(QIODevice::ReadOnly))
        return m_engine.newErrorObject(QJSValue::GenericError, QStringLiteral("not compiled in"));
    const QStringList lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'));

    // The body runs inside a function that receives the imported libraries and returns the
    // file's top-level names; lines keep their numbers, so the engine's messages point into the file.
    static const QRegularExpression importLine(QStringLiteral(R"re(^\.import\s+"([^"]+)"\s+as\s+(\w+))re"));
    static const QRegularExpression declaration(QStringLiteral(R"re(^(?:var|let|const|function)\s+([A-Za-z_$][\w$]*))re"));
    QStringList body;
    QStringList exported;
    QJSValueList imports;
    QStringList importNames;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String(".pragma"))) {
            body << QString();
            continue;
        }
        const QRegularExpressionMatch import = importLine.match(line);
        if (import.hasMatch()) {
            QString imported;
            for (const auto &[f, n] : kLibraries) {
                if (import.captured(1) == QLatin1String(f))
                    imported = QLatin1String(n);
            }
            if (!m_libraries.contains(imported))
                return m_engine.newErrorObject(QJSValue::GenericError,
                                               QStringLiteral("imports %1 before it is loaded").arg(import.captured(1)));
            importNames << import.captured(2);
            imports << m_libraries.value(imported);
            body << QString();
            continue;
        }
        const QRegularExpressionMatch d = declaration.match(line);
        if (d.hasMatch() && !exported.contains(d.captured(1)))
            exported << d.captured(1);
        body << line;
    }
    QStringList members;
    for (const QString &n : exported)
        members << n + QLatin1String(": ") + n;
    const QString source = QStringLiteral("(function (%1) {").arg(importNames.join(QLatin1String(", ")))
                           + body.join(QLatin1Char('\n'))
                           + QStringLiteral("\nreturn { %1 };\n})").arg(members.join(QLatin1String(", ")));
    const QJSValue factory = m_engine.evaluate(source, kFolder + file);
    if (factory.isError())
        return factory;
    return factory.call(imports);
}

QVariant UiScripts::callWith(const QString &lib, const QString &function, const QVariantList &args)
{
    const QJSValue library = m_libraries.value(lib);
    QJSValue f = library.property(function);
    if (!f.isCallable())
        return {};
    QJSValueList jsArgs;
    for (const QVariant &a : args)
        jsArgs << (a.metaType() == QMetaType::fromType<QJSValue>() ? a.value<QJSValue>() : m_engine.toScriptValue(a));
    const QJSValue result = f.callWithInstance(library, jsArgs);
    if (result.isError()) {
        qWarning("script %s.%s: %s", qPrintable(lib), qPrintable(function), qPrintable(result.toString()));
        return {};
    }
    return result.toVariant(QJSValue::ConvertJSObjects);
}

QVariant UiScripts::value(const QString &lib, const QString &member) const
{
    return m_libraries.value(lib).property(member).toVariant(QJSValue::ConvertJSObjects);
}

QList<int> UiScripts::keyCodes()
{
    QList<int> out;
    for (const QVariant &v : call(QStringLiteral("KeyCodes"), QStringLiteral("codes")).toList())
        out << v.toInt();
    return out;
}

QStringList UiScripts::keyLabels()
{
    return call(QStringLiteral("KeyCodes"), QStringLiteral("defaultLabels")).toStringList();
}
