#pragma once

#include "mimepart.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

class EmailAddress;

// A whole mail as text: the envelope headers (From, To, Cc, Subject, Date, Message-ID) and one content part. It refers
// to the sender, the recipients and the parts without owning them; only the multipart content it creates for itself is
// deleted with it.
class MimeMessage : public QObject {
    Q_OBJECT

public:
    enum RecipientType { To, Cc, Bcc };

    explicit MimeMessage(bool createAutoMimeContent = true);
    ~MimeMessage() override;

    void setSender(EmailAddress* sender) { m_sender = sender; }
    EmailAddress* getSender() const { return m_sender; }
    void addRecipient(EmailAddress* recipient, RecipientType type = To);
    void addTo(EmailAddress* recipient) { m_to.append(recipient); }
    void addCc(EmailAddress* recipient) { m_cc.append(recipient); }
    void addBcc(EmailAddress* recipient) { m_bcc.append(recipient); }
    const QList<EmailAddress*>& getRecipients(RecipientType type = To) const;

    void setSubject(const QString& subject) { m_subject = subject; }
    const QString& getSubject() const { return m_subject; }

    // Appends to the content when it is a multipart; any other content takes no further parts.
    void addPart(MimePart* part);
    void setContent(MimePart* content) { m_content = content; }
    MimePart* getContent() const { return m_content; }
    QList<MimePart*> getParts() const;

    // The Date header, read as UTC digits (eBay time is held that way); without one the message is dated when
    // its text is made.
    void setDate(const QDateTime& date) { m_date = date; }
    const QDateTime& getDate() const { return m_date; }
    // "<unique@sender's domain>", fixed for the life of the message so that every rendering names the same mail.
    QString getMessageId() const;

    // Base64 and QuotedPrintable write display names and the subject as encoded words; any other value
    // writes them as they are.
    void setHeaderEncoding(MimePart::Encoding encoding) { m_headerEncoding = encoding; }
    MimePart::Encoding getHeaderEncoding() const { return m_headerEncoding; }

    QString toString();

private:
    QString encodedWord(const QString& text) const;
    QString addressList(const QList<EmailAddress*>& list) const;

    EmailAddress* m_sender = nullptr;
    QList<EmailAddress*> m_to;
    QList<EmailAddress*> m_cc;
    QList<EmailAddress*> m_bcc;
    QString m_subject;
    QDateTime m_date;
    QString m_idLocalPart;
    MimePart* m_content = nullptr;
    MimePart* m_ownContent = nullptr;
    MimePart::Encoding m_headerEncoding = MimePart::_8Bit;
};
