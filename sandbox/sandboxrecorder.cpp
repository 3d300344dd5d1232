#include "sandboxrecorder.h"

#include "sandboxhttprequest.h"

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
}

QJsonObject SandboxRecorder::logJson() const {
    return QJsonObject{{QStringLiteral("requests"), m_requests}};
}

QJsonObject SandboxRecorder::ledgerJson() const {
    return QJsonObject{{QStringLiteral("bids"), m_bids}};
}

bool SandboxRecorder::writeFile(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    const QJsonObject root{{QStringLiteral("requests"), m_requests}, {QStringLiteral("bids"), m_bids}};
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
