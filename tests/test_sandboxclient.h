#pragma once

#include "testrow.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

// Talks to a running tollimer-sandbox the way the program does: one network access manager with the sandbox as
// its HTTP proxy and one cookie jar, plain http URLs of the real hosts. Used by the sandbox's token tests only.
class SandboxTestClient {
public:
    struct Answer {
        QByteArray body;
        QString text() const { return QString::fromUtf8(body); }
        QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
    };

    // The two steps of a bid; the JSON flow carries a key, the HTML flow leaves it empty.
    struct Tokens {
        QString stok;
        QString key;
        QString uiid;
    };

    explicit SandboxTestClient(quint16 port) {
        m_manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port));
    }

    Answer get(const QString& url) { return send(QByteArrayLiteral("GET"), url, {}); }
    Answer post(const QString& url, const QByteArray& body) { return send(QByteArrayLiteral("POST"), url, body); }

    // The value attribute of the named input of a page, written name-first or value-first.
    static QString inputValue(const QString& page, const QString& name) {
        for (const QString& form :
             {QStringLiteral("name=\"%1\" value=\"([^\"]*)\""), QStringLiteral("value=\"([^\"]*)\" name=\"%1\"")}) {
            const QRegularExpressionMatch match = QRegularExpression(form.arg(name)).match(page);
            if (match.hasMatch())
                return match.captured(1);
        }
        return QString();
    }

    static QString encoded(const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(value)); }

    // Fetches the sign-in page of the host and posts the form with the srt that page issued.
    Answer signIn(const QString& domain, const QString& user, const QString& password) {
        const QString page = get(QStringLiteral("http://signin.%1/ws/eBayISAPI.dll?SignIn").arg(domain)).text();
        const QString form = QStringLiteral("userid=%1&pass=%2&srt=%3")
                                 .arg(encoded(user), encoded(password), encoded(inputValue(page, "srt")));
        return post(QStringLiteral("http://signin.%1/ws/eBayISAPI.dll?co_partnerId=2&siteid=3&UsingSSL=1").arg(domain),
                    form.toLatin1());
    }

    // First step on ebay.co.uk: the JSON flow's quick-bid form or the HTML flow's bid page.
    Tokens bidStep1(bool json, const QString& item, const QString& maxbid, Answer* answer = nullptr) {
        const QString url = json ? "http://offer.ebay.co.uk/ws/eBayISAPI.dll?MakeQuickBid&mode=0&flow=bm&item=%1"
                                   "&maxbid=%2&isbypassjson=1"
                                 : "http://offer.ebay.co.uk/ws/eBayISAPI.dll?MakeBid&item=%1&maxbid=%2";
        const Answer page = get(url.arg(item, maxbid));
        if (answer)
            *answer = page;
        return {inputValue(page.text(), "stok"), json ? inputValue(page.text(), "key") : QString(),
                inputValue(page.text(), "uiid")};
    }

    // The confirming step; encode=false puts the tokens on the wire as they stand, as a careless client would.
    Answer bidStep2(bool json, const QString& item, const QString& maxbid, const Tokens& tokens,
                    const QString& user = "sniper_uk", bool encode = true) {
        const auto wire = [encode](const QString& value) { return encode ? encoded(value) : value; };
        const QString url = json ? "http://offer.ebay.co.uk/ws/eBayISAPI.dll?MakeQuickBid&mode=1&flow=bm&item=%1"
                                   "&maxbid=%2&stok=%3&key=%5&uiid=%4&f=json"
                                 : "http://offer.ebay.co.uk/ws/eBayISAPI.dll?MfcISAPICommand=MakeBid&hmid=&item=%1"
                                   "&maxbid=%2&javascriptenabled=1&stok=%3&mid=&mode=1&quant=1&uiid=%4&user=%5";
        return get(
            url.arg(item, maxbid, wire(tokens.stok), wire(tokens.uiid), json ? wire(tokens.key) : encoded(user)));
    }

private:
    Answer send(const QByteArray& method, const QString& url, const QByteArray& body) {
        QNetworkRequest request(QUrl::fromEncoded(url.toLatin1(), QUrl::TolerantMode));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
        QNetworkReply* reply = m_manager.sendCustomRequest(request, method, body);
        if (!reply->isFinished())
            QSignalSpy(reply, &QNetworkReply::finished).wait(15000);
        // An answer that never came reads as an empty page, which every check of a test refuses.
        const Answer answer{reply->isFinished() ? reply->readAll() : QByteArray()};
        delete reply;
        return answer;
    }

    QNetworkAccessManager m_manager;
};
