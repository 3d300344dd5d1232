#include "itemhelper.h"
#include "loginhelper.h"
#include "networkmanager.h"
#include "texthelpers.h"

#include <QtTest>

// The scraping helpers and the pure readers built on them: what they take out of eBay's pages decides bid tokens,
// shipping costs and bid outcomes.
class TestTextHelpers : public QObject {
    Q_OBJECT

private slots:
    void extractBetweenFindsValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "<input name=\"stok\" value=\"abc\">"
                               << "name=\"stok\" value=\""
                               << "\">"
                               << "abc";
        QTest::newRow("markers split over lines") << "<input name=\"stok\"\r\n value=\"a\tb\nc\"\n>"
                                                  << "name=\"stok\" value=\""
                                                  << "\">"
                                                  << "abc";
        QTest::newRow("any letter case") << "<INPUT NAME=\"STOK\" VALUE=\"Xy\">"
                                         << "name=\"stok\" value=\""
                                         << "\">"
                                         << "Xy";
        QTest::newRow("shortest span") << "[a](b)[c](d)"
                                       << "["
                                       << "]"
                                       << "a";
        QTest::newRow("regexp characters in markers") << "x.*(y)+?z"
                                                      << ".*("
                                                      << ")+?"
                                                      << "y";
        QTest::newRow("no end marker") << "name=\"stok\" value=\"abc"
                                       << "name=\"stok\" value=\""
                                       << "\">"
                                       << "";
        QTest::newRow("no start marker") << "value=\"abc\">"
                                         << "name=\"stok\" value=\""
                                         << "\">"
                                         << "";
        QTest::newRow("empty text") << ""
                                    << "a"
                                    << "b"
                                    << "";
        QTest::newRow("empty value") << "name=\"key\" value=\"\">"
                                     << "name=\"key\" value=\""
                                     << "\">"
                                     << "";
    }
    void extractBetweenFindsValue() {
        QFETCH(QString, text);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, expected);
        const QString before = text;
        QCOMPARE(extractBetween(text, start, end), expected);
        QCOMPARE(text, before);
    }

    void extractBeforeReadsValueBeforeName_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("expected");
        QTest::newRow("value before name") << "<input type=\"hidden\" value=\"t0k+/=\" name=\"stok\">"
                                           << "\" name=\"stok\""
                                           << "t0k+/=";
        QTest::newRow("first marker wins") << "value=\"one\" name=\"stok\" value=\"two\" name=\"stok\""
                                           << "\" name=\"stok\""
                                           << "one";
        QTest::newRow("marker in other case") << "VALUE=\"Ab\" NAME=\"STOK\""
                                              << "\" name=\"stok\""
                                              << "Ab";
        QTest::newRow("line breaks removed") << "value=\"a\r\nb\" name=\"uiid\""
                                             << "\" name=\"uiid\""
                                             << "ab";
        QTest::newRow("no marker") << "value=\"x\" name=\"other\""
                                   << "\" name=\"stok\""
                                   << "";
        QTest::newRow("no delimiter before marker") << "abc\" name=\"stok\""
                                                    << "\" name=\"stok\""
                                                    << "";
        QTest::newRow("empty text") << ""
                                    << "\" name=\"stok\""
                                    << "";
    }
    void extractBeforeReadsValueBeforeName() {
        QFETCH(QString, text);
        QFETCH(QString, marker);
        QFETCH(QString, expected);
        QCOMPARE(extractBefore(text, marker, QStringLiteral("\"")), expected);
    }

    void containsRegExpMatches_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("expected");
        QTest::newRow("case-insensitive") << "<h1>Bid Confirmation</h1>"
                                          << "bid confirmation" << true;
        QTest::newRow("across a line break") << "Bid\r\nconfirmation"
                                             << "bidconfirmation" << true;
        QTest::newRow("alternation") << "Please enter GBP 12.50 or more"
                                     << "enter.*(more than|or more)" << true;
        QTest::newRow("no match") << "Thanks"
                                  << "bid confirmation" << false;
        QTest::newRow("empty text") << ""
                                    << "" << false;
        QTest::newRow("empty pattern") << "anything"
                                       << "" << true;
    }
    void containsRegExpMatches() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, expected);
        QCOMPARE(containsRegExp(text, pattern), expected);
    }

    void encodeForQueryKeepsValuesIntact_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digits unchanged") << "110000000001"
                                          << "110000000001";
        QTest::newRow("base64 token") << "a+b/c=="
                                      << "a%2Bb%2Fc%3D%3D";
        QTest::newRow("name that would add an amount") << "bob&maxbid=999"
                                                       << "bob%26maxbid%3D999";
        QTest::newRow("fragment and percent") << "x#y%z"
                                              << "x%23y%25z";
        QTest::newRow("space and non-ASCII") << "jö ns"
                                             << "j%C3%B6%20ns";
        QTest::newRow("unreserved kept") << "a-b_c.d~e"
                                         << "a-b_c.d~e";
    }
    void encodeForQueryKeepsValuesIntact() {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(encodeForQuery(value), expected);
        QCOMPARE(QUrl::fromPercentEncoding(expected.toLatin1()), value);
    }

    void amountsUseTwoDecimalsAndAPoint_data() {
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 7.0 << "7.00";
        QTest::newRow("one decimal, thousands") << 1234.5 << "1234.50";
        QTest::newRow("ten") << 10.0 << "10.00";
        QTest::newRow("rounds to cents") << 12.345678 << "12.35";
    }
    void amountsUseTwoDecimalsAndAPoint() {
        QFETCH(double, amount);
        QFETCH(QString, expected);
        const QLocale previous;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString formatted = NetworkManager::formatAmount(amount);
        QLocale::setDefault(previous);
        QCOMPARE(formatted, expected);
    }

    void shippingCostTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("pounds") << "£3.50" << 3.5;
        QTest::newRow("dollars") << "US $12.00" << 12.0;
        QTest::newRow("plain number") << "4.99" << 4.99;
        QTest::newRow("letters after the number") << "4.99 GBP" << -1.0;
        QTest::newRow("no digits") << "tbd" << -1.0;
        QTest::newRow("free in capitals") << "FREE" << 0.0;
        QTest::newRow("free in a sentence") << "Free Standard Postage" << 0.0;
        QTest::newRow("no digits before the point") << "EUR .75" << 0.75;
    }
    void shippingCostTexts() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(ItemHelper::parseShippingCost(text), expected);
    }

    void htmlBidAnswers_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");
        QTest::newRow("confirmed") << "<h1>Bid confirmation</h1><p>You are the highest bidder.</p>"
                                   << "Placed";
        QTest::newRow("too low") << "<p>Please enter\r\nGBP 12.50 or more.</p>"
                                 << "LOW_BIDAMOUNT";
        QTest::newRow("more than") << "Enter a bid of more than £3.00"
                                   << "LOW_BIDAMOUNT";
        QTest::newRow("bidding ended") << "Bidding has ended on this item."
                                       << "AUCTION_ENDED";
        QTest::newRow("auction ended") << "This auction has ended."
                                       << "AUCTION_ENDED";
        QTest::newRow("nothing known") << "<html>Something else</html>"
                                       << "UNKNOWN";
        QTest::newRow("reason beats confirmation")
            << "Bid confirmation\nYou are unable to bid on or buy this item because:\n<li>You have been blocked by "
               "the seller. Contact them.</li>"
            << "You have been blocked by the seller.";
        QTest::newRow("postage address")
            << "You are unable to bid on or buy this item because: <li>You live where the seller doesn't post to "
               "your Primary Postage Address country.</li>"
            << "The seller doesn't post to the country where your primary postage address is located";
    }
    void htmlBidAnswers() {
        QFETCH(QString, page);
        QFETCH(QString, expected);
        QCOMPARE(ItemHelper::classifyHtmlBidAnswer(page), expected);
    }

    void signInFormTakesPageValues() {
        const QString page =
            QStringLiteral("<form name=\"search\"><input type=\"hidden\" name=\"mid\" value=\"wrong\"></form>"
                           "<form method=\"post\" action=\"x\">\n<input type='hidden' name='mid' value='M1'>"
                           "<input type=\"text\" name=\"userid\"><input type=\"password\" name=\"pass\">"
                           "<input value=\"a+b/c=&amp;d\" name=\"srt\" type=\"HIDDEN\">"
                           "<input type=\"hidden\" name=\"runId2\" value=\"R&#43;2\">"
                           "<input type=\"hidden\" name=\"siteid\" value=\"77\">"
                           "<input type=\"hidden\" name=\"ru\" value=\"http://x/?a=1&amp;b=2\">"
                           "<input type=\"hidden\" name=\"tid\" value=\"\"></form>");
        const LoginHelper::FormItems items =
            LoginHelper::formItems(QStringLiteral("jo&pass=x"), QStringLiteral("p+w d%"), page);
        QStringList names;
        for (const auto& item : items)
            names << item.first;
        QCOMPARE(names, QStringList({"MfcISAPICommand", "lse", "siteid", "co_partnerId", "UsingSSL", "i1", "pageType",
                                     "userid", "pass", "keepMeSignInOption", "keepMeSignInOptio2", "keepMeSignInOptio3",
                                     "mid", "srt", "runId2", "ru", "tid"}));
        QCOMPARE(items.at(2).second, QString("3"));
        QCOMPARE(items.at(12).second, QString("M1"));
        QCOMPARE(items.at(13).second, QString("a+b/c=&d"));
        QCOMPARE(items.at(14).second, QString("R+2"));
        QCOMPARE(items.at(15).second, QString("http://x/?a=1&b=2"));
        QCOMPARE(LoginHelper::encodeForm(items),
                 QByteArray("MfcISAPICommand=SignInWelcome&lse=false&siteid=3&co_partnerId=2&UsingSSL=1&i1=-1&"
                            "pageType=-1&userid=jo%26pass%3Dx&pass=p%2Bw%20d%25&keepMeSignInOption=1&"
                            "keepMeSignInOptio2=1&keepMeSignInOptio3=1&mid=M1&srt=a%2Bb%2Fc%3D%26d&runId2=R%2B2&"
                            "ru=http%3A%2F%2Fx%2F%3Fa%3D1%26b%3D2&tid="));
    }

    void signInFormWithoutPageValues() {
        const LoginHelper::FormItems items = LoginHelper::formItems("u", "p", QString());
        QCOMPARE(items.size(), 15);
        QCOMPARE(items.at(13).first, QString("srt"));
        QVERIFY(items.at(13).second.isEmpty());
    }
};

QTEST_MAIN(TestTextHelpers)
#include "test_texthelpers.moc"
