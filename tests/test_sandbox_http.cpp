#include "sandboxhttpparser.h"
#include "sandboxhttpresponse.h"
#include "sandboxserver.h"
#include "test_sandboxclient.h"

#include <QTcpSocket>
#include <QtTest>

// The sandbox's own HTTP: what a proxy client puts on the wire must come out as the same request, split however
// the bytes arrive, and the answers must keep the connection usable the way the program's access managers expect.
class TestSandboxHttp : public QObject {
    Q_OBJECT

private:
    // A raw client of an in-process server, so it reads through the event loop, never by blocking waits.
    struct RawClient {
        QTcpSocket socket;
        QByteArray received;
        explicit RawClient(quint16 port) {
            QObject::connect(&socket, &QTcpSocket::readyRead, [this]() { received += socket.readAll(); });
            socket.connectToHost(QHostAddress::LocalHost, port);
        }
        bool sendUntilClosed(const QByteArray& wire) {
            socket.write(wire);
            return QTest::qWaitFor([this]() { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000);
        }
    };

    static bool listen(SandboxServer* server) {
        server->loadScenario(SandboxScenario());
        return server->listen(0);
    }

private slots:
    void parsesPipelinedRequestsHoweverSplit_data() {
        QTest::addColumn<int>("chunk");
        QTest::newRow("whole") << 100000;
        QTest::newRow("byte by byte") << 1;
        QTest::newRow("seven") << 7;
    }

    void parsesPipelinedRequestsHoweverSplit() {
        QFETCH(int, chunk);
        const QByteArray wire =
            "GET http://offer.ebay.de/ws/eBayISAPI.dll?MakeQuickBid&mode=0&item=12&stok=ab%2Bc%2Fd%3D"
            "&key=ab+c/d=&uiid=%C2%A33.50&mid=#frag HTTP/1.1\r\n"
            "Host: offer.ebay.de\r\nProxy-Connection: keep-alive\r\n\r\n"
            "POST http://signin.ebay.co.uk/ws/eBayISAPI.dll?co_partnerId=2&siteid=3&UsingSSL=1 "
            "HTTP/1.1\r\nHost: signin.ebay.co.uk\r\nContent-Length: 24\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n\r\n"
            "userid=a+b&pass=x%2By%3D"
            "GET /_sandbox/state HTTP/1.1\r\nHost: 127.0.0.1:9\r\nConnection: close\r\n\r\n";
        SandboxHttpParser parser;
        QList<SandboxHttpRequest> requests;
        for (int i = 0; i < wire.size(); i += chunk) {
            parser.feed(wire.mid(i, chunk), double(i));
            while (parser.hasRequest())
                requests.append(parser.takeRequest());
        }
        QVERIFY(!parser.failed());
        QCOMPARE(requests.size(), 3);
        QVERIFY(requests.at(0).absoluteForm);
        QCOMPARE(requests.at(0).host, QString("offer.ebay.de"));
        QCOMPARE(requests.at(0).path, QString("/ws/eBayISAPI.dll"));
        QCOMPARE(requests.at(0).firstQueryKey(), QString("MakeQuickBid"));
        QCOMPARE(requests.at(0).queryValue("item"), QString("12"));
        QCOMPARE(requests.at(0).queryValue("stok"), QString("ab+c/d="));
        QCOMPARE(requests.at(0).queryValue("key"), QString("ab c/d=")); // a bare plus is a space, as in forms
        QCOMPARE(requests.at(0).queryValue("uiid"), QString::fromUtf8("£3.50"));
        QCOMPARE(requests.at(0).queryValue("mid"), QString(""));
        QVERIFY(requests.at(0).keepAlive());
        QCOMPARE(requests.at(1).method, QByteArray("POST"));
        QCOMPARE(requests.at(1).body, QByteArray("userid=a+b&pass=x%2By%3D"));
        QCOMPARE(requests.at(2).method, QByteArray("GET"));
        QCOMPARE(requests.at(1).formItems().at(0).second, QString("a b"));
        QVERIFY(!requests.at(2).absoluteForm);
        QCOMPARE(requests.at(2).host, QString("127.0.0.1"));
        QCOMPARE(requests.at(2).path, QString("/_sandbox/state"));
        QVERIFY(!requests.at(2).keepAlive());
        QCOMPARE(requests.at(2).fullUrl(), QString("http://127.0.0.1:9/_sandbox/state"));
    }

    void keepAliveRules_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<bool>("keepAlive");
        QTest::newRow("1.1 default") << QByteArray("HTTP/1.1") << QByteArray() << true;
        QTest::newRow("1.1 close") << QByteArray("HTTP/1.1") << QByteArray("Connection: close") << false;
        QTest::newRow("1.1 proxy close") << QByteArray("HTTP/1.1") << QByteArray("Proxy-Connection: close") << false;
        QTest::newRow("1.0 default") << QByteArray("HTTP/1.0") << QByteArray() << false;
        QTest::newRow("1.0 keep-alive") << QByteArray("HTTP/1.0") << QByteArray("Proxy-Connection: Keep-Alive") << true;
    }

    void keepAliveRules() {
        QFETCH(QByteArray, version);
        QFETCH(QByteArray, header);
        QFETCH(bool, keepAlive);
        SandboxHttpParser parser;
        parser.feed("GET http://a.b/ " + version + "\r\n" + (header.isEmpty() ? "" : header + "\r\n") + "\r\n", 0);
        QVERIFY(parser.hasRequest());
        QCOMPARE(parser.takeRequest().keepAlive(), keepAlive);
    }

    // What the sandbox cannot read or serve gets one clear answer and the connection is closed, not left hanging.
    void refusedStreamsAreAnsweredAndClosed_data() {
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QByteArray>("answer");
        testRow("request line", QByteArray("HELLO\r\n\r\n"), QByteArray("HTTP/1.1 400 "));
        testRow("bad length", QByteArray("POST / HTTP/1.1\r\nContent-Length: x\r\n\r\n"), QByteArray("HTTP/1.1 400 "));
        testRow("huge body", QByteArray("POST / HTTP/1.1\r\nContent-Length: 999999999\r\n\r\n"),
                QByteArray("HTTP/1.1 413 "));
        testRow("huge head", QByteArray("GET / HTTP/1.1\r\nX: ") + QByteArray(70000, 'a'), QByteArray("HTTP/1.1 431 "));
        testRow("chunked",
                QByteArray("POST http://www.ebay.co.uk/ HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"
                           "5\r\nhello\r\n0\r\n\r\n"),
                QByteArray("HTTP/1.1 501 .*chunked"));
        testRow("https tunnel",
                QByteArray("CONNECT signin.ebay.co.uk:443 HTTP/1.1\r\nHost: signin.ebay.co.uk:443\r\n\r\n"),
                QByteArray("HTTP/1.1 501 .*use http"));
    }

    void refusedStreamsAreAnsweredAndClosed() {
        QFETCH(QByteArray, wire);
        QFETCH(QByteArray, answer);
        SandboxServer server;
        QVERIFY(listen(&server));
        RawClient client(server.port());
        QVERIFY(client.sendUntilClosed(wire));
        const QRegularExpression expected("^" + answer, QRegularExpression::DotMatchesEverythingOption);
        QVERIFY2(expected.match(client.received).hasMatch(), client.received.constData());
        if (wire.startsWith("CONNECT")) {
            const QJsonObject entry = server.recorder().logJson().value("requests").toArray().last().toObject();
            QCOMPARE(entry.value("method").toString(), QString("CONNECT"));
            QCOMPARE(entry.value("host").toString(), QString("signin.ebay.co.uk"));
            QCOMPARE(entry.value("url").toString(), QString("signin.ebay.co.uk:443"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSandboxHttp)
#include "test_sandbox_http.moc"
