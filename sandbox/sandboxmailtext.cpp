#include "sandboxmailtext.h"

#include <QRegularExpression>
#include <QTextCodec>

void SandboxMailText::split(const QByteArray& message, Fields* fields, QByteArray* body) {
    fields->clear();
    body->clear();
    int pos = 0;
    while (pos < message.size()) {
        int end = message.indexOf('\n', pos);
        const int next = end < 0 ? message.size() : end + 1;
        if (end < 0)
            end = message.size();
        QByteArray line = message.mid(pos, end - pos);
        if (line.endsWith('\r'))
            line.chop(1);
        pos = next;
        if (line.isEmpty()) {
            *body = message.mid(pos);
            return;
        }
        if ((line.startsWith(' ') || line.startsWith('\t')) && !fields->isEmpty()) {
            fields->last().second += QString::fromUtf8(line);
            continue;
        }
        const int colon = line.indexOf(':');
        if (colon <= 0)
            continue; // not a header field; a sloppy sender's line is skipped, the raw text still has it
        fields->append(
            {QString::fromUtf8(line.left(colon)).trimmed(), QString::fromUtf8(line.mid(colon + 1)).trimmed()});
    }
}

QString SandboxMailText::field(const Fields& fields, const QString& name) {
    for (const auto& f : fields) {
        if (f.first.compare(name, Qt::CaseInsensitive) == 0)
            return f.second;
    }
    return {};
}

QString SandboxMailText::toUnicode(const QByteArray& bytes, const QString& charset) {
    QTextCodec* codec = charset.isEmpty() ? nullptr : QTextCodec::codecForName(charset.toLatin1());
    return codec ? codec->toUnicode(bytes) : QString::fromUtf8(bytes);
}

QByteArray SandboxMailText::decodeQuotedPrintable(const QByteArray& text, bool underscoreIsSpace) {
    QByteArray out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '_' && underscoreIsSpace) {
            out += ' ';
        } else if (c == '=' && i + 2 < text.size() && text.at(i + 1) == '\r' && text.at(i + 2) == '\n') {
            i += 2; // soft line break
        } else if (c == '=' && i + 1 < text.size() && text.at(i + 1) == '\n') {
            i += 1;
        } else if (c == '=' && i + 2 < text.size()) {
            bool ok = false;
            const int value = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += char(value);
                i += 2;
            } else {
                out += c;
            }
        } else {
            out += c;
        }
    }
    return out;
}

QString SandboxMailText::decodeWords(const QString& text) {
    static const QRegularExpression word(QStringLiteral("=\\?([^?]+)\\?([BbQq])\\?([^?]*)\\?="));
    QString out;
    int pos = 0;
    bool lastWasWord = false;
    QRegularExpressionMatchIterator it = word.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString between = text.mid(pos, match.capturedStart() - pos);
        if (!(lastWasWord && between.trimmed().isEmpty()))
            out += between;
        // A language tag may follow the charset: "utf-8*en".
        const QString charset = match.captured(1).section(QLatin1Char('*'), 0, 0);
        const QByteArray payload = match.captured(3).toLatin1();
        const QByteArray bytes = match.captured(2).compare(QLatin1String("B"), Qt::CaseInsensitive) == 0
                                     ? QByteArray::fromBase64(payload)
                                     : decodeQuotedPrintable(payload, true);
        out += toUnicode(bytes, charset);
        pos = match.capturedEnd();
        lastWasWord = true;
    }
    out += text.mid(pos);
    return out;
}

QString SandboxMailText::parameter(const QString& headerValue, const QString& name) {
    const QRegularExpression re(QStringLiteral(";\\s*%1\\s*=\\s*(\"([^\"]*)\"|[^;\\s]+)").arg(name),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = re.match(headerValue);
    if (!match.hasMatch())
        return {};
    return match.captured(2).isNull() ? match.captured(1) : match.captured(2);
}

QString SandboxMailText::partText(const Fields& fields, const QByteArray& body, int depth, bool plainOnly) {
    const QString type = field(fields, QStringLiteral("Content-Type"));
    const QString mediaType = type.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (mediaType.startsWith(QLatin1String("multipart/"))) {
        const QByteArray boundary = parameter(type, QStringLiteral("boundary")).toUtf8();
        if (boundary.isEmpty() || depth > 8)
            return {};
        const QByteArray delimiter = "--" + boundary;
        QList<QByteArray> parts;
        int pos = body.indexOf(delimiter);
        while (pos >= 0) {
            int start = body.indexOf('\n', pos);
            if (start < 0 || body.mid(pos + delimiter.size(), 2) == "--")
                break;
            ++start;
            const int end = body.indexOf("\n" + delimiter, start);
            parts.append(body.mid(start, end < 0 ? -1 : end + 1 - start));
            pos = end < 0 ? -1 : end + 1;
        }
        for (const QByteArray& part : parts) {
            Fields partFields;
            QByteArray partBody;
            split(part, &partFields, &partBody);
            const QString text = partText(partFields, partBody, depth + 1, plainOnly);
            if (!text.isNull())
                return text;
        }
        return {};
    }
    const bool isText = mediaType.isEmpty() || mediaType.startsWith(QLatin1String("text/"));
    const bool isPlain = mediaType.isEmpty() || mediaType == QLatin1String("text/plain");
    if (!isText || (plainOnly && !isPlain))
        return {};
    const QString encoding = field(fields, QStringLiteral("Content-Transfer-Encoding")).trimmed().toLower();
    QByteArray bytes = body;
    if (encoding == QLatin1String("base64"))
        bytes = QByteArray::fromBase64(body);
    else if (encoding == QLatin1String("quoted-printable"))
        bytes = decodeQuotedPrintable(body, false);
    QString text = toUnicode(bytes, parameter(type, QStringLiteral("charset")));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QString SandboxMailText::readableText(const QByteArray& message) {
    Fields fields;
    QByteArray body;
    split(message, &fields, &body);
    QString text = partText(fields, body, 0, true);
    if (text.isNull())
        text = partText(fields, body, 0, false);
    return text.isNull() ? QString() : text.trimmed();
}
