#include "clockmanager.h"

#include "hosts.h"
#include "networkmanager.h"
#include "sntpclient.h"

#include <QDebug>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>
#include <QVariantMap>

ClockManager* ClockManager::instance() {
    static ClockManager clock;
    return &clock;
}

ClockManager::ClockManager(QObject* parent)
    : QObject(parent)
    , m_retry(new QTimer(this))
    , m_sntp(new SntpClient(this)) {
    m_monotonic.start();
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &ClockManager::syncTime);
    connect(m_sntp, &SntpClient::finished, this, &ClockManager::timeServersFinished);
    // Connected before anyone else's slot, so that the window and the engine see the clock already corrected.
    connect(m_clock.timer(), &QTimer::timeout, this, &ClockManager::checkForJump);
}

ClockManager::~ClockManager() = default;

QDateTime ClockManager::parseEbayTime(const QString& text) {
    // Built as UTC from the start: read as local time first, a digit time inside a daylight-saving gap would come
    // out invalid or shifted.
    const QString digits = text.left(19);
    if (digits.size() != 19 || digits.at(10) != QLatin1Char('T'))
        return QDateTime();
    const QDate date = QDate::fromString(digits.left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(digits.mid(11), QStringLiteral("hh:mm:ss"));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

QString ClockManager::storeText(const QDateTime& time) {
    if (!time.isValid())
        return QString();
    // The digits as held: a value built from eBay's UTC digits carries them whatever its Qt::TimeSpec says.
    return QDateTime(time.date(), time.time(), Qt::UTC).toString(timeFormat());
}

QDateTime ClockManager::parseEbayTimestamp(const QString& text) {
    const QDateTime whole = parseEbayTime(text);
    if (!whole.isValid() || text.size() < 21 || text.at(19) != QLatin1Char('.'))
        return whole;
    // The fraction's first three digits, whatever number of digits eBay writes.
    int ms = 0;
    int scale = 100;
    for (int i = 20; i < text.size() && i < 23 && text.at(i).isDigit(); ++i, scale /= 10)
        ms += text.at(i).digitValue() * scale;
    return whole.addMSecs(ms);
}

QDateTime ClockManager::parseHttpDate(const QByteArray& text) {
    // The weekday is left out: Qt would refuse a date whose weekday it computes otherwise, and eBay's is right.
    const QString value = QString::fromLatin1(text).simplified();
    const QString rest = value.mid(value.indexOf(QRegularExpression(QStringLiteral("[ ,]"))) + 1).trimmed();
    for (const char* format : {"dd MMM yyyy hh:mm:ss 'GMT'", "dd-MMM-yy hh:mm:ss 'GMT'", "MMM d hh:mm:ss yyyy"}) {
        QDateTime time = QLocale::c().toDateTime(rest, QString::fromLatin1(format));
        if (time.isValid()) {
            if (time.date().year() < 1970) // the two-digit years of the oldest form
                time = time.addYears(100);
            return QDateTime(time.date(), time.time(), Qt::UTC);
        }
    }
    return QDateTime();
}

QStringList ClockManager::timeServers() {
    QSettings settings(QStringLiteral("Tollimer"), QStringLiteral("eBay Auction Sniper"));
    const QString key = QStringLiteral("Clock/timeServers");
    if (!settings.contains(key))
        return Hosts::sandboxMode() ? QStringList() : QStringList{QStringLiteral("pool.ntp.org")};
    QStringList servers;
    for (const QString& entry : settings.value(key).toStringList()) {
        for (const QString& part : entry.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            servers << part.trimmed();
    }
    return servers;
}

QNetworkReply* ClockManager::sendSyncRequest() {
    const QString url = Hosts::origin(Hosts::ShoppingApi) +
                        QStringLiteral("/shopping?callname=GeteBayTime&responseencoding=JSON&appid=%1&siteid=0"
                                       "&version=721")
                            .arg(Hosts::applicationId());
    m_roundTrip.start();
    QNetworkReply* reply = NetworkManager::instance()->get(url, requestTimeoutMs);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, &ClockManager::syncTimeFinished);
    return reply;
}

void ClockManager::syncTimeAndWait() {
    syncTime();
    if (!m_busy)
        return;
    QEventLoop loop;
    connect(this, &ClockManager::syncAttemptFinished, &loop, &QEventLoop::quit);
    loop.exec();
}

void ClockManager::syncTime() {
    if (m_busy)
        return; // the attempt under way will do
    m_busy = true;
    m_dateTime = QDateTime();
    sendSyncRequest();
}

void ClockManager::connectTick(const QObject* receiver, const char* slot) {
    connect(m_clock.timer(), SIGNAL(timeout()), receiver, slot);
}

void ClockManager::syncTimeFinished() {
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    reply->deleteLater();
    const qint64 roundTrip = m_roundTrip.elapsed();
    if (takeAnswer(reply, roundTrip)) {
        qDebug().noquote() << QStringLiteral("Clock synchronised with eBay, round trip %1 ms").arg(roundTrip);
        finishAttempt(true);
        return;
    }
    takeDateHeader(reply, roundTrip);
    m_sntp->query(timeServers());
}

void ClockManager::timeServersFinished(bool ok) {
    if (!m_busy)
        return;
    if (ok) {
        m_timeServer = m_sntp->server();
        adopt(Source::TimeServer, QDateTime::fromMSecsSinceEpoch(m_sntp->serverTimeNowMs(), Qt::UTC),
              m_sntp->roundTripMs());
        qDebug().noquote() << QStringLiteral("Clock synchronised with time server %1, round trip %2 ms")
                                  .arg(m_timeServer)
                                  .arg(m_roundTripMs);
    } else if (m_dateTime.isValid()) {
        adopt(Source::HttpDate, m_dateTime.addMSecs(m_monotonic.elapsed() - m_dateTakenAt), m_dateRoundTripMs);
        qDebug().noquote() << "Clock synchronised with the Date header of eBay's answer (to the second)";
    }
    finishAttempt(ok || m_dateTime.isValid());
}

void ClockManager::finishAttempt(bool ok) {
    if (!ok) {
        qCritical().noquote()
            << QStringLiteral("Clock not synchronised; next attempt in %1 s").arg(retryIntervalMs / 1000);
    }
    // Without a source the tick still runs, on the computer's UTC time: a scheduled snipe fires a little off rather
    // than never.
    m_clock.start();
    m_retry->start(!ok ? retryIntervalMs : m_source == Source::HttpDate ? coarseResyncIntervalMs : resyncIntervalMs);
    m_busy = false;
    if (ok)
        setSynchronised(true);
    emit statusChanged();
    emit syncAttemptFinished();
}

void ClockManager::adopt(Source source, const QDateTime& time, qint64 roundTripMs) {
    m_clock.setDateTime(time);
    m_source = source;
    m_roundTripMs = roundTripMs;
}

bool ClockManager::takeAnswer(QNetworkReply* reply, qint64 roundTripMs) {
    if (reply->error() != QNetworkReply::NoError) {
        qCritical().noquote() << "Failed to sync time: " + reply->errorString();
        return false;
    }
    const QByteArray body = reply->readAll();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        qCritical().noquote() << "Failed to parse time during sync: " + QString::fromUtf8(body);
        return false;
    }
    const QVariantMap root = document.toVariant().toMap();
    const QVariant timestamp = root.value(QStringLiteral("Timestamp"));
    if (timestamp.isNull()) {
        qCritical().noquote() << "Failed to find Timestamp field during sync: " + QString::fromUtf8(body);
        return false;
    }
    const QDateTime time = parseEbayTimestamp(timestamp.toString());
    if (!time.isValid()) {
        qCritical().noquote() << "Failed validate parsed time during sync: " + QString::fromUtf8(body);
        return false;
    }
    // eBay stamped its answer about half a round trip after the request left; what has passed since counts too.
    adopt(Source::Ebay, time.addMSecs(m_roundTrip.elapsed() - roundTripMs / 2), roundTripMs);
    return true;
}

void ClockManager::takeDateHeader(QNetworkReply* reply, qint64 roundTripMs) {
    const QDateTime date = parseHttpDate(reply->rawHeader("Date"));
    if (!date.isValid())
        return;
    // The header is cut to the whole second, so eBay's time lay somewhere in the second after it: its middle is
    // the best guess. Then, as for eBay's own stamp, half the round trip.
    m_dateTime = date.addMSecs(500 + roundTripMs / 2);
    m_dateTakenAt = m_monotonic.elapsed() - (m_roundTrip.elapsed() - roundTripMs);
    m_dateRoundTripMs = roundTripMs;
}

void ClockManager::checkForJump() {
    const qint64 lost = m_clock.takeLostMs();
    if (lost <= jumpThresholdMs)
        return;
    m_clock.setDateTime(m_clock.currentDateTime().addMSecs(lost));
    qWarning().noquote() << QStringLiteral("The clock lost %1 s (the computer slept); synchronising again")
                                .arg(double(lost) / 1000.0, 0, 'f', 1);
    emit clockJumped(lost);
    m_retry->stop();
    syncTime();
}

qint64 ClockManager::computerOffsetMs() const {
    return QDateTime::currentDateTimeUtc().msecsTo(currentDateTime());
}

QString ClockManager::sourceText() const {
    switch (m_source) {
    case Source::Ebay:
        return tr("eBay");
    case Source::TimeServer:
        return tr("time server %1").arg(m_timeServer);
    case Source::HttpDate:
        return tr("eBay's Date header (to the second)");
    case Source::Computer:
        break;
    }
    return tr("this computer's clock");
}

QString ClockManager::statusText() const {
    if (m_source == Source::Computer)
        return tr("Clock: this computer's clock, retrying eBay and the time servers");
    const qint64 offset = computerOffsetMs();
    if (qAbs(offset) < 50)
        return tr("Clock: %1; this computer's clock is right").arg(sourceText());
    const QString seconds = QLocale().toString(double(qAbs(offset)) / 1000.0, 'f', 1);
    return offset > 0 ? tr("Clock: %1; this computer is %2 s behind").arg(sourceText(), seconds)
                      : tr("Clock: %1; this computer is %2 s ahead").arg(sourceText(), seconds);
}

void ClockManager::setSynchronised(bool synchronised) {
    if (m_synchronised == synchronised)
        return;
    m_synchronised = synchronised;
    emit synchronisationChanged(synchronised);
}
