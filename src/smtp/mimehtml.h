#pragma once

#include "mimetext.h"

// An HTML body part; the text is the markup.
class MimeHtml : public MimeText {
    Q_OBJECT

public:
    explicit MimeHtml(const QString& html = QString());

    void setHtml(const QString& html) { m_text = html; }
    const QString& getHtml() const { return m_text; }
};
