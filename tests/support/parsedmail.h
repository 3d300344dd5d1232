#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Reads a received mail (or one MIME part of it) back into its header fields and body, so that tests
// check what a mail reader would see rather than comparing whole texts.
class ParsedMail {
public:
    static ParsedMail parse(const QByteArray& raw);

    // "Name: value" (unfolded) for each field of those names (case-insensitive) the mail has, in the order asked.
    QStringList fields(const QStringList& names) const;
    // The text of a mail made of one "text/plain; charset=utf-8" part, or else a description of its parts.
    QString plainText() const;

private:
    QList<QPair<QString, QString>> m_headers;
    QByteArray m_body;
};
