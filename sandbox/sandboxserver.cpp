#include "sandboxserver.h"

#include "sandboxconnection.h"
#include "sandboxpages.h"
#include "sandboxparameters.h"
#include "sandboxstatuspage.h"

#include <QJsonDocument>
#include <QPointer>
#include <QTimer>

SandboxServer::SandboxServer(QObject* parent)
    : QObject(parent)
    , m_market(&m_clock, &m_recorder)
    , m_site(&m_clock, &m_market, &m_sessions)
    , m_smtp(&m_clock, &m_recorder)
    , m_ntp(&m_clock) {
    connect(&m_tcpServer, &QTcpServer::newConnection, this, &SandboxServer::onNewConnection);
    m_recorder.setEventSink([this](const QString& line) { emit happened(line); });
    m_watchTimer.setInterval(250);
    connect(&m_watchTimer, &QTimer::timeout, this, &SandboxServer::watchAuctions);
    m_watchTimer.start();
}

void SandboxServer::watchAuctions() {
    const double now = m_clock.nowMs();
    for (const SandboxAuction* auction : m_market.auctions()) {
        if (!auction->isAuction() || !auction->isEnded(now) || m_announcedEnds.contains(auction->itemNumber()))
            continue;
        m_announcedEnds.insert(auction->itemNumber());
        const SandboxScenario::Auction& listing = auction->listing();
        const QString winner = auction->winner(now);
        QString outcome;
        if (!winner.isEmpty())
            outcome = QStringLiteral("won by %1 at %2")
                          .arg(winner, SandboxPages::money(listing.currency, auction->currentPriceCents()));
        else if (auction->bidCount() > 0)
            outcome = QStringLiteral("no winner, reserve not met (high bidder %1)").arg(auction->highBidder());
        else
            outcome = QStringLiteral("no winner, no bids");
        m_recorder.event(QStringLiteral("end %1 \"%2\": %3").arg(listing.itemNumber, listing.title, outcome));
    }
}

bool SandboxServer::listen(quint16 port) {
    return m_tcpServer.listen(QHostAddress::LocalHost, port);
}

void SandboxServer::loadScenario(const SandboxScenario& scenario) {
    m_announcedEnds.clear();
    m_market.load(scenario);
    m_sessions.setUsers(scenario.users);
    m_site.resetPreferences();
}

void SandboxServer::resetScenario() {
    m_announcedEnds.clear();
    m_market.reset();
    m_sessions.clearTokens();
    m_site.resetPreferences();
}

void SandboxServer::onNewConnection() {
    while (QTcpSocket* socket = m_tcpServer.nextPendingConnection())
        new SandboxConnection(socket, this, &m_clock, ++m_connections);
}

QByteArray SandboxServer::garble(const QByteArray& body) {
    return body.left(body.size() / 2) + QByteArray("\n<<tollimer-sandbox: malformed>>{\"", 35);
}

void SandboxServer::serve(SandboxConnection* connection, const SandboxHttpRequest& request) {
    // "/_sandbox" alone is the status page too, as a person types it into a browser.
    if (!request.absoluteForm &&
        (request.path.startsWith(QStringLiteral("/_sandbox/")) || request.path == QStringLiteral("/_sandbox"))) {
        bool quit = false;
        connection->respond(control(request, &quit));
        if (quit)
            QTimer::singleShot(0, this, &SandboxServer::quitRequested);
        return;
    }
    const QString endpoint = SandboxSite::endpointFor(request);
    const int seq = m_recorder.logRequest(request, endpoint);
    const QString unknown = SandboxParameters::unknown(request, endpoint);
    if (!unknown.isEmpty()) {
        connection->respond(SandboxHttpResponse::text(
            QStringLiteral("tollimer-sandbox: %1 takes no parameter \"%2\"\n").arg(endpoint, unknown), 400));
        return;
    }
    SandboxFaults::Fault fault;
    const bool faulty = m_faults.take(endpoint, &fault);
    QPointer<SandboxConnection> target(connection);
    auto answer = [this, target, request, endpoint, seq, faulty, fault]() {
        if (!target)
            return;
        if (faulty && fault.drop) {
            target->drop();
            return;
        }
        if (faulty && fault.status != 0) {
            target->respond(SandboxHttpResponse::text(
                QStringLiteral("tollimer-sandbox: injected status %1\n").arg(fault.status), fault.status));
            return;
        }
        if (faulty && !fault.answer.isEmpty()) {
            target->respond(SandboxHttpResponse::text(fault.answer, 200));
            return;
        }
        SandboxHttpResponse response = m_site.handle(request, endpoint, seq);
        if (faulty && fault.silent)
            return; // the connection stays open until the client gives up
        if (faulty && fault.malformed)
            response.body = garble(response.body);
        target->respond(response);
    };
    if (faulty && fault.latencyMs > 0.0)
        QTimer::singleShot(int(fault.latencyMs + 0.5), Qt::PreciseTimer, connection, answer);
    else
        answer();
}

SandboxHttpResponse SandboxServer::control(const SandboxHttpRequest& request, bool* quit) {
    const QString what = request.path.mid(QStringLiteral("/_sandbox/").size());
    const QByteArray method = request.method;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &parseError);
    const QJsonObject body = document.object();
    auto ok = []() { return SandboxHttpResponse::json(QJsonObject{{QStringLiteral("ok"), true}}); };
    auto bad = [](const QString& error, int status = 400) {
        return SandboxHttpResponse::json(QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}},
                                         status);
    };
    const bool wantsBody = method == "POST" && what != QStringLiteral("reset") && what != QStringLiteral("quit");
    if (wantsBody && !document.isObject())
        return bad(QStringLiteral("the body must be a JSON object: ") + parseError.errorString());

    if (what.isEmpty() || what == QStringLiteral("status")) {
        if (method == "GET")
            return SandboxHttpResponse::html(SandboxStatusPage::render(m_market, m_recorder, m_clock, smtpPort()));
    } else if (what == QStringLiteral("mails")) {
        if (method == "GET")
            return SandboxHttpResponse::json(m_recorder.mailsJson());
        if (method == "DELETE") {
            m_recorder.clearMails();
            return ok();
        }
    } else if (what == QStringLiteral("log")) {
        if (method == "GET")
            return SandboxHttpResponse::json(m_recorder.logJson());
        if (method == "DELETE") {
            m_recorder.clearLog();
            return ok();
        }
    } else if (what == QStringLiteral("ledger")) {
        if (method == "GET") {
            m_market.advance();
            return SandboxHttpResponse::json(m_recorder.ledgerJson());
        }
    } else if (what == QStringLiteral("state")) {
        if (method == "GET")
            return SandboxHttpResponse::json(m_market.stateJson());
    } else if (what == QStringLiteral("scenario")) {
        if (method == "POST") {
            SandboxScenario scenario;
            QString error;
            if (!SandboxScenario::parse(request.body, &scenario, &error))
                return bad(error);
            loadScenario(scenario);
            return ok();
        }
    } else if (what == QStringLiteral("browse")) {
        QString error;
        if (method == "POST" && !m_site.browse().configure(body, &error))
            return bad(error);
        if (method == "GET" || method == "POST")
            return SandboxHttpResponse::json(m_site.browse().stateJson());
    } else if (what == QStringLiteral("reset")) {
        if (method == "POST") {
            resetScenario();
            return ok();
        }
    } else if (what == QStringLiteral("fault")) {
        if (method == "POST") {
            QString error;
            const bool ntp = body.value(QStringLiteral("endpoint")).toString() == QStringLiteral("Ntp");
            if (!(ntp ? m_ntp.setFault(body, &error) : m_faults.set(body, &error)))
                return bad(error);
            return ok();
        }
        if (method == "DELETE") {
            m_faults.clear();
            m_ntp.clearFault();
            return ok();
        }
        if (method == "GET") {
            QJsonObject faults = m_faults.toJson();
            faults[QStringLiteral("ntp")] = m_ntp.faultJson();
            return SandboxHttpResponse::json(faults);
        }
    } else if (what == QStringLiteral("clock")) {
        if (method == "POST") {
            if (!body.value(QStringLiteral("offsetMs")).isDouble())
                return bad(QStringLiteral("offsetMs must be a number"));
            m_clock.setOffsetMs(body.value(QStringLiteral("offsetMs")).toDouble());
            return ok();
        }
    } else if (what == QStringLiteral("bid")) {
        if (method == "POST") {
            const QString item = body.value(QStringLiteral("item")).toVariant().toString();
            const QString bidder = body.value(QStringLiteral("bidder")).toString();
            const double amount = body.value(QStringLiteral("amount")).toDouble();
            if (item.isEmpty() || bidder.isEmpty() || amount <= 0.0)
                return bad(QStringLiteral("a bid needs item, bidder and an amount above 0"));
            SandboxMarket::Offer offer;
            offer.itemNumber = item;
            offer.bidder = bidder;
            offer.amountCents = SandboxScenario::toCents(amount);
            offer.flow = QStringLiteral("control");
            offer.atMs = m_clock.nowMs();
            const SandboxMarket::Verdict verdict = m_market.bid(offer);
            QJsonObject answer{{QStringLiteral("ok"), true},
                               {QStringLiteral("accepted"), verdict.accepted},
                               {QStringLiteral("reason"), verdict.reason}};
            if (verdict.auction)
                answer[QStringLiteral("auction")] = verdict.auction->stateJson(m_clock.nowMs(), m_clock.offsetMs());
            return SandboxHttpResponse::json(answer);
        }
    } else if (what == QStringLiteral("quit")) {
        if (method == "POST") {
            *quit = true;
            return ok();
        }
    } else {
        return bad(QStringLiteral("no control request ") + request.path, 404);
    }
    return bad(QStringLiteral("method not allowed for ") + request.path, 405);
}
