#pragma once

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

// Talks to a running tollimer-sandbox the way the program does: one network access manager with the sandbox as
// its HTTP proxy and one cookie jar, plain http URLs of the real hosts. Used by the sandbox's own tests only.
class SandboxTestClient {
public:
    struct Answer {
        QNetworkReply::NetworkError error = QNetworkReply::NoError;
        int status = 0;
        QByteArray body;
        QList<QByteArray> setCookies;
        QString text() const { return QString::fromUtf8(body); }
    };

    explicit SandboxTestClient(quint16 port) {
        m_manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), port));
    }

    QNetworkAccessManager& manager() { return m_manager; }

    Answer get(const QString& url) { return send(QByteArrayLiteral("GET"), url, {}); }
    Answer post(const QString& url, const QByteArray& body) { return send(QByteArrayLiteral("POST"), url, body); }

    Answer send(const QByteArray& method, const QString& url, const QByteArray& body) {
        QNetworkRequest request(QUrl::fromEncoded(url.toLatin1(), QUrl::TolerantMode));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
        QNetworkReply* reply = m_manager.sendCustomRequest(request, method, body);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
        Answer answer;
        if (!reply->isFinished()) {
            reply->abort();
            answer.error = QNetworkReply::TimeoutError;
        } else {
            answer.error = reply->error();
        }
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.body = reply->readAll();
        for (const auto& header : reply->rawHeaderPairs()) {
            if (header.first.compare("Set-Cookie", Qt::CaseInsensitive) == 0)
                answer.setCookies += header.second.split('\n');
        }
        delete reply;
        return answer;
    }

    // The value attribute of the named input of a page, written name-first or value-first.
    static QString inputValue(const QString& page, const QString& name) {
        const QRegularExpression nameFirst(QStringLiteral("name=\"%1\" value=\"([^\"]*)\"").arg(name));
        const QRegularExpression valueFirst(QStringLiteral("value=\"([^\"]*)\" name=\"%1\"").arg(name));
        QRegularExpressionMatch match = nameFirst.match(page);
        if (!match.hasMatch())
            match = valueFirst.match(page);
        return match.hasMatch() ? match.captured(1) : QString();
    }

    static QString encoded(const QString& value) { return QString::fromLatin1(QUrl::toPercentEncoding(value)); }

    // Fetches the sign-in page of the host and posts the form with the page's own hidden values.
    Answer signIn(const QString& domain, const QString& user, const QString& password, int siteId = 3) {
        const Answer page = get(QStringLiteral("http://signin.%1/ws/eBayISAPI.dll?SignIn").arg(domain));
        const QString text = page.text();
        QString form = QStringLiteral("MfcISAPICommand=SignInWelcome&lse=false&siteid=3&co_partnerId=2&UsingSSL=1"
                                      "&i1=-1&pageType=-1&userid=%1&pass=%2&keepMeSignInOption=1"
                                      "&keepMeSignInOptio2=1&keepMeSignInOptio3=1&mid=%3&srt=%4&runId2=%5")
                           .arg(encoded(user), encoded(password), encoded(inputValue(text, QStringLiteral("mid"))),
                                encoded(inputValue(text, QStringLiteral("srt"))),
                                encoded(inputValue(text, QStringLiteral("runId2"))));
        return post(QStringLiteral("http://signin.%1/ws/eBayISAPI.dll?co_partnerId=2&siteid=%2&UsingSSL=1")
                        .arg(domain)
                        .arg(siteId),
                    form.toLatin1());
    }

    struct Tokens {
        QString stok;
        QString key;
        QString uiid;
    };

    Tokens quickBidStep1(const QString& domain, const QString& item, const QString& maxbid, Answer* answer = nullptr) {
        const Answer page =
            get(QStringLiteral(
                    "http://offer.%1/ws/eBayISAPI.dll?MakeQuickBid&mode=0&flow=bm&item=%2&maxbid=%3&isbypassjson=1")
                    .arg(domain, item, maxbid));
        if (answer)
            *answer = page;
        return {inputValue(page.text(), QStringLiteral("stok")), inputValue(page.text(), QStringLiteral("key")),
                inputValue(page.text(), QStringLiteral("uiid"))};
    }

    Answer quickBidStep2(const QString& domain, const QString& item, const QString& maxbid, const Tokens& tokens) {
        return get(QStringLiteral("http://offer.%1/ws/eBayISAPI.dll?MakeQuickBid&mode=1&flow=bm&item=%2&maxbid=%3"
                                  "&stok=%4&key=%5&uiid=%6&f=json")
                       .arg(domain, item, maxbid, encoded(tokens.stok), encoded(tokens.key), encoded(tokens.uiid)));
    }

    Tokens makeBidStep1(const QString& item, const QString& maxbid, Answer* answer = nullptr) {
        const Answer page =
            get(QStringLiteral("http://offer.ebay.co.uk/ws/eBayISAPI.dll?MakeBid&item=%1&maxbid=%2").arg(item, maxbid));
        if (answer)
            *answer = page;
        return {inputValue(page.text(), QStringLiteral("stok")), QString(),
                inputValue(page.text(), QStringLiteral("uiid"))};
    }

    Answer makeBidStep2(const QString& item, const QString& maxbid, const Tokens& tokens, const QString& user) {
        return get(QStringLiteral("http://offer.ebay.co.uk/ws/eBayISAPI.dll?MfcISAPICommand=MakeBid&hmid=&item=%1"
                                  "&maxbid=%2&javascriptenabled=1&stok=%3&mid=&mode=1&quant=1&uiid=%4&user=%5")
                       .arg(item, maxbid, encoded(tokens.stok), encoded(tokens.uiid), encoded(user)));
    }

private:
    QNetworkAccessManager m_manager;
};
