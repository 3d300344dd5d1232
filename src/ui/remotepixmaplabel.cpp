#include "remotepixmaplabel.h"

#include "networkmanager.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPixmap>

RemotePixmapLabel::RemotePixmapLabel(QWidget* parent)
    : QLabel(parent) {}

RemotePixmapLabel::RemotePixmapLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent) {}

void RemotePixmapLabel::load(const QString& url) {
    if (!m_manager) {
        m_manager = new QNetworkAccessManager(this);
        NetworkManager::instance()->configure(m_manager);
        connect(m_manager, SIGNAL(finished(QNetworkReply*)), this, SLOT(pixmapReceived(QNetworkReply*)));
    }
    m_manager->get(NetworkManager::buildRequest(url));
}

void RemotePixmapLabel::pixmapReceived(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError)
        return;
    const QByteArray body = reply->readAll();
    QPixmap pixmap;
    if (body.isEmpty() || !pixmap.loadFromData(body))
        return;
    setPixmap(pixmap);
    emit pixmapLoaded();
}
