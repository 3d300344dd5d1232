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

// How a site writes the decimals of an amount. Most sites write a point and group thousands with commas; the
// continental European sites (see decimalMarkOfSite) write a comma and group with points. Guess is for texts whose
// site is not known, such as the shipping cell of the UK item page, which shows the seller's own currency.
enum class DecimalMark { Guess, Point, Comma };

// The decimal mark of an eBay site id (the countries table's site_id). Swiss amounts ("CHF 1'250.00") take a point.
DecimalMark decimalMarkOfSite(int siteId);
// The amount a text ends with, "EUR 4,90", "£1,250.00", "EUR 1.250,00" or "CHF 1'250.00", or -1.0 when the text
// does not end in one (a space or a currency code after the number, grouping that does not fit). Guess takes a
// single point or comma followed by exactly three digits for grouping ("1,250" and "1.250" are 1250), and any
// other last separator for the decimal mark.
double trailingAmount(const QString& text, DecimalMark mark = DecimalMark::Guess);
// The whole text, spaces around it aside, as one amount written the site's way ("12,50" on a comma site), or -1.0.
double readAmount(const QString& text, DecimalMark mark);
// An amount with two decimals and the site's mark, no grouping: how the program writes one for the user to edit.
QString amountForEditing(double amount, DecimalMark mark);

// Percent-encodes everything but RFC 3986's unreserved characters (and those in keep), so that text from a page
// or from the user cannot add, end or rewrite a query item of the URL it is put into.
QString encodeForQuery(const QString& value, const QByteArray& keep = QByteArray());
