#include "parsedmail.h"

#include <QRegularExpression>

ParsedMail ParsedMail::parse(const QByteArray& raw) {
    ParsedMail mail;
    const int end = raw.indexOf("\r\n\r\n");
    const QByteArray head = end < 0 ? raw : raw.left(end);
    mail.m_body = end < 0 ? QByteArray() : raw.mid(end + 4);
    for (const QByteArray& line : head.split('\n')) {
        const QString text = QString::fromUtf8(line).remove(QLatin1Char('\r'));
        if (text.isEmpty())
            continue;
        if ((text.startsWith(QLatin1Char(' ')) || text.startsWith(QLatin1Char('\t'))) && !mail.m_headers.isEmpty()) {
            mail.m_headers.last().second += text;
            continue;
        }
        const int colon = text.indexOf(QLatin1Char(':'));
        mail.m_headers.append({text.left(colon), colon < 0 ? QString() : text.mid(colon + 1).trimmed()});
    }
    return mail;
}

QString ParsedMail::header(const QString& name) const {
    for (const auto& field : m_headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return QString();
}

int ParsedMail::headerCount(const QString& name) const {
    int count = 0;
    for (const auto& field : m_headers)
        count += field.first.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    return count;
}

QList<ParsedMail> ParsedMail::parts() const {
    const QRegularExpression boundaryParameter(QStringLiteral("boundary=\"?([^\";]+)\"?"));
    const QString boundary = boundaryParameter.match(header(QStringLiteral("Content-Type"))).captured(1);
    QList<ParsedMail> list;
    if (boundary.isEmpty())
        return list;
    const QByteArray delimiter = "--" + boundary.toUtf8();
    const QList<QByteArray> pieces = ("\r\n" + m_body).split('\n');
    QByteArray current;
    bool inPart = false;
    for (const QByteArray& piece : pieces) {
        const QByteArray line = piece.endsWith('\r') ? piece.left(piece.size() - 1) : piece;
        if (line == delimiter || line == delimiter + "--") {
            if (inPart) {
                current.chop(2); // the line break before a delimiter belongs to it
                list << parse(current);
            }
            current.clear();
            inPart = line == delimiter;
            continue;
        }
        if (inPart)
            current += piece + "\n";
    }
    return list;
}
