#include "versionchecker.h"

#include "hosts.h"
#include "messages.h"
#include "networkmanager.h"
#include "texthelpers.h"
#include "updatedialog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QNetworkReply>

VersionChecker::VersionChecker(QObject* parent)
    : QObject(parent) {}

QNetworkReply* VersionChecker::requestVersionXml() const {
    return NetworkManager::instance()->get(Hosts::versionUrl());
}

QString VersionChecker::publishedVersion(const QString& versionXml) {
    return extractBetween(versionXml, QStringLiteral("<Tollimer4Ver>"), QStringLiteral("</Tollimer4Ver>")).trimmed();
}

void VersionChecker::checkVersion() {
    m_reply = requestVersionXml();
    connect(m_reply, SIGNAL(finished()), this, SLOT(versionXmlDownloaded()));
}

void VersionChecker::versionXmlDownloaded() {
    QNetworkReply* reply = qobject_cast<QNetworkReply*>(sender());
    if (!reply)
        return;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << "Version check failed:" << reply->errorString();
        return;
    }
    // A page without the version element (an error page, a captive portal) says nothing about updates.
    const QString published = publishedVersion(NetworkManager::replyText(reply));
    if (published.isEmpty() || published == QCoreApplication::applicationVersion())
        return;
    qDebug() << "Published version:" << published;
    UpdateDialog dialog(nullptr);
    dialog.exec();
}

QString VersionChecker::downloadVersionXml() {
    QNetworkReply* reply = requestVersionXml();
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        qDebug() << "Version check failed:" << reply->errorString();
        return QString();
    }
    return NetworkManager::replyText(reply);
}

bool VersionChecker::isNewVersionAvailable() {
    const QString published = publishedVersion(downloadVersionXml());
    m_versionKnown = !published.isEmpty();
    return m_versionKnown && published != QCoreApplication::applicationVersion();
}

void VersionChecker::checkForUpdate(QWidget* parent) {
    VersionChecker checker;
    if (checker.isNewVersionAvailable()) {
        UpdateDialog dialog(nullptr);
        dialog.exec();
    } else if (!checker.versionKnown()) {
        Messages::warning(parent, QCoreApplication::translate("VersionChecker", "Update Check Failed"),
                          QCoreApplication::translate("VersionChecker",
                                                      "The latest version of Tollimer could not be read. Please "
                                                      "try again later."));
    } else {
        Messages::information(
            parent, QCoreApplication::translate("VersionChecker", "No Update Available"),
            QCoreApplication::translate("VersionChecker", "You already have the latest version of Tollimer."));
    }
}
