#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace norak {

// The head of an HTTP/1.1 request as the remote's page server reads it: the request line and
// the header fields, nothing more (a phone asks for the page and the WebSocket, with no body).
struct RequestHead {
    static constexpr qsizetype kMaxBytes = 8 * 1024;

    QByteArray method;
    QByteArray path;                       // before '?'
    QHash<QByteArray, QString> query;      // from the query, percent-decoded; a repeated key refuses it
    QHash<QByteArray, QByteArray> fields;  // names in lower case; a repeated field refuses it

    QByteArray field(const QByteArray& lowerName) const { return fields.value(lowerName); }

    // Whether the bytes read so far hold a whole head (ending with an empty line).
    static bool complete(const QByteArray& bytes) { return bytes.contains("\r\n\r\n"); }
    // The head at the start of the bytes; nullopt when it is not a well-formed GET request.
    static std::optional<RequestHead> parse(const QByteArray& bytes);
};

}  // namespace norak
