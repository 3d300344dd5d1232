#pragma once

#include <QByteArray>
#include <QString>

// The quoted-printable transfer encoding of mail bodies and encoded header words. Line wrapping is not done
// here; MimeContentFormatter adds the soft line breaks.
class QuotedPrintable {
public:
    // Every byte outside the printable range, and "=", becomes "=" and two upper-case hex digits; a space stays.
    static QString encode(const QByteArray& input);
    // The reverse of encode. An "=" not followed by two hex digits is kept as it stands.
    static QByteArray decode(const QString& input);
};
