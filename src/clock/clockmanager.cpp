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
    : QObject(parent) {}

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
    // The digits as held: a value built from eBay's UTC digits carries them whatever its time spec says.
    return QDateTime(time.date(), time.time(), Qt::UTC).toString(timeFormat());
}

void ClockManager::syncTimeAndWait() {
    const QString url = Hosts::origin(Hosts::ShoppingApi) +
                        QStringLiteral("/shopping?callname=GeteBayTime&responseencoding=JSON&appid=%1&siteid=0"
                                       "&version=721")
                            .arg(Hosts::applicationId());
    QNetworkReply* reply = NetworkManager::instance()->get(url);
    m_reply = reply;
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    syncTimeFinished();
}

void ClockManager::connectTick(const QObject* receiver, const char* slot) {
    connect(m_clock.timer(), SIGNAL(timeout()), receiver, slot);
}

void ClockManager::syncTimeFinished() {
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        qCritical().noquote() << "Failed to sync time: " + reply->errorString();
        return;
    }
    const QByteArray body = reply->readAll();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        qCritical().noquote() << "Failed to parse time during sync: " + QString::fromUtf8(body);
        return;
    }
    const QVariantMap root = document.toVariant().toMap();
    const QVariant timestamp = root.value(QStringLiteral("Timestamp"));
    if (timestamp.isNull()) {
        qCritical().noquote() << "Failed to find Timestamp field during sync: " + QString::fromUtf8(body);
        return;
    }
    const QDateTime time = parseEbayTime(timestamp.toString());
    if (!time.isValid()) {
        qCritical().noquote() << "Failed validate parsed time during sync: " + QString::fromUtf8(body);
        return;
    }
    m_clock.start();
    m_clock.setDateTime(time);
}
