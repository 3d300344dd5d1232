#include "mimepart.h"

#include "quotedprintable.h"

#include <QRegularExpression>

MimePart::MimePart()
    : m_formatter(76) {}

void MimePart::addHeaderLine(const QString& line) {
    m_header += line + QLatin1String("\r\n");
}

QString MimePart::toString() {
    if (!m_prepared)
        prepare();
    return m_mimeString;
}

QString MimePart::singleLine(const QString& value) {
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
    QString result = value;
    return result.replace(lineBreaks, QStringLiteral(" "));
}

void MimePart::prepare() {
    m_mimeString = QLatin1String("Content-Type: ") + m_contentType;
    if (!m_contentName.isEmpty())
        m_mimeString += QLatin1String("; name=\"") + singleLine(m_contentName) + QLatin1Char('"');
    if (!m_charset.isEmpty())
        m_mimeString += QLatin1String("; charset=") + m_charset;
    if (!m_boundary.isEmpty())
        m_mimeString += QLatin1String("; boundary=") + m_boundary;
    m_mimeString += QLatin1String("\r\n");

    m_mimeString += QLatin1String("Content-Transfer-Encoding: ");
    switch (m_encoding) {
    case _7Bit:
        m_mimeString += QLatin1String("7bit\r\n");
        break;
    case _8Bit:
        m_mimeString += QLatin1String("8bit\r\n");
        break;
    case Base64:
        m_mimeString += QLatin1String("base64\r\n");
        break;
    case QuotedPrintable:
        m_mimeString += QLatin1String("quoted-printable\r\n");
        break;
    }

    if (!m_contentId.isEmpty())
        m_mimeString += QLatin1String("Content-ID: <") + singleLine(m_contentId) + QLatin1String(">\r\n");
    m_mimeString += m_header;
    m_mimeString += QLatin1String("\r\n");

    switch (m_encoding) {
    case _7Bit:
    case _8Bit:
        // Text bodies end at a zero byte, as a C string would.
        m_mimeString += QString::fromUtf8(m_content.constData());
        break;
    case Base64:
        m_mimeString += m_formatter.format(QString::fromLatin1(m_content.toBase64()), false);
        break;
    case QuotedPrintable:
        m_mimeString += m_formatter.format(::QuotedPrintable::encode(m_content), true);
        break;
    }
    m_mimeString += QLatin1String("\r\n");
    m_prepared = true;
}
