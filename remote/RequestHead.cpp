#include "remote/RequestHead.h"

#include <QList>
#include <QUrl>

namespace norak {

namespace {
bool isToken(const QByteArray& name) {
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '_' || c == '.';
        if (!ok)
            return false;
    }
    return true;
}
}  // namespace

std::optional<RequestHead> RequestHead::parse(const QByteArray& bytes) {
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0 || end + 4 > kMaxBytes)
        return std::nullopt;
    // Every line with its CR LF; the split leaves an empty piece after the last one.
    QList<QByteArray> lines = bytes.left(end + 2).split('\n');
    lines.removeLast();
    RequestHead head;
    if (!lines.first().endsWith('\r'))
        return std::nullopt;
    const QList<QByteArray> request = lines.first().chopped(1).split(' ');
    if (request.size() != 3 || request[2] != "HTTP/1.1" || request[0] != "GET" || !request[1].startsWith('/'))
        return std::nullopt;
    head.method = request[0];
    const QByteArray target = request[1];
    const qsizetype question = target.indexOf('?');
    head.path = question < 0 ? target : target.left(question);
    if (question >= 0) {
        for (const QByteArray& pair : target.mid(question + 1).split('&')) {
            if (pair.isEmpty())
                continue;
            const qsizetype equals = pair.indexOf('=');
            const QByteArray key = equals < 0 ? pair : pair.left(equals);
            if (!isToken(key) || head.query.contains(key))
                return std::nullopt;
            head.query.insert(key,
                              QUrl::fromPercentEncoding(equals < 0 ? QByteArray() : pair.mid(equals + 1)));
        }
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines[i].endsWith('\r'))
            return std::nullopt;
        const QByteArray line = lines[i].chopped(1);
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = colon < 0 ? QByteArray() : line.left(colon).toLower();
        if (!isToken(name) || head.fields.contains(name))
            return std::nullopt;
        head.fields.insert(name, line.mid(colon + 1).trimmed());
    }
    return head;
}

}  // namespace norak
