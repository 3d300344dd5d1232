#pragma once

#include "mimecontentformatter.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// One body part of a mail: its content headers and its body in a transfer encoding. The text is built
// lazily by prepare() and kept until the next prepare(). Parts are owned by whoever created them; a
// MimeMessage or MimeMultiPart only refers to them.
class MimePart : public QObject {
    Q_OBJECT

public:
    enum Encoding { _7Bit, _8Bit, Base64, QuotedPrintable };

    MimePart();

    void setHeader(const QString& header) { m_header = header; }
    const QString& getHeader() const { return m_header; }
    // Appends one raw header line; the caller is trusted with its content.
    void addHeaderLine(const QString& line);

    void setContent(const QByteArray& content) { m_content = content; }
    const QByteArray& getContent() const { return m_content; }
    void setContentId(const QString& id) { m_contentId = id; }
    const QString& getContentId() const { return m_contentId; }
    void setContentName(const QString& name) { m_contentName = name; }
    const QString& getContentName() const { return m_contentName; }
    void setContentType(const QString& type) { m_contentType = type; }
    const QString& getContentType() const { return m_contentType; }
    void setCharset(const QString& charset) { m_charset = charset; }
    const QString& getCharset() const { return m_charset; }
    void setBoundary(const QString& boundary) { m_boundary = boundary; }
    const QString& getBoundary() const { return m_boundary; }
    void setEncoding(Encoding encoding) { m_encoding = encoding; }
    Encoding getEncoding() const { return m_encoding; }
    MimeContentFormatter& getContentFormatter() { return m_formatter; }

    virtual QString toString();
    virtual void prepare();

    // A header value taken from outside data must not be able to start a header line of its own.
    static QString singleLine(const QString& value);

protected:
    QString m_header;
    QByteArray m_content;
    QString m_contentId;
    QString m_contentName;
    QString m_contentType;
    QString m_charset;
    QString m_boundary;
    Encoding m_encoding = _7Bit;
    QString m_mimeString;
    bool m_prepared = false;
    MimeContentFormatter m_formatter;
};
