#include "sandboxprocess.h"
#include "test_sandboxclient.h"

#include <QJsonArray>
#include <QtTest>

// One bid through either flow: the first step's page shows step1, the damage done before the confirmation, what it
// answers ("Error|DebugError" for JSON, a page pattern for HTML) and the reason the ledger gives.
struct TokenCase {
    bool json;
    QString item, maxbid, damage, step1, expected, reason;
};
Q_DECLARE_METATYPE(TokenCase)

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

    void bidAnswers_data() {
        QTest::addColumn<TokenCase>("row");
        const QString form = "name=\"stok\" value=\"";
        const QString bidError = "PageViewBids_MakeBidError\"";
        testRow("json comma", TokenCase{true, "100000000001", "1,234.00", "", form, "INVALID_BIDAMOUNT|", "badAmount"});
        testRow("json step 1 ended",
                TokenCase{true, "100000000006", "7.00", "", bidError, "REDIRECT|", "tokensNotIssued"});
        testRow("json wrong key",
                TokenCase{true, "100000000001", "5.00", "wrongKey", form, "REDIRECT|", "tokensWrong"});
        testRow("html signed out", TokenCase{false, "100000000001", "7.00", "signedOut", "", "Sign in", "signedOut"});
        const char* damages[][3] = {{"wrong stok", "wrongStok", "tokensWrong"},
                                    {"plus unencoded", "unencoded", "tokensWrong"},
                                    {"used twice", "reuse", "tokensReused"},
                                    {"no first step", "noStep1", "tokensNotIssued"},
                                    {"other item", "otherItem", "tokensNotIssued"}};
        for (const bool json : {true, false}) {
            for (const auto& d : damages)
                testRow(QByteArray(json ? "json " : "html ") + d[0],
                        TokenCase{json, "100000000001", "5.00", d[1], "", json ? "REDIRECT|" : "problem", d[2]});
        }
    }

    void bidAnswers() {
        QFETCH(TokenCase, row);
        const auto& [json, item, maxbid, damage, step1, expected, reason] = row;
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
