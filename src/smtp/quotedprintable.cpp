#include "quotedprintable.h"

namespace {
int hexValue(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}
} // namespace

QString QuotedPrintable::encode(const QByteArray& input) {
    static const char hexDigits[] = "0123456789ABCDEF";
    QString output;
    output.reserve(input.size() * 3);
    for (const char ch : input) {
        const uchar b = static_cast<uchar>(ch);
        if (b == 0x20 || (b >= 0x21 && b <= 0x7E && b != '=')) {
            output.append(QLatin1Char(ch));
        } else {
            output.append(QLatin1Char('='));
            output.append(QLatin1Char(hexDigits[b >> 4]));
            output.append(QLatin1Char(hexDigits[b & 0x0F]));
        }
    }
    return output;
}

QByteArray QuotedPrintable::decode(const QString& input) {
    QByteArray output;
    output.reserve(input.size());
    for (int i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (c == QLatin1Char('=') && i + 2 < input.size() && hexValue(input.at(i + 1)) >= 0 &&
            hexValue(input.at(i + 2)) >= 0) {
            output.append(static_cast<char>(hexValue(input.at(i + 1)) * 16 + hexValue(input.at(i + 2))));
            i += 2;
        } else {
            output.append(c.unicode() > 255 ? '\0' : static_cast<char>(c.unicode()));
        }
    }
    return output;
}
