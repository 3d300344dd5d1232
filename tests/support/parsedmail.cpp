#include "parsedmail.h"

#include <QRegularExpression>

ParsedMail ParsedMail::parse(const QByteArray& raw) {
    ParsedMail mail;
    const int end = raw.indexOf("\r\n\r\n");
    mail.m_body = end < 0 ? QByteArray() : raw.mid(end + 4);
    for (const QByteArray& line : raw.left(end < 0 ? raw.size() : end).split('\n')) {
        const QString text = QString::fromUtf8(line).remove(QLatin1Char('\r'));
        if ((text.startsWith(QLatin1Char(' ')) || text.startsWith(QLatin1Char('\t'))) && !mail.m_headers.isEmpty())
            mail.m_headers.last().second += text;
        else if (!text.isEmpty())
            mail.m_headers.append({text.section(QLatin1Char(':'), 0, 0), text.section(QLatin1Char(':'), 1).trimmed()});
    }
    return mail;
}

QStringList ParsedMail::values(const QString& name) const {
    QStringList list;
    for (const auto& field : m_headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            list << field.second;
    }
    return list;
}

QList<ParsedMail> ParsedMail::parts() const {
    const QRegularExpression boundaryParameter(QStringLiteral("boundary=\"?([^\";]+)\"?"));
    const QString boundary = boundaryParameter.match(header(QStringLiteral("Content-Type"))).captured(1);
    QList<ParsedMail> list;
    if (boundary.isEmpty())
        return list;
    // A delimiter is "--boundary" at the start of a line; the line break before it belongs to it.
    const QStringList pieces = QString::fromUtf8("\r\n" + m_body).split("\r\n--" + boundary);
    for (int i = 1; i < pieces.size() && !pieces.at(i).startsWith(QLatin1String("--")); ++i)
        list << parse(pieces.at(i).mid(2).toUtf8());
    return list;
}
