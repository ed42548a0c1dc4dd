#include "remote/PhoneMessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QSet>
#include <cmath>

namespace norak {

namespace {

// A whole number within [low, high], as JSON writes it (3, not 3.5 nor "3").
bool wholeIn(const QJsonValue& value, qint64 low, qint64 high, qint64& out) {
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (!std::isfinite(d) || std::floor(d) != d || d < double(low) || d > double(high))
        return false;
    out = qint64(d);
    return true;
}

QSet<QString> keysOf(const QJsonObject& object) {
    const QStringList keys = object.keys();
    return QSet<QString>(keys.cbegin(), keys.cend());
}

const QSet<QString> kCommandKeys{QStringLiteral("v"),     QStringLiteral("type"), QStringLiteral("id"),
                                 QStringLiteral("epoch"), QStringLiteral("leg"),  QStringLiteral("athlete")};
const QSet<QString> kUndoKeys{QStringLiteral("v"), QStringLiteral("type"), QStringLiteral("id"),
                              QStringLiteral("epoch")};

constexpr qint64 kMaxEpoch = 0x7fffffff;
constexpr qint64 kMaxLeg = 100000;  // far beyond the longest test's legs

}  // namespace

bool PhoneMessage::isValidId(const QString& id) {
    if (id.isEmpty() || id.size() > kMaxIdLength)
        return false;
    for (const QChar c : id) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
                        u == u'_' || u == u'-';
        if (!ok)
            return false;
    }
    return true;
}

std::variant<PhoneCommand, PhoneMessageError> PhoneMessage::parse(const QByteArray& bytes) {
    using Error = PhoneMessageError;
    if (bytes.size() > kMaxBytes)
        return Error{QStringLiteral("mensaje demasiado largo"), {}};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return Error{QStringLiteral("mensaje no válido"), {}};
    const QJsonObject object = document.object();

    // The id first, so that every later refusal still names the request.
    const QJsonValue idValue = object.value(QStringLiteral("id"));
    const QString id = idValue.isString() && isValidId(idValue.toString()) ? idValue.toString() : QString();
    qint64 version = 0;
    if (!wholeIn(object.value(QStringLiteral("v")), 0, kMaxEpoch, version) || version != kVersion)
        return Error{QStringLiteral("versión no admitida"), id};
    if (id.isEmpty())
        return Error{QStringLiteral("identificador no válido"), {}};

    const QString type = object.value(QStringLiteral("type")).toString();
    PhoneCommand command;
    command.id = id;
    if (type == QLatin1String("warning"))
        command.type = PhoneCommand::Type::Warning;
    else if (type == QLatin1String("dropout"))
        command.type = PhoneCommand::Type::Dropout;
    else if (type == QLatin1String("undo"))
        command.type = PhoneCommand::Type::Undo;
    else
        return Error{QStringLiteral("orden desconocida"), id};

    const bool undo = command.type == PhoneCommand::Type::Undo;
    if (keysOf(object) != (undo ? kUndoKeys : kCommandKeys))
        return Error{QStringLiteral("campos no válidos"), id};
    if (!wholeIn(object.value(QStringLiteral("epoch")), 0, kMaxEpoch, command.epoch))
        return Error{QStringLiteral("campos no válidos"), id};
    if (undo)
        return command;
    qint64 leg = 0;
    qint64 athlete = 0;
    if (!wholeIn(object.value(QStringLiteral("leg")), 0, kMaxLeg, leg) ||
        !wholeIn(object.value(QStringLiteral("athlete")), 1, 14, athlete))
        return Error{QStringLiteral("campos no válidos"), id};
    command.leg = int(leg);
    command.athlete = int(athlete);
    return command;
}

QByteArray PhoneMessage::encode(const PhoneCommand& command) {
    QJsonObject object{{QStringLiteral("v"), kVersion},
                       {QStringLiteral("id"), command.id},
                       {QStringLiteral("epoch"), double(command.epoch)}};
    switch (command.type) {
        case PhoneCommand::Type::Warning:
            object.insert(QStringLiteral("type"), QStringLiteral("warning"));
            break;
        case PhoneCommand::Type::Dropout:
            object.insert(QStringLiteral("type"), QStringLiteral("dropout"));
            break;
        case PhoneCommand::Type::Undo:
            object.insert(QStringLiteral("type"), QStringLiteral("undo"));
            return QJsonDocument(object).toJson(QJsonDocument::Compact);
    }
    object.insert(QStringLiteral("leg"), command.leg);
    object.insert(QStringLiteral("athlete"), command.athlete);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

}  // namespace norak
