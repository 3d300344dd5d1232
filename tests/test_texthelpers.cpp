#include "clientsession.h"
#include "itemhelper.h"
#include "loginhelper.h"
#include "texthelpers.h"

#include <QtTest>

// The scraping helpers and the readers built on them, for the page variants the simulated eBay does not produce:
// what they take out of eBay's pages decides bid tokens, shipping costs and bid outcomes.
class TestTextHelpers : public QObject {
    Q_OBJECT

private slots:
    // Without an end marker the row reads the quoted value written before the marker.
    void tokenValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("expected");
        const QString stok = "name=\"stok\" value=\"", beforeStok = "\" name=\"stok\"";
        ClientSession::addRows({
            {"markers split over lines", "<input name=\"stok\"\r\n value=\"a\tb\nc\"\n>", stok, "\">", "abc"},
            {"any letter case", "<INPUT NAME=\"STOK\" VALUE=\"Xy\">", stok, "\">", "Xy"},
            {"shortest span", "[a](b)[c](d)", "[", "]", "a"},
            {"regexp characters in markers", "x.*(y)+?z", ".*(", ")+?", "y"},
            {"no end marker", "name=\"stok\" value=\"abc", stok, "\">", ""},
            {"value before name", "<input value=\"t0k+/=\" name=\"stok\">", beforeStok, "", "t0k+/="},
            {"value before name, first wins", "value=\"one\" name=\"stok\" value=\"two\" name=\"stok\"", beforeStok, "",
             "one"},
            {"value before name, line breaks removed", "value=\"a\r\nb\" name=\"uiid\"", "\" name=\"uiid\"", "", "ab"},
            {"value before name, no opening quote", "abc\" name=\"stok\"", beforeStok, "", ""},
        });
    }
    void tokenValues() {
        QFETCH(QString, text);
        QFETCH(QString, marker);
        QFETCH(QString, end);
        QFETCH(QString, expected);
        QCOMPARE(end.isEmpty() ? extractBefore(text, marker, "\"") : extractBetween(text, marker, end), expected);
    }

    // Amounts as eBay's shipping cell (site -1: the writer's way is guessed) and as the user writes them on a site
    // (3 the UK, 77 Germany, 193 Switzerland); -1.0 is an amount that cannot be read.
    void amounts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("site");
        QTest::addColumn<double>("expected");
        QTest::newRow("point") << "4.99" << -1 << 4.99;
        QTest::newRow("free in a sentence") << "Free Standard Postage" << -1 << 0.0;
        QTest::newRow("no digits before the point") << "EUR .75" << -1 << 0.75;
        QTest::newRow("decimal comma") << "EUR 4,90" << -1 << 4.9;
        QTest::newRow("grouping points") << "EUR 1.250,00" << -1 << 1250.0;
        QTest::newRow("grouping apostrophe") << "CHF 1'250.00" << -1 << 1250.0;
        QTest::newRow("grouping commas") << "£1,250,000.5" << -1 << 1250000.5;
        QTest::newRow("groups that do not fit") << "1,25,000.00" << -1 << -1.0;
        QTest::newRow("typed on a comma site") << " 12,50 " << 77 << 12.5;
        QTest::newRow("typed with groups on a comma site") << "1.250,5" << 77 << 1250.5;
        QTest::newRow("a point on a comma site") << "12.50" << 77 << -1.0;
        QTest::newRow("a comma on a point site") << "12,50" << 3 << -1.0;
        QTest::newRow("Swiss") << "1'250.00" << 193 << 1250.0;
        QTest::newRow("letters") << "12 EUR" << 3 << -1.0;
    }
    void amounts() {
        QFETCH(QString, text);
        QFETCH(int, site);
        QFETCH(double, expected);
        QCOMPARE(site < 0 ? ItemHelper::parseShippingCost(text) : readAmount(text, decimalMarkOfSite(site)), expected);
        if (site >= 0 && expected > 0) // what the dialog writes into the field reads back
            QCOMPARE(readAmount(amountForEditing(expected, decimalMarkOfSite(site)), decimalMarkOfSite(site)),
                     expected);
    }

    void htmlBidAnswers_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");
        ClientSession::addRows({
            {"too low, over a line break", "<p>Please enter\r\nGBP 12.50 or more.</p>", "LOW_BIDAMOUNT"},
            {"too low, more than", "Enter a bid of more than £3.00", "LOW_BIDAMOUNT"},
            {"auction ended", "This auction has ended.", "AUCTION_ENDED"},
            {"reason beats confirmation",
             "Bid confirmation\nYou are unable to bid on or buy this item because:\n<li>You have been blocked by the "
             "seller. Contact them.</li>",
             "You have been blocked by the seller."},
        });
    }
    void htmlBidAnswers() {
        QFETCH(QString, page);
        QFETCH(QString, expected);
        QCOMPARE(ItemHelper::classifyHtmlBidAnswer(page), expected);
    }

    // The sign-in post takes the page's own hidden inputs of the sign-in form, decoded, and encodes every value.
    void signInForm_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QByteArray>("body");
        const QByteArray fixed = "MfcISAPICommand=SignInWelcome&lse=false&siteid=3&co_partnerId=2&UsingSSL=1&i1=-1&"
                                 "pageType=-1&userid=jo%26pass%3Dx&pass=p%2Bw%20d%25&keepMeSignInOption=1&"
                                 "keepMeSignInOptio2=1&keepMeSignInOptio3=1&";
        QTest::newRow("page values")
            << "<form name=\"search\"><input type=\"hidden\" name=\"mid\" value=\"wrong\"></form>"
               "<form method=\"post\" action=\"x\">\n<input type='hidden' name='mid' value='M1'>"
               "<input type=\"text\" name=\"userid\"><input type=\"password\" name=\"pass\">"
               "<input value=\"a+b/c=&amp;d\" name=\"srt\" type=\"HIDDEN\">"
               "<input type=\"hidden\" name=\"runId2\" value=\"R&#43;2\">"
               "<input type=\"hidden\" name=\"siteid\" value=\"77\">"
               "<input type=\"hidden\" name=\"ru\" value=\"http://x/?a=1&amp;b=2\">"
               "<input type=\"hidden\" name=\"tid\" value=\"\"></form>"
            << fixed + "mid=M1&srt=a%2Bb%2Fc%3D%26d&runId2=R%2B2&ru=http%3A%2F%2Fx%2F%3Fa%3D1%26b%3D2&tid=";
        QTest::newRow("no page") << "" << fixed + "mid=&srt=&runId2=";
    }
    void signInForm() {
        QFETCH(QString, page);
        QFETCH(QByteArray, body);
        QCOMPARE(LoginHelper::encodeForm(LoginHelper::formItems("jo&pass=x", "p+w d%", page)), body);
    }
};

QTEST_MAIN(TestTextHelpers)
#include "test_texthelpers.moc"
