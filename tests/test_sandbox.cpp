#include "sandboxprocess.h"
#include "test_sandboxclient.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

// tollimer-sandbox as the program meets it: a separate process reached as an HTTP proxy with absolute-form
// requests, signed in through its form, bid on through both flows, and read back through its control interface.
class TestSandbox : public QObject {
    Q_OBJECT

private:
    SandboxProcess m_sandbox;
    QScopedPointer<SandboxTestClient> m_client;

    QJsonArray controlList(const QString& path, const QString& key) {
        return m_sandbox.controlJson("GET", path).object().value(key).toArray();
    }
    QJsonArray ledger() { return controlList("/_sandbox/ledger", "bids"); }
    bool control(const QString& path, const QByteArray& body = {}) {
        return m_sandbox.control("POST", path, body).contains("true");
    }
    void signInUk() {
        const auto answer = m_client->signIn("ebay.co.uk", "sniper_uk", "s3cret+/=");
        QVERIFY2(answer.text().contains("Welcome"), qPrintable(answer.text()));
    }

private slots:
    void init() {
        QVERIFY2(m_sandbox.start({"--scenario", SandboxProcess::scenarioPath("tests")}),
                 m_sandbox.output().constData());
        m_client.reset(new SandboxTestClient(m_sandbox.port()));
    }

    void cleanup() {
        m_client.reset();
        m_sandbox.stop();
    }

    void signInSetsSessionCookieOnlyForGoodCredentials_data() {
        QTest::addColumn<QString>("domain");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("good");
        sandboxRow("uk", "ebay.co.uk", "sniper_uk", "s3cret+/=", true);
        sandboxRow("user id in other case", "ebay.co.uk", "SNIPER_UK", "s3cret+/=", true);
        sandboxRow("germany", "ebay.de", "sniper_uk", "s3cret+/=", true);
        sandboxRow("password in other case", "ebay.co.uk", "sniper_uk", "S3CRET+/=", false);
    }

    void signInSetsSessionCookieOnlyForGoodCredentials() {
        QFETCH(QString, domain);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, good);
        const auto answer = m_client->signIn(domain, user, password);
        QCOMPARE(answer.text().contains("Your user ID or password is incorrect."), !good);
        QCOMPARE(answer.text().contains("<h1>Welcome</h1>"), good);
        bool sessionCookie = false;
        for (const QByteArray& cookie : answer.setCookies) {
            if (cookie.startsWith("ebay_sid=")) {
                sessionCookie = true;
                QVERIFY2(cookie.contains("Domain=." + domain.toLatin1()), cookie.constData());
                QVERIFY(cookie.contains("Path=/"));
            }
        }
        QCOMPARE(sessionCookie, good);
    }

    // Each page issues a fresh srt full of form-special characters; one sent back unencoded does not sign in.
    void signInFormCarriesFreshSrtThatMustComeBackEncoded() {
        const auto first = m_client->get("http://signin.ebay.co.uk/ws/eBayISAPI.dll?SignIn");
        const auto second = m_client->get("http://signin.ebay.co.uk/ws/eBayISAPI.dll?SignIn");
        QVERIFY(first.text().contains("<form"));
        QVERIFY(first.text().contains("action=\"/ws/eBayISAPI.dll?co_partnerId=2&amp;siteid=3&amp;UsingSSL=1\""));
        for (const char* name : {"userid", "pass", "mid", "srt", "runId2"})
            QVERIFY2(first.text().contains(QString("name=\"%1\"").arg(name)), name);
        const QString srt = SandboxTestClient::inputValue(second.text(), "srt");
        QVERIFY(srt.contains('+') && srt.contains('/') && srt.contains('='));
        QVERIFY(srt != SandboxTestClient::inputValue(first.text(), "srt"));
        QVERIFY(!first.setCookies.isEmpty());
        const auto german = m_client->get("http://signin.ebay.de/ws/eBayISAPI.dll?SignIn");
        QVERIFY(german.text().contains("action=\"/ws/eBayISAPI.dll?co_partnerId=2&amp;siteid=77&amp;UsingSSL=1\""));
        QVERIFY(german.setCookies.first().contains("Domain=.ebay.de"));
        const auto answer =
            m_client->post("http://signin.ebay.co.uk/ws/eBayISAPI.dll?co_partnerId=2&siteid=3&UsingSSL=1",
                           ("userid=sniper_uk&pass=s3cret%2B%2F%3D&srt=" + srt).toLatin1());
        QVERIFY(answer.text().contains("Your user ID or password is incorrect."));
    }

    // One bid through either flow, damaged or not before it is confirmed: what the first step shows, what the
    // confirmation answers ("Error|DebugError" for JSON, a page pattern for HTML) and the reason in the ledger.
    void bidAnswers_data() {
        QTest::addColumn<bool>("json");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("maxbid");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("step1");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("reason");
        const QString form = "name=\"stok\" value=\"";
        const QString bidError = "PageViewBids_MakeBidError\"";
        sandboxRow("json comma", true, "100000000001", "1,234.00", "", form, "INVALID_BIDAMOUNT|", "badAmount");
        sandboxRow("json step 1 ended", true, "100000000006", "7.00", "", bidError, "REDIRECT|", "tokensNotIssued");
        sandboxRow("json wrong key", true, "100000000001", "5.00", "wrongKey", form, "REDIRECT|", "tokensWrong");
        sandboxRow("html outbid", false, "100000000009", "15.00", "", "", "bid confirmation", "placed");
        sandboxRow("html signed out", false, "100000000001", "7.00", "signedOut", "", "Sign in", "signedOut");
        for (const bool json : {true, false}) {
            const QByteArray flow = json ? "json " : "html ";
            const QString refused = json ? "REDIRECT|" : "problem";
            sandboxRow(flow + "wrong stok", json, "100000000001", "5.00", "wrongStok", "", refused, "tokensWrong");
            sandboxRow(flow + "plus unencoded", json, "100000000001", "5.00", "unencoded", "", refused, "tokensWrong");
            sandboxRow(flow + "used twice", json, "100000000001", "5.00", "reuse", "", refused, "tokensReused");
            sandboxRow(flow + "no first step", json, "100000000001", "5.00", "noStep1", "", refused, "tokensNotIssued");
            sandboxRow(flow + "other item", json, "100000000001", "5.00", "otherItem", "", refused, "tokensNotIssued");
        }
    }

    void bidAnswers() {
        QFETCH(bool, json);
        QFETCH(QString, item);
        QFETCH(QString, maxbid);
        QFETCH(QString, damage);
        QFETCH(QString, step1);
        QFETCH(QString, expected);
        QFETCH(QString, reason);
        if (damage != "signedOut")
            signInUk();
        SandboxTestClient::Answer first;
        SandboxTestClient::Tokens tokens;
        if (damage != "noStep1")
            tokens = m_client->bidStep1(json, item, maxbid, &first);
        QVERIFY2(first.text().contains(step1), qPrintable(first.text()));
        if (damage == "wrongStok")
            tokens.stok = "AAAA" + tokens.stok.mid(4);
        if (damage == "wrongKey")
            tokens.key = "AAAA" + tokens.key.mid(4);
        if (damage == "reuse")
            m_client->bidStep2(json, item, maxbid, tokens);
        const auto answer =
            m_client->bidStep2(json, damage == "otherItem" ? "100000000009" : item, maxbid, tokens,
                               damage == "otherUser" ? "other_user" : "sniper_uk", damage != "unencoded");
        if (json) {
            const QJsonObject root = answer.json();
            QCOMPARE(root.value("Status").toString() == "CONFIRMBID", expected == "|");
            QCOMPARE(root.value("Error").toString() + '|' + root.value("DebugError").toArray().first().toString(),
                     expected);
        } else {
            QVERIFY2(
                QRegularExpression(expected, QRegularExpression::CaseInsensitiveOption).match(answer.text()).hasMatch(),
                qPrintable(answer.text()));
        }
        const QJsonObject last = ledger().last().toObject();
        QCOMPARE(last.value("reason").toString(), reason);
        QCOMPARE(last.value("accepted").toBool(), reason == "placed");
        QCOMPARE(last.value("tokensValid").toBool(), !reason.startsWith("tokens") && reason != "signedOut");
    }

    // The page size the import asks for lifts eBay's 25 items per list page.
    void myEbayPageSize() {
        const QString my = "http://my.ebay.co.uk/ws/eBayISAPI.dll?MyEbayBeta&CurrentPage=MyeBayNext";
        const QRegularExpression link("href=\"http://www\\.ebay\\.co\\.uk/itm/(\\d+)\\?");
        auto numbers = [&](const QString& list) {
            QStringList found;
            for (auto it = link.globalMatch(m_client->get(my + list).text()); it.hasNext();)
                found << it.next().captured(1);
            return found;
        };
        QJsonArray watched;
        QJsonArray auctions;
        for (qint64 number = 400000000000LL; number < 400000000030LL; ++number) {
            watched.append(QString::number(number));
            auctions.append(QJsonObject{{"itemNumber", QString::number(number)}, {"endsInSeconds", 600}});
        }
        const QJsonObject user{{"username", "sniper_uk"}, {"password", "s3cret+/="}, {"watching", watched}};
        QVERIFY(control("/_sandbox/scenario",
                        QJsonDocument(QJsonObject{{"users", QJsonArray{user}}, {"auctions", auctions}}).toJson()));
        signInUk();
        QCOMPARE(numbers("Watching").size(), 25);
        m_client->get(my + "Watching&SubmitAction.ItemsPerPageSave=x&ItemsPerPage=200");
        QCOMPARE(numbers("Watching").size(), 30);
    }

    void pictureOnlyForKnownItems() {
        const auto picture = m_client->get("http://i.ebayimg.com/pict/100000000001.jpg");
        QCOMPARE(picture.status, 200);
        QVERIFY(picture.body.startsWith("BM"));
        QCOMPARE(m_client->get("http://i.ebayimg.com/pict/1.jpg").status, 404);
    }

    void faultsApplyPerEndpointAndCount() {
        const QString time = SandboxTestClient::shopping("callname=GeteBayTime");
        const QString home = "http://www.ebay.co.uk/";
        QVERIFY(control("/_sandbox/fault", R"({"endpoint":"GeteBayTime","status":503,"times":1})"));
        QCOMPARE(m_client->get(time).status, 503);
        QCOMPARE(m_client->get(time).status, 200);

        QVERIFY(control("/_sandbox/fault", R"({"endpoint":"*","latencyMs":300})"));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(m_client->get(home).status, 200);
        QVERIFY(timer.elapsed() >= 290);

        QVERIFY(m_sandbox.control("DELETE", "/_sandbox/fault").contains("true"));
        QVERIFY(!m_client->get(time).json().isEmpty());
        int status = 0;
        m_sandbox.control("POST", "/_sandbox/fault", R"({"latencyMs":5})", &status);
        QCOMPARE(status, 400);
    }

    void exitWritesLogAndLedgerFile_data() {
        QTest::addColumn<bool>("quit");
        sandboxRow("quit request", true);
        sandboxRow("terminated", false);
    }

    void exitWritesLogAndLedgerFile() {
        QFETCH(bool, quit);
        m_sandbox.stop();
        QTemporaryDir dir;
        const QString path = dir.filePath("records.json");
        QVERIFY(m_sandbox.start({"--scenario", SandboxProcess::scenarioPath("tests"), "--log-file", path}));
        SandboxTestClient(m_sandbox.port()).get("http://www.ebay.co.uk/");
        QVERIFY(m_sandbox.control("POST", "/_sandbox/bid", R"({"item":"100000000001","bidder":"rival","amount":3})")
                    .contains("\"accepted\":true"));
        if (quit) {
            m_sandbox.control("POST", "/_sandbox/quit");
            QTRY_VERIFY(!m_sandbox.isRunning());
        } else {
            m_sandbox.stop();
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        QCOMPARE(root.value("requests").toArray().size(), 1);
        QCOMPARE(root.value("bids").toArray().last().toObject().value("flow").toString(), QString("control"));
    }
};

QTEST_GUILESS_MAIN(TestSandbox)
#include "test_sandbox.moc"
