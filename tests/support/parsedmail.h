#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Reads a received mail (or one MIME part of it) back into its header fields and body, so that tests
// check what a mail reader would see rather than comparing whole texts.
class ParsedMail {
public:
    static ParsedMail parse(const QByteArray& raw);

    // The header fields in order, as name and unfolded value.
    const QList<QPair<QString, QString>>& headers() const { return m_headers; }
    // The first value of that field (case-insensitive name); empty when absent.
    QString header(const QString& name) const;
    int headerCount(const QString& name) const;
    const QByteArray& body() const { return m_body; }
    // The parts of a multipart body, split at its boundary.
    QList<ParsedMail> parts() const;

private:
    QList<QPair<QString, QString>> m_headers;
    QByteArray m_body;
};
