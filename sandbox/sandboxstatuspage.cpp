#include "sandboxstatuspage.h"

#include "sandboxclock.h"
#include "sandboxmarket.h"
#include "sandboxpages.h"
#include "sandboxrecorder.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QString cell(const QString& text) {
    return QStringLiteral("<td>") + SandboxPages::escape(text) + QStringLiteral("</td>");
}

QString amountText(const QString& currency, double amount) {
    return currency + QLatin1Char(' ') + QString::number(amount, 'f', 2);
}

QString timeLeftText(double ms) {
    const qint64 seconds = qint64(ms / 1000.0);
    return QStringLiteral("%1:%2 left").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString SandboxStatusPage::clockText(double epochMs) {
    // "yyyy-MM-ddThh:mm:ss.zzzZ" -> "hh:mm:ss": the day is the same for the whole demo.
    return SandboxClock::formatEbayTime(epochMs).mid(11, 8);
}

QString SandboxStatusPage::auctionRows(SandboxMarket& market, const SandboxClock& clock) {
    const double now = clock.nowMs();
    QString rows;
    for (const SandboxAuction* auction : market.auctions()) {
        const SandboxScenario::Auction& listing = auction->listing();
        const bool ended = auction->isEnded(now);
        QString state;
        if (!auction->isAuction())
            state = QStringLiteral("fixed price");
        else if (!ended)
            state = timeLeftText(auction->endMs() - now);
        else if (!auction->winner(now).isEmpty())
            state = QStringLiteral("ended, won by ") + auction->winner(now);
        else if (auction->bidCount() > 0)
            state = QStringLiteral("ended, reserve not met");
        else
            state = QStringLiteral("ended, no bids");
        QString reserve;
        if (auction->hasReserve())
            reserve = SandboxPages::money(listing.currency, listing.reserveCents) +
                      (auction->reserveMet() ? QStringLiteral(" (met)") : QStringLiteral(" (not met)"));
        const QString high = auction->highBidder().isEmpty()
                                 ? QString()
                                 : QStringLiteral("%1 (max %2)")
                                       .arg(auction->highBidder(), SandboxPages::amount(auction->highMaxCents()));
        rows += QStringLiteral("<tr class=\"%1\">").arg(ended ? QStringLiteral("ended") : QStringLiteral("running")) +
                cell(listing.itemNumber) + cell(listing.title) + cell(clockText(auction->endMs() + clock.offsetMs())) +
                cell(state) + cell(SandboxPages::money(listing.currency, auction->currentPriceCents())) +
                cell(QString::number(auction->bidCount())) + cell(high) + cell(reserve) + QStringLiteral("</tr>\n");
    }
    return rows;
}

QString SandboxStatusPage::bidRows(const SandboxRecorder& recorder, double offsetMs) {
    QString rows;
    const QJsonArray& bids = recorder.bids();
    for (int i = bids.size() - 1; i >= 0; --i) {
        const QJsonObject bid = bids.at(i).toObject();
        const QString currency = bid.value(QStringLiteral("currency")).toString();
        const bool accepted = bid.value(QStringLiteral("accepted")).toBool();
        QString verdict = accepted ? QStringLiteral("accepted") : bid.value(QStringLiteral("reason")).toString();
        if (accepted && bid.value(QStringLiteral("highBidder")).toBool())
            verdict += QStringLiteral(", high bidder");
        QString beforeEnd;
        if (bid.value(QStringLiteral("endTimeMs")).toDouble() > 0.0)
            beforeEnd = QString::number(bid.value(QStringLiteral("msBeforeEnd")).toDouble() / 1000.0, 'f', 3) +
                        QStringLiteral(" s");
        rows +=
            QStringLiteral("<tr class=\"%1\">").arg(accepted ? QStringLiteral("accepted") : QStringLiteral("refused")) +
            cell(QString::number(bid.value(QStringLiteral("seq")).toInt())) +
            cell(clockText(bid.value(QStringLiteral("timeMs")).toDouble() + offsetMs)) +
            cell(bid.value(QStringLiteral("item")).toString()) + cell(bid.value(QStringLiteral("bidder")).toString()) +
            cell(amountText(currency, bid.value(QStringLiteral("amount")).toDouble())) +
            cell(bid.value(QStringLiteral("flow")).toString()) + cell(verdict) + cell(beforeEnd) +
            cell(amountText(currency, bid.value(QStringLiteral("priceAfter")).toDouble())) + QStringLiteral("</tr>\n");
    }
    return rows;
}

QString SandboxStatusPage::mailSection(const SandboxRecorder& recorder, double offsetMs) {
    QString section;
    const QJsonArray& mails = recorder.mails();
    for (int i = mails.size() - 1; i >= 0; --i) {
        const QJsonObject mail = mails.at(i).toObject();
        QStringList to;
        for (const QJsonValue& recipient : mail.value(QStringLiteral("to")).toArray())
            to.append(recipient.toString());
        section += QStringLiteral("<div class=\"mail\"><h3>%1</h3>\n<p>%2 · from %3 to %4</p>\n<pre>%5</pre></div>\n")
                       .arg(SandboxPages::escape(mail.value(QStringLiteral("subject")).toString()),
                            clockText(mail.value(QStringLiteral("timeMs")).toDouble() + offsetMs),
                            SandboxPages::escape(mail.value(QStringLiteral("from")).toString()),
                            SandboxPages::escape(to.join(QStringLiteral(", "))),
                            SandboxPages::escape(mail.value(QStringLiteral("text")).toString()));
    }
    return section;
}

QString SandboxStatusPage::render(SandboxMarket& market, const SandboxRecorder& recorder, const SandboxClock& clock,
                                  quint16 smtpPort) {
    market.advance(); // scripted bids that are due belong in the ledger shown
    const double offset = clock.offsetMs();
    const QString smtp = smtpPort ? QStringLiteral("SMTP on 127.0.0.1:%1").arg(smtpPort)
                                  : QStringLiteral("no SMTP port (start with --smtp-port 0)");
    const QString bids = bidRows(recorder, offset);
    const QString mails = mailSection(recorder, offset);
    QString body;
    body += QStringLiteral("<h1>tollimer-sandbox</h1>\n<p>eBay time %1 (offset %2 s) · %3 · "
                           "<a href=\"/_sandbox/state\">state</a> · <a href=\"/_sandbox/ledger\">ledger</a> · "
                           "<a href=\"/_sandbox/mails\">mails</a> (JSON)</p>\n")
                .arg(clockText(clock.ebayNowMs()), QString::number(offset / 1000.0), smtp);
    body += QStringLiteral("<h2>Auctions</h2>\n<table id=\"auctions\"><tr><th>Item</th><th>Title</th><th>Ends</th>"
                           "<th>State</th><th>Price</th><th>Bids</th><th>High bidder</th><th>Reserve</th></tr>\n") +
            auctionRows(market, clock) + QStringLiteral("</table>\n");
    body += QStringLiteral("<h2>Bids</h2>\n");
    body += bids.isEmpty() ? QStringLiteral("<p id=\"ledger\">No bids yet.</p>\n")
                           : QStringLiteral("<table id=\"ledger\"><tr><th>#</th><th>Time</th><th>Item</th>"
                                            "<th>Bidder</th><th>Maximum</th><th>Flow</th><th>Verdict</th>"
                                            "<th>Before end</th><th>Price after</th></tr>\n") +
                                 bids + QStringLiteral("</table>\n");
    body += QStringLiteral("<h2>Mails</h2>\n<div id=\"mails\">\n") +
            (mails.isEmpty() ? QStringLiteral("<p>No mail received yet.</p>\n") : mails) + QStringLiteral("</div>\n");
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                          "<meta http-equiv=\"refresh\" content=\"3\"><title>tollimer-sandbox status</title>\n"
                          "<style>body{font-family:sans-serif;margin:1em 2em}table{border-collapse:collapse}"
                          "td,th{border:1px solid #ccc;padding:2px 8px;text-align:left;white-space:nowrap}tr.ended{color:#666}"
                          "tr.refused{color:#a00}pre{background:#f4f4f4;padding:6px}</style></head>\n<body>\n") +
           body + QStringLiteral("</body></html>\n");
}
