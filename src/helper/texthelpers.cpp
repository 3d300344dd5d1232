#include "texthelpers.h"

#include <QRegExp>
#include <QUrl>

namespace {
QRegExp minimalPattern(const QString& pattern) {
    QRegExp regExp(pattern, Qt::CaseInsensitive, QRegExp::RegExp);
    regExp.setMinimal(true);
    return regExp;
}
} // namespace

QString withoutLineBreaks(QString text) {
    text.remove(QStringLiteral("\r\n"));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\t'));
    return text;
}

QString extractBetween(QString text, const QString& start, const QString& end) {
    if (text.isEmpty())
        return QString();
    text = withoutLineBreaks(text);
    QRegExp regExp = minimalPattern(QRegExp::escape(start) + QStringLiteral("(.*)") + QRegExp::escape(end));
    if (regExp.indexIn(text, 0) < 0)
        return QString();
    return regExp.cap(1);
}

QString extractBefore(QString text, const QString& marker, const QString& delimiter) {
    if (text.isEmpty())
        return QString();
    text = withoutLineBreaks(text);
    const int markerAt = text.indexOf(marker, 0, Qt::CaseInsensitive);
    if (markerAt < 0)
        return QString();
    text.truncate(markerAt);
    const int delimiterAt = text.lastIndexOf(delimiter, -1, Qt::CaseInsensitive);
    if (delimiterAt < 0)
        return QString();
    return text.mid(delimiterAt + 1);
}

bool containsRegExp(QString text, const QString& pattern) {
    if (text.isEmpty())
        return false;
    if (pattern.isEmpty())
        return true;
    text = withoutLineBreaks(text);
    return minimalPattern(pattern).indexIn(text, 0) >= 0;
}

QString encodeForQuery(const QString& value, const QByteArray& keep) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value, keep));
}
