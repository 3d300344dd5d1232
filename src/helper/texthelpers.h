#pragma once

#include <QByteArray>
#include <QString>

// Scraping helpers for eBay's pages. Each works on its own copy of the page with line breaks and tabs removed,
// matches case-insensitively and takes the shortest span.

// The page as the helpers below read it: without CR LF, LF and tab (a lone CR stays).
QString withoutLineBreaks(QString text);
// The text between the first start marker and the following end marker, or an empty string.
QString extractBetween(QString text, const QString& start, const QString& end);
// The text after the last delimiter that precedes the first occurrence of the marker, or an empty string
// (reads value="..." written before name="...").
QString extractBefore(QString text, const QString& marker, const QString& delimiter);
// Whether the regular expression matches anywhere in the text.
bool containsRegExp(QString text, const QString& pattern);

// Percent-encodes everything but RFC 3986's unreserved characters (and those in keep), so that text from a page
// or from the user cannot add, end or rewrite a query item of the URL it is put into.
QString encodeForQuery(const QString& value, const QByteArray& keep = QByteArray());
