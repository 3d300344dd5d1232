#include "mimetext.h"

MimeText::MimeText(const QString& text)
    : m_text(text) {
    m_contentType = QStringLiteral("text/plain");
    m_charset = QStringLiteral("utf-8");
    m_encoding = _8Bit;
}

void MimeText::prepare() {
    m_content = m_text.toUtf8();
    MimePart::prepare();
}
