#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Reads a received message far enough to show it to a person: its header fields (unfolded, encoded words
// decoded), and the text a mail reader would show first. Used by the SMTP side to describe each mail it keeps;
// the raw message is kept beside it, so nothing here needs to be complete.
class SandboxMailText {
public:
    using Fields = QList<QPair<QString, QString>>;

    // Splits a message (CRLF or LF lines) into its unfolded header fields and its body.
    static void split(const QByteArray& message, Fields* fields, QByteArray* body);
    static QString field(const Fields& fields, const QString& name);
    // Decodes "=?charset?B|Q?...?=" words; whitespace between two adjacent encoded words is dropped.
    static QString decodeWords(const QString& text);
    // The first text/plain part (else the first text part), transfer-decoded and in its charset.
    static QString readableText(const QByteArray& message);

private:
    static QString partText(const Fields& fields, const QByteArray& body, int depth, bool plainOnly);
    static QString parameter(const QString& headerValue, const QString& name);
    static QString toUnicode(const QByteArray& bytes, const QString& charset);
    static QByteArray decodeQuotedPrintable(const QByteArray& text, bool underscoreIsSpace);
};
