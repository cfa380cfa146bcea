#include "CtlWire.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace CtlWire {

namespace {

const QString kRequestType = QStringLiteral("ctl-request");
const QString kReplyType = QStringLiteral("ctl-reply");

// The object of a message of `type` and this version, or the reason why not.
std::optional<QJsonObject> objectOf(const QByteArray &message, const QString &type, int limit, QString *why)
{
    if (message.size() > limit) {
        *why = QStringLiteral("too long (%1 bytes, at most %2)").arg(message.size()).arg(limit);
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(message, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        *why = QStringLiteral("not a JSON object (%1)").arg(error.error != QJsonParseError::NoError
                                                                ? error.errorString()
                                                                : QStringLiteral("another JSON value"));
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    if (o.value(QStringLiteral("type")).toString() != type) {
        *why = QStringLiteral("unknown message type '%1'").arg(o.value(QStringLiteral("type")).toString());
        return std::nullopt;
    }
    const QJsonValue v = o.value(QStringLiteral("version"));
    if (!v.isDouble() || v.toDouble() != version) {
        *why = QStringLiteral("unsupported version %1").arg(v.toVariant().toString());
        return std::nullopt;
    }
    return o;
}

} // namespace

QByteArray encodeRequest(const QStringList &args)
{
    const QJsonObject o{{"type", kRequestType}, {"version", version}, {"args", QJsonArray::fromStringList(args)}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<QStringList> decodeRequest(const QByteArray &message, QString *why)
{
    const std::optional<QJsonObject> o = objectOf(message, kRequestType, maxRequestBytes, why);
    if (!o)
        return std::nullopt;
    const QJsonValue args = o->value(QStringLiteral("args"));
    if (!args.isArray() || args.toArray().isEmpty() || args.toArray().size() > maxRequestWords) {
        *why = QStringLiteral("no command line of 1 to %1 words").arg(maxRequestWords);
        return std::nullopt;
    }
    QStringList out;
    for (const QJsonValue &a : args.toArray()) {
        if (!a.isString()) {
            *why = QStringLiteral("a word of the command line is not text");
            return std::nullopt;
        }
        out << a.toString();
    }
    return out;
}

QByteArray encodeReply(const CtlOutput &output)
{
    const QJsonObject o{{"type", kReplyType}, {"version", version}, {"exit", output.exitCode},
                        {"out", output.out}, {"err", output.err}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<CtlOutput> decodeReply(const QByteArray &message, QString *why)
{
    const std::optional<QJsonObject> o = objectOf(message, kReplyType, maxReplyBytes, why);
    if (!o)
        return std::nullopt;
    const QJsonValue exit = o->value(QStringLiteral("exit"));
    if (!exit.isDouble() || exit.toInt(-1) < 0 || exit.toInt(-1) > 255) {
        *why = QStringLiteral("no exit status");
        return std::nullopt;
    }
    CtlOutput out;
    out.exitCode = exit.toInt();
    out.out = o->value(QStringLiteral("out")).toString();
    out.err = o->value(QStringLiteral("err")).toString();
    return out;
}

} // namespace CtlWire
