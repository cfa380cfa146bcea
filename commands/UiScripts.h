#pragma once

#include <QJSEngine>
#include <QJSValue>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

// The window's script libraries (modules/qml/common/*.js, compiled into the program), run in a
// script engine of the tool's own. The key labels, the button-function tables, the report rates,
// the lighting rules and the macro encoding thus exist once, in the files the window uses.
//
// A library is a ".pragma library" file whose ".import" lines name other libraries; each is
// evaluated once, in a function scope, and its top-level names become the members of its object.
class UiScripts
{
public:
    UiScripts();

    // True when every library loaded; otherwise error() says which did not.
    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    QJSEngine &engine() { return m_engine; }
    // The library object ("KeyCodes", "KeyAssign", "PerfMath", "LightRules", "MacroCodec",
    // "ColorMath", "GunMath", "ProfileList"); undefined when it is not loaded.
    QJSValue library(const QString &name) const { return m_libraries.value(name); }
    // library.member(args…); the result as a variant (arrays become lists, objects maps). Each
    // argument is one value, lists included.
    template <typename... Args>
    QVariant call(const QString &lib, const QString &function, const Args &...args)
    {
        return callWith(lib, function, QVariantList{QVariant::fromValue(args)...});
    }
    QVariant callWith(const QString &lib, const QString &function, const QVariantList &args);
    QVariant value(const QString &lib, const QString &member) const;
    QJSValue toScript(const QVariant &value) { return m_engine.toScriptValue(value); }

    // The key table: codes and the English labels, in the table's order.
    QList<int> keyCodes();
    QStringList keyLabels();

private:
    QJSValue load(const QString &file, const QString &name);

    QJSEngine m_engine;
    QMap<QString, QJSValue> m_libraries;
    QString m_error;
};
