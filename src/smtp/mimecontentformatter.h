#pragma once

#include <QString>

// Wraps encoded part bodies to the mail line length. Each MimePart holds one by value.
class MimeContentFormatter {
public:
    explicit MimeContentFormatter(int maxLength = 76);

    void setMaxLength(int length) { m_maxLength = length; }
    int getMaxLength() const { return m_maxLength; }

    // Base64 text is cut into lines of exactly the maximum length. Quoted-printable text gets soft line
    // breaks ("=" CR LF) placed so that no line exceeds the maximum and no "=XX" escape is split.
    QString format(const QString& content, bool quotedPrintable = false) const;

private:
    int m_maxLength;
};
