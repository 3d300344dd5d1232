#include "mimecontentformatter.h"

MimeContentFormatter::MimeContentFormatter(int maxLength)
    : m_maxLength(maxLength) {}

QString MimeContentFormatter::format(const QString& content, bool quotedPrintable) const {
    QString out;
    out.reserve(content.size() + content.size() / qMax(1, m_maxLength) * 3 + 3);
    int chars = 0;
    for (const QChar ch : content) {
        ++chars;
        if (!quotedPrintable) {
            if (chars > m_maxLength) {
                out.append(QLatin1String("\r\n"));
                chars = 1;
            }
        } else if (ch == QLatin1Char('\n')) {
            out.append(ch);
            chars = 0;
            continue;
        } else if (chars >= m_maxLength || (ch == QLatin1Char('=') && chars >= m_maxLength - 2)) {
            out.append(QLatin1String("=\r\n"));
            chars = 1;
        }
        out.append(ch);
    }
    return out;
}
