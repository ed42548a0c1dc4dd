#pragma once

#include <QByteArray>
#include <QString>
#include <variant>

namespace norak {

// The messages a phone sends to the laptop, version 1. The laptop is the authority: a phone asks,
// the laptop applies and answers. Every message is one JSON object of at most kMaxBytes with
// exactly the keys of its type, no more and no fewer:
//   {"v":1,"type":"warning","id":"a1","epoch":3,"leg":12,"athlete":5}
//   {"v":1,"type":"dropout","id":"a2","epoch":3,"leg":12,"athlete":5}
//   {"v":1,"type":"undo","id":"a3","epoch":3}
// `id` is the phone's own request id (1 to 64 of A-Z a-z 0-9 _ -), `epoch` the run's epoch and
// `leg` the leg the phone showed, both as the laptop's last state gave them. A command carries
// no time, distance or value: the laptop records those of the leg the phone showed.
struct PhoneCommand {
    enum class Type { Warning, Dropout, Undo };
    Type type = Type::Warning;
    QString id;
    qint64 epoch = 0;
    int leg = 0;      // not in an undo
    int athlete = 0;  // 1 ... 14; not in an undo

    bool operator==(const PhoneCommand&) const = default;
};

// A message refused before it reached the run: why, and the request id when one could be read,
// so that the answer still names the request.
struct PhoneMessageError {
    QString reason;  // in Spanish, shown on the phone
    QString id;

    bool operator==(const PhoneMessageError&) const = default;
};

class PhoneMessage {
  public:
    static constexpr int kVersion = 1;
    static constexpr qsizetype kMaxBytes = 16 * 1024;
    static constexpr qsizetype kMaxIdLength = 64;

    static std::variant<PhoneCommand, PhoneMessageError> parse(const QByteArray& bytes);
    // A command written as a phone sends it (the tests and the fuzz target's round trip).
    static QByteArray encode(const PhoneCommand& command);
    static bool isValidId(const QString& id);
};

}  // namespace norak
