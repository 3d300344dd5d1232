#include "sandboxprocess.h"
#include "test_sandboxclient.h"

#include <QJsonArray>
#include <QtTest>

// The sandbox's guard on bid tokens, which the client never breaks on purpose: tokens damaged, sent unencoded,
// used twice, never issued or issued for another item must be refused and ledgered with the reason. The
// client and bid-flow tests walk sign-in, lists and well-formed bids end to end.
class TestSandbox : public QObject {
    Q_OBJECT

private:
    SandboxProcess m_sandbox;
    QScopedPointer<SandboxTestClient> m_client;

    QJsonArray ledger() { return m_sandbox.controlJson("GET", "/_sandbox/ledger").object().value("bids").toArray(); }
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
        testRow("json comma", true, "100000000001", "1,234.00", "", form, "INVALID_BIDAMOUNT|", "badAmount");
        testRow("json step 1 ended", true, "100000000006", "7.00", "", bidError, "REDIRECT|", "tokensNotIssued");
        testRow("json wrong key", true, "100000000001", "5.00", "wrongKey", form, "REDIRECT|", "tokensWrong");
        testRow("html signed out", false, "100000000001", "7.00", "signedOut", "", "Sign in", "signedOut");
        for (const bool json : {true, false}) {
            const QByteArray flow = json ? "json " : "html ";
            const QString refused = json ? "REDIRECT|" : "problem";
            testRow(flow + "wrong stok", json, "100000000001", "5.00", "wrongStok", "", refused, "tokensWrong");
            testRow(flow + "plus unencoded", json, "100000000001", "5.00", "unencoded", "", refused, "tokensWrong");
            testRow(flow + "used twice", json, "100000000001", "5.00", "reuse", "", refused, "tokensReused");
            testRow(flow + "no first step", json, "100000000001", "5.00", "noStep1", "", refused, "tokensNotIssued");
            testRow(flow + "other item", json, "100000000001", "5.00", "otherItem", "", refused, "tokensNotIssued");
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
        const auto answer = m_client->bidStep2(json, damage == "otherItem" ? "100000000009" : item, maxbid, tokens,
                                               "sniper_uk", damage != "unencoded");
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
};

QTEST_GUILESS_MAIN(TestSandbox)
#include "test_sandbox.moc"
