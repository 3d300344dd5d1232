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

    // Every unfolded value of that field (case-insensitive name), in order.
    QStringList values(const QString& name) const;
    QString header(const QString& name) const { return values(name).value(0); }
    const QByteArray& body() const { return m_body; }
    // The parts of a multipart body, split at its boundary.
    QList<ParsedMail> parts() const;

private:
    QList<QPair<QString, QString>> m_headers;
    QByteArray m_body;
};
