#include "mimehtml.h"

MimeHtml::MimeHtml(const QString& html)
    : MimeText(html) {
    m_contentType = QStringLiteral("text/html");
}
