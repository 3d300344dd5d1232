#include "clientsession.h"
#include "hosts.h"
#include "networkmanager.h"
#include "proxyfactory.h"

#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QtTest>

// The proxy switch and the shared session: with TOLLIMER_SANDBOX every manager of the program (a browser page's
// too) talks to the simulated eBay over http, without it the system's proxy settings apply, and every manager
// shares the one cookie jar, which outlives them.
class TestNetwork : public QObject {
    Q_OBJECT

    SandboxProcess m_sandbox;

    static void setEnvironment(const char* name, const QByteArray& value) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    static QNetworkReply::NetworkError fetch(QNetworkAccessManager* manager, const QString& url) {
        std::unique_ptr<QNetworkReply> reply(manager->get(QNetworkRequest(QUrl(url))));
        QSignalSpy done(reply.get(), &QNetworkReply::finished);
        return done.wait(10000) ? reply->error() : QNetworkReply::TimeoutError;
    }

private slots:
    void initTestCase() { QVERIFY2(ClientSession::start(m_sandbox, "client"), m_sandbox.output().constData()); }

    // A port of -1 means no proxy may be offered at all, 0 a direct connection.
    void proxyChoice_data() {
        for (const char* column : {"sandbox", "systemProxy", "signInScheme", "proxyHost", "proxyPort"})
            QTest::addColumn<QString>(column);
        const QString sandbox = "http://127.0.0.1:4321", system = "http://127.0.0.1:3128";
        ClientSession::addRows({
            {"sandbox", sandbox, "", "http", "127.0.0.1", "4321"},
            {"sandbox wins over the system proxy", sandbox, system, "http", "127.0.0.1", "4321"},
            {"system proxy", "", system, "https", "127.0.0.1", "3128"},
            {"no proxy at all", "", "", "https", "", "0"},
            {"unusable sandbox address", "localhost", "", "http", "", "-1"},
        });
    }

    void proxyChoice() {
        QFETCH(QString, sandbox);
        QFETCH(QString, systemProxy);
        QFETCH(QString, signInScheme);
        QFETCH(QString, proxyHost);
        QFETCH(QString, proxyPort);
        const QByteArray savedSandbox = qgetenv("TOLLIMER_SANDBOX");
        setEnvironment("TOLLIMER_SANDBOX", sandbox.toUtf8());
        setEnvironment("http_proxy", systemProxy.toUtf8());
        setEnvironment("https_proxy", systemProxy.toUtf8());
        qunsetenv("no_proxy");

        if (proxyPort == "-1") // said once per run, on the first use
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("TOLLIMER_SANDBOX is not http://HOST:PORT"));
        ProxyFactory factory;
        const QList<QNetworkProxy> proxies =
            factory.queryProxy(QNetworkProxyQuery(QUrl(Hosts::origin(Hosts::SignIn, "ebay.de") + "/")));
        const QString scheme = Hosts::scheme(Hosts::SignIn);
        setEnvironment("TOLLIMER_SANDBOX", savedSandbox);
        qunsetenv("http_proxy");
        qunsetenv("https_proxy");

        QCOMPARE(scheme, signInScheme);
        if (proxyPort == "-1") {
            QVERIFY2(proxies.isEmpty(), "an unusable sandbox address must not fall back to a direct connection");
            return;
        }
        QVERIFY(!proxies.isEmpty());
        QCOMPARE(proxies.first().type(), proxyHost.isEmpty() ? QNetworkProxy::NoProxy : QNetworkProxy::HttpProxy);
        QCOMPARE(proxies.first().hostName(), proxyHost);
        QCOMPARE(QString::number(proxies.first().port()), proxyPort);
    }

    // A browser page's manager, configured by the session, reaches the sandbox with the session's cookies, and its
    // own replies' cookies land in the shared jar; the jar survives the page.
    void browserManagerSharesSessionAndProxy() {
        ClientSession::signOut();
        ClientSession::clearFaultsAndLog(m_sandbox);
        QNetworkCookieJar* jar = NetworkManager::instance()->cookieJar();
        auto* browser = new QNetworkAccessManager;
        NetworkManager::instance()->configure(browser);

        QCOMPARE(fetch(browser, Hosts::origin(Hosts::SignIn, "ebay.co.uk") + "/ws/eBayISAPI.dll?SignIn"),
                 QNetworkReply::NoError);
        QVERIFY2(!jar->cookiesForUrl(QUrl("http://signin.ebay.co.uk/")).isEmpty(),
                 "the page's cookie is in the shared jar");

        QVERIFY(ClientSession::signInUser());
        QCOMPARE(fetch(browser, Hosts::origin(Hosts::UkMyEbay) + "/ws/eBayISAPI.dll?MyEbayBeta&View=WatchingNext"),
                 QNetworkReply::NoError);
        const QVariantList logged = ClientSession::requests(m_sandbox);
        QVERIFY(!logged.isEmpty());
        const QVariantMap last = logged.last().toMap();
        QCOMPARE(last.value("host").toString(), QString("my.ebay.co.uk"));
        QVERIFY(ClientSession::sentSessionCookies(last, "http://my.ebay.co.uk/"));

        delete browser;
        QVERIFY2(!jar->cookiesForUrl(QUrl("http://my.ebay.co.uk/")).isEmpty(), "the session outlives the page");
    }
};

QTEST_MAIN(TestNetwork)
#include "test_network.moc"
