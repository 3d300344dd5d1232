#pragma once

#include "mimepart.h"

// A plain-text body part in UTF-8, sent 8bit.
class MimeText : public MimePart {
    Q_OBJECT

public:
    explicit MimeText(const QString& text = QString());

    void setText(const QString& text) { m_text = text; }
    const QString& getText() const { return m_text; }

    void prepare() override;

protected:
    QString m_text;
};
