#include "clockmanager.h"

#include "hosts.h"
#include "networkmanager.h"

#include <QDebug>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkReply>
#include <QTimer>
#include <QVariantMap>

ClockManager* ClockManager::instance() {
    static ClockManager clock;
    return &clock;
}

ClockManager::ClockManager(QObject* parent)
    : QObject(parent)
    , m_retry(new QTimer(this)) {
    m_retry->setSingleShot(true);
    connect(m_retry, &QTimer::timeout, this, &ClockManager::syncTime);
}

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

QNetworkReply* ClockManager::sendSyncRequest() {
    if (m_reply) {
        // A request is still out; its answer will do.
        return m_reply;
    }
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
    QNetworkReply* reply = sendSyncRequest();
    if (!reply->isFinished()) {
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    syncTimeFinished();
}

void ClockManager::syncTime() {
    sendSyncRequest();
}

void ClockManager::connectTick(const QObject* receiver, const char* slot) {
    connect(m_clock.timer(), SIGNAL(timeout()), receiver, slot);
}

void ClockManager::syncTimeFinished() {
    QNetworkReply* reply = m_reply;
    if (!reply)
        return; // already taken (the waiting start-up call and the finished signal both lead here)
    m_reply = nullptr;
    reply->deleteLater();
    const qint64 roundTrip = m_roundTrip.elapsed();
    const bool ok = takeAnswer(reply, roundTrip);
    if (ok) {
        m_roundTripMs = roundTrip;
        qDebug().noquote() << QStringLiteral("Clock synchronised with eBay, round trip %1 ms").arg(roundTrip);
    } else {
        qCritical().noquote()
            << QStringLiteral("Clock not synchronised; next attempt in %1 s").arg(retryIntervalMs / 1000);
    }
    // Without eBay's time the tick still runs, on the computer's UTC time: a scheduled snipe fires a little off
    // rather than never.
    m_clock.start();
    m_retry->start(ok ? resyncIntervalMs : retryIntervalMs);
    if (ok)
        setSynchronised(true);
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
    m_clock.setDateTime(time.addMSecs(m_roundTrip.elapsed() - roundTripMs / 2));
    return true;
}

void ClockManager::setSynchronised(bool synchronised) {
    if (m_synchronised == synchronised)
        return;
    m_synchronised = synchronised;
    emit synchronisationChanged(synchronised);
}
