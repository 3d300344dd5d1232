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

QStringList ParsedMail::fields(const QStringList& names) const {
    QStringList list;
    for (const QString& name : names) {
        for (const auto& field : m_headers) {
            if (field.first.compare(name, Qt::CaseInsensitive) == 0)
                list << name + QStringLiteral(": ") + field.second;
        }
    }
    return list;
}

QString ParsedMail::plainText() const {
    const QString contentType = fields({QStringLiteral("Content-Type")}).value(0);
    const QString boundary =
        QRegularExpression(QStringLiteral("boundary=\"?([^\";]+)\"?")).match(contentType).captured(1);
    // A delimiter is "--boundary" at the start of a line; the line break before it belongs to it.
    const QStringList pieces = QString::fromUtf8("\r\n" + m_body).split("\r\n--" + boundary);
    QStringList types;
    QString text;
    for (int i = 1; !boundary.isEmpty() && i < pieces.size() && !pieces.at(i).startsWith(QLatin1String("--")); ++i) {
        const ParsedMail part = parse(pieces.at(i).mid(2).toUtf8());
        types << part.fields({QStringLiteral("Content-Type")});
        text = QString::fromUtf8(part.m_body);
    }
    return types == QStringList{QStringLiteral("Content-Type: text/plain; charset=utf-8")}
               ? text
               : QStringLiteral("parts: ") + types.join(QStringLiteral(" | "));
}
