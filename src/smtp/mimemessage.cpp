#include "mimemessage.h"

#include "emailaddress.h"
#include "mimemultipart.h"
#include "quotedprintable.h"

#include <QLocale>
#include <QRegularExpression>
#include <QUuid>

MimeMessage::MimeMessage(bool createAutoMimeContent)
    : m_idLocalPart(QUuid::createUuid().toString(QUuid::Id128)) {
    if (createAutoMimeContent) {
        m_ownContent = new MimeMultiPart(MimeMultiPart::Related);
        m_content = m_ownContent;
    }
}

MimeMessage::~MimeMessage() {
    delete m_ownContent;
}

void MimeMessage::addRecipient(EmailAddress* recipient, RecipientType type) {
    switch (type) {
    case Cc:
        m_cc.append(recipient);
        break;
    case Bcc:
        m_bcc.append(recipient);
        break;
    default:
        m_to.append(recipient);
        break;
    }
}

const QList<EmailAddress*>& MimeMessage::getRecipients(RecipientType type) const {
    switch (type) {
    case Cc:
        return m_cc;
    case Bcc:
        return m_bcc;
    default:
        return m_to;
    }
}

void MimeMessage::addPart(MimePart* part) {
    if (auto* multi = qobject_cast<MimeMultiPart*>(m_content))
        multi->addPart(part);
}

QList<MimePart*> MimeMessage::getParts() const {
    if (auto* multi = qobject_cast<MimeMultiPart*>(m_content))
        return multi->getParts();
    return QList<MimePart*>{m_content};
}

// Names and the subject come from outside data (an eBay title, for one); as raw header text they are kept
// on one line so that they cannot add header lines. Encoded words carry line breaks harmlessly escaped.
QString MimeMessage::encodedWord(const QString& text) const {
    switch (m_headerEncoding) {
    case MimePart::Base64:
        return QLatin1String("=?utf-8?B?") + QString::fromLatin1(text.toUtf8().toBase64()) + QLatin1String("?=");
    case MimePart::QuotedPrintable:
        // In an encoded word "_" stands for a space and "?=" ends the word, so both characters are escaped.
        return QLatin1String("=?utf-8?Q?") +
               QuotedPrintable::encode(text.toUtf8())
                   .replace(QLatin1Char('_'), QLatin1String("=5F"))
                   .replace(QLatin1Char('?'), QLatin1String("=3F"))
                   .replace(QLatin1Char(' '), QLatin1Char('_'))
                   .replace(QLatin1Char(':'), QLatin1String("=3A")) +
               QLatin1String("?=");
    default:
        return MimePart::singleLine(text);
    }
}

QString MimeMessage::addressList(const QList<EmailAddress*>& list) const {
    QString out;
    for (int i = 0; i < list.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        if (!list.at(i)->getName().isEmpty())
            out += QLatin1Char(' ') + encodedWord(list.at(i)->getName());
        out += QLatin1String(" <") + MimePart::singleLine(list.at(i)->getAddress()) + QLatin1Char('>');
    }
    return out;
}

QString MimeMessage::getMessageId() const {
    QString domain = m_sender ? m_sender->getAddress().section(QLatin1Char('@'), -1) : QString();
    // The domain comes from the settings file; anything but a host name would break the header.
    if (!m_sender || !m_sender->getAddress().contains(QLatin1Char('@')) ||
        !QRegularExpression(QStringLiteral("^[A-Za-z0-9.-]+$")).match(domain).hasMatch())
        domain = QStringLiteral("localhost");
    return QLatin1Char('<') + m_idLocalPart + QLatin1Char('@') + domain + QLatin1Char('>');
}

QString MimeMessage::toString() {
    QString text = QLatin1String("From:") + addressList(QList<EmailAddress*>{m_sender}) + QLatin1String("\r\n");
    text += QLatin1String("To:") + addressList(m_to) + QLatin1String("\r\n");
    if (!m_cc.isEmpty())
        text += QLatin1String("Cc:") + addressList(m_cc) + QLatin1String("\r\n");
    text += QLatin1String("Subject: ") + encodedWord(m_subject) + QLatin1String("\r\n");
    // Providers refuse or junk mail without a date or an id. Day and month names are English whatever the locale.
    const QDateTime date = m_date.isValid() ? m_date : QDateTime::currentDateTimeUtc();
    text += QLatin1String("Date: ") +
            QLocale::c().toString(QDateTime(date.date(), date.time(), Qt::UTC),
                                  QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")) +
            QLatin1String(" +0000\r\n");
    text += QLatin1String("Message-ID: ") + getMessageId() + QLatin1String("\r\n");
    text += QLatin1String("MIME-Version: 1.0\r\n");
    text += m_content->toString();
    return text;
}
