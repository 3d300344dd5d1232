#include "sandboxrecorder.h"

#include "sandboxhttprequest.h"
#include "sandboxmailtext.h"

#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

int SandboxRecorder::logRequest(const SandboxHttpRequest& request, const QString& endpoint) {
    QJsonObject headers;
    for (const auto& field : request.headers) {
        const QString name = QString::fromLatin1(field.first);
        const QString value = QString::fromLatin1(field.second);
        headers[name] = headers.contains(name) ? headers.value(name).toString() + QStringLiteral(", ") + value : value;
    }
    QJsonObject entry;
    const int seq = m_nextRequestSeq++;
    entry[QStringLiteral("seq")] = seq;
    entry[QStringLiteral("timeMs")] = request.arrivalMs;
    entry[QStringLiteral("method")] = QString::fromLatin1(request.method);
    entry[QStringLiteral("url")] = request.fullUrl();
    entry[QStringLiteral("host")] = request.host;
    entry[QStringLiteral("endpoint")] = endpoint;
    entry[QStringLiteral("headers")] = headers;
    entry[QStringLiteral("body")] = QString::fromUtf8(request.body);
    entry[QStringLiteral("connection")] = request.connectionId;
    m_requests.append(entry);
    return seq;
}

void SandboxRecorder::recordBid(const Bid& bid) {
    QJsonObject entry;
    entry[QStringLiteral("seq")] = m_nextBidSeq++;
    entry[QStringLiteral("timeMs")] = bid.timeMs;
    entry[QStringLiteral("item")] = bid.item;
    entry[QStringLiteral("bidder")] = bid.bidder;
    entry[QStringLiteral("amount")] = bid.amount;
    entry[QStringLiteral("amountText")] = bid.amountText;
    entry[QStringLiteral("currency")] = bid.currency;
    entry[QStringLiteral("flow")] = bid.flow;
    entry[QStringLiteral("tokensValid")] = bid.tokensValid;
    entry[QStringLiteral("accepted")] = bid.accepted;
    entry[QStringLiteral("reason")] = bid.reason;
    entry[QStringLiteral("requestSeq")] = bid.requestSeq;
    entry[QStringLiteral("endTimeMs")] = bid.endTimeMs;
    entry[QStringLiteral("msBeforeEnd")] = bid.endTimeMs > 0.0 ? bid.endTimeMs - bid.timeMs : 0.0;
    entry[QStringLiteral("highBidder")] = bid.highBidder;
    entry[QStringLiteral("priceAfter")] = bid.priceAfter;
    m_bids.append(entry);
    const QString money = bid.currency + QLatin1Char(' ') + QString::number(bid.amount, 'f', 2);
    QString verdict;
    if (!bid.accepted)
        verdict = QStringLiteral("refused (%1)").arg(bid.reason);
    else if (bid.highBidder)
        verdict = QStringLiteral("accepted, high bidder at %1 %2").arg(bid.currency).arg(bid.priceAfter, 0, 'f', 2);
    else
        verdict = QStringLiteral("accepted, outbid: price now %1 %2").arg(bid.currency).arg(bid.priceAfter, 0, 'f', 2);
    event(
        QStringLiteral("bid %1 by %2, max %3 (%4): %5").arg(bid.item, bid.bidder, money.trimmed(), bid.flow, verdict));
}

int SandboxRecorder::recordMail(const Mail& mail) {
    SandboxMailText::Fields fields;
    QByteArray body;
    SandboxMailText::split(mail.data, &fields, &body);
    QJsonObject headers;
    for (const auto& field : fields) {
        headers[field.first] = headers.contains(field.first)
                                   ? headers.value(field.first).toString() + QStringLiteral(", ") + field.second
                                   : field.second;
    }
    const QString subject = SandboxMailText::decodeWords(SandboxMailText::field(fields, QStringLiteral("Subject")));
    QJsonObject entry;
    const int seq = m_nextMailSeq++;
    entry[QStringLiteral("seq")] = seq;
    entry[QStringLiteral("timeMs")] = mail.timeMs;
    entry[QStringLiteral("client")] = mail.client;
    entry[QStringLiteral("authMechanism")] = mail.authMechanism;
    entry[QStringLiteral("authUser")] = mail.authUser;
    entry[QStringLiteral("from")] = mail.sender;
    entry[QStringLiteral("to")] = QJsonArray::fromStringList(mail.recipients);
    entry[QStringLiteral("headers")] = headers;
    entry[QStringLiteral("subject")] = subject;
    entry[QStringLiteral("text")] = SandboxMailText::readableText(mail.data);
    entry[QStringLiteral("body")] = QString::fromUtf8(body);
    entry[QStringLiteral("data")] = QString::fromUtf8(mail.data);
    m_mails.append(entry);
    event(QStringLiteral("mail %1 from %2 to %3: \"%4\"")
              .arg(seq)
              .arg(mail.sender, mail.recipients.join(QStringLiteral(", ")), subject));
    return seq;
}

void SandboxRecorder::event(const QString& line) const {
    if (!m_eventSink)
        return;
    // A subject or title with a line break or an escape sequence must not break the one-line-per-event output.
    QString clean = line;
    for (QChar& c : clean) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    m_eventSink(clean);
}

QJsonObject SandboxRecorder::logJson() const {
    return QJsonObject{{QStringLiteral("requests"), m_requests}};
}

QJsonObject SandboxRecorder::ledgerJson() const {
    return QJsonObject{{QStringLiteral("bids"), m_bids}};
}

QJsonObject SandboxRecorder::mailsJson() const {
    return QJsonObject{{QStringLiteral("mails"), m_mails}};
}

bool SandboxRecorder::writeFile(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const QJsonObject root{
        {QStringLiteral("requests"), m_requests}, {QStringLiteral("bids"), m_bids}, {QStringLiteral("mails"), m_mails}};
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
