#include "texthelpers.h"

#include <QRegExp>
#include <QUrl>

#include <cmath>

namespace {
QRegExp minimalPattern(const QString& pattern) {
    QRegExp regExp(pattern, Qt::CaseInsensitive, QRegExp::RegExp);
    regExp.setMinimal(true);
    return regExp;
}
bool isAmountCharacter(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') || c == QLatin1Char(',') ||
           c == QLatin1Char('\'');
}

// The decimal separator of a run of digits and separators written with the given mark; a null QChar when it has
// none.
QChar decimalSeparator(const QString& run, DecimalMark mark) {
    if (mark != DecimalMark::Guess) {
        const QChar separator = mark == DecimalMark::Comma ? QLatin1Char(',') : QLatin1Char('.');
        return run.contains(separator) ? separator : QChar();
    }
    const int lastPoint = run.lastIndexOf(QLatin1Char('.'));
    const int lastComma = run.lastIndexOf(QLatin1Char(','));
    const int last = qMax(lastPoint, lastComma);
    if (last < 0)
        return QChar();
    const QChar separator = run.at(last);
    // Both kinds: the one written last separates the decimals. One kind only: written more than once, or once
    // before exactly three digits, it groups thousands (no currency on eBay has three decimals).
    if (lastPoint >= 0 && lastComma >= 0)
        return separator;
    if (run.count(separator) > 1 || run.size() - last - 1 == 3)
        return QChar();
    return separator;
}

// A run of digits and separators as an amount, or -1.0 when its separators do not fit the mark.
double amountOfRun(const QString& run, DecimalMark mark) {
    if (run.isEmpty() || !run.back().isDigit())
        return -1.0;
    const QChar decimal = decimalSeparator(run, mark);
    const int decimalAt = decimal.isNull() ? run.size() : run.indexOf(decimal);
    if (!decimal.isNull() && run.indexOf(decimal, decimalAt + 1) >= 0)
        return -1.0;
    QString digits = run.mid(decimalAt + 1);
    if (digits.contains(QLatin1Char('.')) || digits.contains(QLatin1Char(',')) || digits.contains(QLatin1Char('\'')))
        return -1.0;
    // Every group mark before the decimals must stand between a digit and exactly three digits.
    const QStringList groups = run.left(decimalAt).split(QRegExp(QStringLiteral("[.,']")));
    for (int i = 1; i < groups.size(); ++i) {
        if (groups.at(i).size() != 3 || groups.at(i - 1).isEmpty())
            return -1.0;
    }
    const QString whole = groups.join(QString());
    bool ok = false;
    const double amount = (whole + QLatin1Char('.') + digits).toDouble(&ok);
    return ok && std::isfinite(amount) ? amount : -1.0;
}
} // namespace

DecimalMark decimalMarkOfSite(int siteId) {
    // Austria, Belgium (French and Dutch), France, Germany, Italy, the Netherlands, Spain and Poland.
    static const QList<int> commaSites = {16, 23, 123, 71, 77, 101, 146, 186, 212};
    return commaSites.contains(siteId) ? DecimalMark::Comma : DecimalMark::Point;
}

double trailingAmount(const QString& text, DecimalMark mark) {
    int start = text.size();
    while (start > 0 && isAmountCharacter(text.at(start - 1)))
        --start;
    return amountOfRun(text.mid(start), mark);
}

double readAmount(const QString& text, DecimalMark mark) {
    const QString run = text.trimmed();
    for (const QChar c : run) {
        if (!isAmountCharacter(c))
            return -1.0;
    }
    return amountOfRun(run, mark);
}

QString amountForEditing(double amount, DecimalMark mark) {
    QString text = QString::number(amount, 'f', 2);
    if (mark == DecimalMark::Comma)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

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
