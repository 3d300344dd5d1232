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
    // Read as UTC so that no local-time rule (a daylight-saving gap, say) can shift or invalidate eBay's digits.
    QDateTime time = QDateTime::fromString(text.left(19), timeFormat());
    if (time.isValid())
        time.setTimeSpec(Qt::UTC);
    return time;
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
