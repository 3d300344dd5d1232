#include "bidthread.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "itemhelper.h"
#include "networkmanager.h"
#include "proxyfactory.h"
#include "snipescheduler.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QStringList>

#include <functional>

namespace {
const QString placed = QStringLiteral("Placed");
// What ItemHelper reports for a confirmation answer it cannot read: an unknown page, or JSON that does not parse.
const QString unknownAnswer = QStringLiteral("UNKNOWN");
const QString unparsedAnswer = QStringLiteral("Parse Error");
const QString asleep = QStringLiteral("The computer was asleep when the bid was due");
// A jump of the wall clock against the monotonic counter larger than this is a suspend, not drift.
constexpr qint64 sleepJumpMs = 2000;

// A snipe's own cookie jar on the worker thread: starts with a copy of the session's cookies (the session's jar
// belongs to the GUI thread and is not thread-safe) and passes every cookie an answer sets on, so that the
// session's jar gets it too.
class SnipeCookieJar : public QNetworkCookieJar {
public:
    SnipeCookieJar(const QList<QNetworkCookie>& cookies,
                   std::function<void(const QList<QNetworkCookie>&, const QUrl&)> set, QObject* parent)
        : QNetworkCookieJar(parent)
        , m_set(std::move(set)) {
        setAllCookies(cookies);
    }

    bool setCookiesFromUrl(const QList<QNetworkCookie>& cookies, const QUrl& url) override {
        m_set(cookies, url);
        return QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    }

private:
    std::function<void(const QList<QNetworkCookie>&, const QUrl&)> m_set;
};
} // namespace

BidThread::BidThread(const SnipeOrder& order, SnipeScheduler* scheduler, QObject* parent)
    : QObject(parent)
    , m_order(order)
    , m_scheduler(scheduler) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_phase == FirstStep)
            fail(QStringLiteral("eBay did not answer the first step of the bid before the bid was due."));
        else if (m_step)
            (this->*m_step)();
    });
}

BidThread::~BidThread() = default;

qint64 BidThread::nowMs() const {
    return SnipeScheduler::monotonicMs() + m_order.clockOffsetMs;
}

QDateTime BidThread::now() const {
    return QDateTime::fromMSecsSinceEpoch(nowMs(), Qt::UTC);
}

QDateTime BidThread::end() const {
    return QDateTime::fromMSecsSinceEpoch(m_order.endMs, Qt::UTC);
}

bool BidThread::usesHtmlFlow(const QString& domain) {
    // Austria, Belgium (Dutch and French), India, Ireland, Italy, the Netherlands, Spain and Switzerland.
    static const QStringList htmlDomains = {
        QStringLiteral("ebay.at"), QStringLiteral("benl.ebay.be"), QStringLiteral("befr.ebay.be"),
        QStringLiteral("ebay.in"), QStringLiteral("ebay.ie"),      QStringLiteral("ebay.it"),
        QStringLiteral("ebay.nl"), QStringLiteral("ebay.es"),      QStringLiteral("ebay.ch")};
    return htmlDomains.contains(domain);
}

int BidThread::secondsUntilBid(const QDateTime& now, const QDateTime& end, int leadTime, int step1Secs) {
    const qint64 remaining = end.isValid() ? now.msecsTo(end) / 1000 : 0;
    const int lead = leadTime < 1 ? qMax(step1Secs, minimumAutomaticLeadSeconds) : leadTime;
    return int(qMax<qint64>(0, remaining - lead));
}

qint64 BidThread::relationDelayMs(const QDateTime& now, const QDateTime& end, int leadTime) {
    const qint64 afterResult = qint64(qMax(leadTime, 0) + 1) * 1000;
    const qint64 afterEnd = end.isValid() ? now.msecsTo(end) + relationAfterEndMs : 0;
    return qMax(afterResult, afterEnd);
}

QDateTime BidThread::plannedMoment(const QDateTime& end, int leadTime) {
    return end.addSecs(-(leadTime > 0 ? leadTime : minimumAutomaticLeadSeconds));
}

bool BidThread::isVerdict(const QString& relation) {
    for (const char* value : {"NONE", "HIGHBIDDER", "OUTBIDDER"}) {
        if (relation.compare(QLatin1String(value), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void BidThread::run() {
    auto* jar = new SnipeCookieJar(
        m_order.cookies,
        [this](const QList<QNetworkCookie>& cookies, const QUrl& url) {
            emit m_scheduler->cookiesReceived(m_order.serial, cookies, url);
        },
        this);
    m_network = new QNetworkAccessManager(this);
    m_network->setProxyFactory(new ProxyFactory);
    m_network->setCookieJar(jar);
    m_requester = new ItemHelper(this);
    m_requester->setSnipeMode(m_network, m_order.settings.firstStepTimeoutMs);
    connect(m_requester, &ItemHelper::placeBidJsonStep1Finished, this, &BidThread::placeBidJsonStep1Finished);
    connect(m_requester, &ItemHelper::placeBidHtmlStep1Finished, this, &BidThread::placeBidHtmlStep1Finished);
    connect(m_requester, &ItemHelper::placeBidFinished, this, &BidThread::placeBidFinished);
    connect(m_requester, &ItemHelper::getUserItemRelationFinished, this, &BidThread::postBidActions);
    m_wallAtWait = QDateTime::currentMSecsSinceEpoch();
    m_monotonicAtWait = SnipeScheduler::monotonicMs();
    if (m_order.verdictOnly) {
        m_phase = Verdict;
        m_step = &BidThread::getUserItemRelation;
        m_timer.start(int(qMax<qint64>(0, m_order.endMs + relationAfterEndMs - nowMs())));
        return;
    }
    qDebug().noquote() << ClockManager::storeText(now()) << m_order.itemNumber << "Run()";
    armFirstStepDeadline();
    if (m_phase != FirstStep)
        return;
    m_step1StartMs = nowMs();
    if (usesHtmlFlow(m_order.domain)) {
        startHtmlStep1();
        return;
    }
    m_requester->placeBidJsonStep1(m_order.domain, m_order.itemNumber, userBid());
}

// The first steps, fallback included, must be answered before the confirming moment (before the end, for a snipe
// started late); time-outs count inactivity only, and a trickling answer could otherwise outlast the auction.
void BidThread::armFirstStepDeadline() {
    qint64 left = plannedMoment(end(), m_order.leadTime).toMSecsSinceEpoch() - nowMs();
    if (left <= 0)
        left = m_order.endMs - nowMs() - 1000;
    if (left <= 0) {
        fail(QStringLiteral("No time was left to place the bid before the auction's end."));
        return;
    }
    m_timer.start(int(left));
}

void BidThread::startHtmlStep1() {
    m_requester->setTransferTimeout(m_order.settings.firstStepTimeoutMs);
    m_requester->placeBidHtmlStep1(m_order.itemNumber, userBid());
}

void BidThread::placeBidJsonStep1Finished(bool ok, const QString& errorMsg, const QString& stok, const QString& key,
                                          const QString& uiid) {
    if (m_phase != FirstStep)
        return;
    qDebug().noquote() << ClockManager::storeText(now()) << m_order.itemNumber << "placeBidJsonStep1Finished()";
    qDebug().noquote() << "errorMsg:" << errorMsg;
    if (ok && errorMsg == placed) {
        m_stok = stok;
        m_key = key;
        m_uiid = uiid;
        scheduleConfirmation(&BidThread::placeBidJsonStep2);
        return;
    }
    // The quick bid did not give its form: the page flow gets one try within the same deadline.
    startHtmlStep1();
}

void BidThread::placeBidHtmlStep1Finished(bool ok, const QString& errorMsg, const QString& stok, const QString& uiid) {
    if (m_phase != FirstStep)
        return;
    qDebug().noquote() << ClockManager::storeText(now()) << m_order.itemNumber << "placeBidHtmlStep1Finished()";
    qDebug().noquote() << "errorMsg:" << errorMsg;
    if (ok && errorMsg == placed) {
        m_stok = stok;
        m_uiid = uiid;
        scheduleConfirmation(&BidThread::placeBidHtmlStep2);
        return;
    }
    fail(failureText(ok, errorMsg));
}

void BidThread::scheduleConfirmation(void (BidThread::*step)()) {
    const int step1Secs = int((nowMs() - m_step1StartMs) / 1000);
    const int delayMs = secondsUntilBid(now(), end(), m_order.leadTime, step1Secs) * 1000;
    m_phase = Waiting;
    m_step = step;
    m_momentMs = nowMs() + delayMs;
    m_wallAtWait = QDateTime::currentMSecsSinceEpoch();
    m_monotonicAtWait = SnipeScheduler::monotonicMs();
    m_timer.start(delayMs);
    emit m_scheduler->confirmationScheduled(m_order.serial, m_order.itemId, delayMs, m_momentMs);
}

void BidThread::setClockOffset(qint64 offsetMs) {
    m_order.clockOffsetMs = offsetMs;
    m_wallAtWait = QDateTime::currentMSecsSinceEpoch();
    m_monotonicAtWait = SnipeScheduler::monotonicMs();
    if (m_phase == Waiting) {
        if (m_momentMs < nowMs() - sleepJumpMs) {
            fail(asleep);
            return;
        }
        m_timer.start(int(qMax<qint64>(0, m_momentMs - nowMs())));
    } else if (m_phase == Verdict && m_timer.isActive()) {
        m_timer.start(int(qMax<qint64>(0, m_order.endMs + relationAfterEndMs - nowMs())));
    }
}

// The monotonic counter stops while the computer sleeps; the wall clock does not. A confirming timer that fires
// after a suspend the clock has not reported yet must not send a bid after the end.
bool BidThread::sleptThrough() {
    const qint64 jump =
        (QDateTime::currentMSecsSinceEpoch() - m_wallAtWait) - (SnipeScheduler::monotonicMs() - m_monotonicAtWait);
    if (jump < sleepJumpMs)
        return false;
    m_order.clockOffsetMs += jump;
    return m_momentMs < nowMs() - sleepJumpMs;
}

bool BidThread::prepareConfirmation(const char* step) {
    qDebug().noquote() << ClockManager::storeText(now()) << m_order.itemNumber << step;
    if (m_phase != Waiting)
        return false;
    if (sleptThrough()) {
        fail(asleep);
        return false;
    }
    // The user stopped the snipe at this very moment: the stop queued behind this timer ends it.
    if (!m_order.control->claim(SnipeControl::Sent)) {
        qDebug().noquote() << m_order.itemNumber << "stopped as the confirming request was due";
        return false;
    }
    m_phase = Confirming;
    m_requester->setTransferTimeout(m_order.settings.confirmTimeoutMs);
    m_sentMs = nowMs();
    return true;
}

void BidThread::placeBidJsonStep2() {
    if (!prepareConfirmation("placeBidJsonStep2()"))
        return;
    m_requester->placeBidJsonStep2(m_order.domain, m_order.itemNumber, userBid(), m_stok, m_key, m_uiid);
    emit m_scheduler->confirmationSent(m_order.serial, m_sentMs);
}

void BidThread::placeBidHtmlStep2() {
    if (!prepareConfirmation("placeBidHtmlStep2()"))
        return;
    m_requester->placeBidHtmlStep2(m_order.itemNumber, userBid(), m_order.username, m_stok, m_uiid);
    emit m_scheduler->confirmationSent(m_order.serial, m_sentMs);
}

QString BidThread::failureText(bool ok, const QString& errorMsg) const {
    if (ok || m_requester->lastFailure().isEmpty())
        return errorMsg;
    return m_requester->lastFailure();
}

void BidThread::placeBidFinished(bool ok, const QString& errorMsg) {
    if (m_phase != Confirming)
        return;
    qDebug().noquote() << ClockManager::storeText(now()) << m_order.itemNumber << "placeBidFinished()";
    qDebug().noquote() << "errorMsg:" << errorMsg;
    const bool isPlaced = ok && errorMsg == placed;
    // Without a readable answer eBay may still have taken the bid: the verdict asked after the end decides.
    // An HTTP error status is a refusal.
    const bool uncertain =
        !isPlaced &&
        ((!ok && (m_requester->lastFailureUnanswered() || errorMsg == unparsedAnswer)) || errorMsg == unknownAnswer);
    QString message;
    if (!isPlaced) {
        message = failureText(ok, errorMsg);
        if (uncertain)
            message += QStringLiteral("\nThe bid may or may not have been placed; the result check that follows "
                                      "tells.");
    }
    emit m_scheduler->bidFinished(m_order.serial, isPlaced ? BidStatus::Placed : BidStatus::Failed, message, uncertain,
                                  m_sentMs);
    m_phase = Verdict;
    m_step = &BidThread::getUserItemRelation;
    m_timer.start(int(relationDelayMs(now(), end(), m_order.leadTime)));
}

void BidThread::getUserItemRelation() {
    ++m_relationTries;
    m_requester->setTransferTimeout(m_order.settings.relationTimeoutMs);
    m_requester->getUserItemRelation(m_order.itemNumber);
}

void BidThread::postBidActions(bool ok, const QString& relation) {
    if (m_phase != Verdict)
        return;
    const bool verdict = ok && isVerdict(relation);
    if (!verdict) {
        qCritical().noquote() << m_order.itemNumber << "no verdict in the viewer relation answer:"
                              << (ok ? relation : m_requester->lastFailure());
        if (m_relationTries < m_order.settings.relationTries) {
            m_timer.start(m_order.settings.relationRetryMs);
            return;
        }
    }
    emit m_scheduler->relationReceived(m_order.serial, verdict, verdict ? relation : QString());
    finish();
}

void BidThread::stop(const QString& reason) {
    if (m_phase != FirstStep && m_phase != Waiting)
        return;
    qDebug().noquote() << m_order.itemNumber << "stopped before the confirming request:"
                       << (reason.isEmpty() ? QStringLiteral("cancelled") : reason);
    if (!reason.isEmpty()) {
        fail(reason);
        return;
    }
    emit m_scheduler->snipeStopped(m_order.serial);
    finish();
}

void BidThread::fail(const QString& message) {
    qCritical().noquote() << m_order.itemNumber << "bid failed:" << message;
    emit m_scheduler->snipeFailed(m_order.serial, message);
    finish();
}

void BidThread::finish() {
    if (m_phase == Done)
        return;
    m_phase = Done;
    m_timer.stop();
    emit m_scheduler->ended(m_order.serial);
    deleteLater();
}
