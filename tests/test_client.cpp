#include "clientsession.h"
#include "hosts.h"
#include "itemhelper.h"
#include "loginhelper.h"
#include "messagerecorder.h"
#include "networkmanager.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QtTest>

#include <memory>

// The eBay client against the simulated eBay: the exact requests on the wire, one result and at most one box per
// request, and how each answer of eBay's is read.
class TestClient : public QObject {
    Q_OBJECT

public:
    enum Request {
        GetItems,
        Relation,
        Shipping,
        JsonStep1,
        JsonStep2,
        HtmlStep1,
        HtmlStep2,
        SetWatching,
        Watching,
        SetBidding,
        Bidding,
        SignIn
    };
    Q_ENUM(Request)

private:
    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;

    // Starts the request on a fresh helper and returns a spy on the one signal that answers it.
    std::unique_ptr<QSignalSpy> send(Request request, QObject* parent) {
        if (request == SignIn) {
            auto* login = new LoginHelper(parent);
            auto spy = std::make_unique<QSignalSpy>(login, &LoginHelper::loginStep2Finished);
            login->login("sniper_uk", "secret", "ebay.co.uk", 3);
            return spy;
        }
        auto* helper = new ItemHelper(parent);
        std::unique_ptr<QSignalSpy> spy;
        const QString item = QStringLiteral("110000000001");
        switch (request) {
        case GetItems:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::getItemsFinished);
            helper->getItems("110000000001,110000000002");
            break;
        case Relation:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::getUserItemRelationFinished);
            helper->getUserItemRelation(item);
            break;
        case Shipping:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::getShippingFinished);
            helper->getShipping(item);
            break;
        case JsonStep1:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::placeBidJsonStep1Finished);
            helper->placeBidJsonStep1("ebay.de", item, 12.5);
            break;
        case JsonStep2:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::placeBidFinished);
            helper->placeBidJsonStep2("ebay.de", item, 1234.5, "s+/=", "k&y", "u#1");
            break;
        case HtmlStep1:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::placeBidHtmlStep1Finished);
            helper->placeBidHtmlStep1(item, 7);
            break;
        case HtmlStep2:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::placeBidFinished);
            helper->placeBidHtmlStep2(item, 10, "bob&maxbid=999", "s+/=", "u=1");
            break;
        case SetWatching:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::setWatchingCountPerPageFinished);
            helper->setWatchingCountPerPage();
            break;
        case Watching:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::getMyeBayWatchingItemNumbersFinished);
            helper->getMyeBayWatchingItemNumbers();
            break;
        case SetBidding:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::setBiddingCountPerPageFinished);
            helper->setBiddingCountPerPage();
            break;
        case Bidding:
            spy = std::make_unique<QSignalSpy>(helper, &ItemHelper::getMyeBayBiddingItemNumbersFinished);
            helper->getMyeBayBiddingItemNumbers();
            break;
        case SignIn:
            break;
        }
        return spy;
    }

    // Waits for the answer, then lets a control round trip run so that a second signal would have arrived too.
    void expectOneSignal(QSignalSpy& spy) {
        QVERIFY(spy.wait(10000));
        m_sandbox.control("GET", QStringLiteral("/_sandbox/state"));
        QCOMPARE(spy.size(), 1);
    }

    std::unique_ptr<ItemHelper> itemsFor(const QString& numbers) {
        auto helper = std::make_unique<ItemHelper>();
        QSignalSpy finished(helper.get(), &ItemHelper::getItemsFinished);
        helper->getItems(numbers);
        if (!finished.wait(10000) || !finished.first().at(0).toBool())
            return nullptr;
        return helper;
    }

    QVariantMap auctionState(const QString& itemNumber) {
        const QVariantList auctions = m_sandbox.controlJson("GET", QStringLiteral("/_sandbox/state"))
                                          .object()
                                          .toVariantMap()
                                          .value(QStringLiteral("auctions"))
                                          .toList();
        for (const QVariant& auction : auctions) {
            if (auction.toMap().value(QStringLiteral("itemNumber")).toString() == itemNumber)
                return auction.toMap();
        }
        return {};
    }

    qint64 sandboxNowMs() {
        const QString now = m_sandbox.controlJson("GET", "/_sandbox/state").object().value("now").toString();
        return QDateTime::fromString(now, Qt::ISODateWithMs).toMSecsSinceEpoch();
    }

private slots:
    void initTestCase() {
        QVERIFY2(ClientSession::start(m_sandbox, "client"), m_sandbox.output().constData());
        // Amounts must not follow a locale whose decimal separator is a comma.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void init() { ClientSession::beginCase(m_sandbox, m_boxes); }
    void cleanup() { ClientSession::endCase(m_sandbox); }

    void wireForm_data() {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QString>("url");
        const QString isapi = QStringLiteral("/ws/eBayISAPI.dll?");
        QTest::newRow("item information")
            << GetItems << "GetMultipleItems"
            << "http://open.api.ebay.com/shopping?callname=GetMultipleItems&responseencoding=JSON"
               "&appid=Kalvorin-3f1a-4c2d-9b7e-5d0c8a6f2b14&siteid=3&version=705&IncludeSelector=Details"
               "&ItemID=110000000001,110000000002";
        QTest::newRow("relation") << Relation << "ViewItemLite"
                                  << "http://cgi.ebay.co.uk" + isapi + "ViewItemLite&item=110000000001&dl=5";
        QTest::newRow("shipping") << Shipping << "ViewItem"
                                  << "http://cgi.ebay.co.uk" + isapi + "ViewItem&item=110000000001";
        QTest::newRow("quick bid step 1")
            << JsonStep1 << "QuickBidStep1"
            << "http://offer.ebay.de" + isapi +
                   "MakeQuickBid&mode=0&flow=bm&item=110000000001&maxbid=12.50&isbypassjson=1";
        QTest::newRow("quick bid step 2, tokens encoded")
            << JsonStep2 << "QuickBidStep2"
            << "http://offer.ebay.de" + isapi +
                   "MakeQuickBid&mode=1&flow=bm&item=110000000001&maxbid=1234.50&stok=s%2B%2F%3D&key=k%26y"
                   "&uiid=u%231&f=json";
        QTest::newRow("page bid step 1") << HtmlStep1 << "MakeBidStep1"
                                         << "http://offer.ebay.co.uk" + isapi + "MakeBid&item=110000000001&maxbid=7.00";
        QTest::newRow("page bid step 2, user and tokens encoded")
            << HtmlStep2 << "MakeBidStep2"
            << "http://offer.ebay.co.uk" + isapi +
                   "MfcISAPICommand=MakeBid&hmid=&item=110000000001&maxbid=10.00&javascriptenabled=1"
                   "&stok=s%2B%2F%3D&mid=&mode=1&quant=1&uiid=u%3D1&user=bob%26maxbid%3D999";
        QTest::newRow("watching page size")
            << SetWatching << "MyeBayPageSize"
            << "http://my.ebay.co.uk" + isapi +
                   "MyEbayBeta&CurrentPage=MyeBayNextWatching&SubmitAction.ItemsPerPageSave=x&CustomizedContainer=240"
                   "&ItemsPerPage=200&ViewMYEBAY_NEXT_CONTAINER_CUSTOMIZE&ssPageName=STRK:MEWAX:COUNT:200"
                   "&View=WatchingNext";
        QTest::newRow("watching list")
            << Watching << "MyeBayWatching"
            << "http://my.ebay.co.uk" + isapi +
                   "MyEbayBeta&WatchingNext.Filter=All&GotoPage=1&View=WatchingNext&Column=EndTime&NewFilter=All"
                   "&CurrentPage=MyeBayNextWatching&ssPageName=STRK:MEWAX:PRINT&StoreCatFilter=0&print=true&cid=240"
                   "&FormatFilter=AllFormat";
        QTest::newRow("bidding page size")
            << SetBidding << "MyeBayPageSize"
            << "http://my.ebay.co.uk" + isapi +
                   "MyEbayBeta&CurrentPage=MyeBayNextBidding&SubmitAction.ItemsPerPageSave=x&CustomizedContainer=312"
                   "&ItemsPerPage=200&ViewMYEBAY_NEXT_CONTAINER_CUSTOMIZE&ssPageName=STRK:MEBIDX:COUNT:200"
                   "&View=BiddingNext";
        QTest::newRow("bidding list")
            << Bidding << "MyeBayBidding"
            << "http://my.ebay.co.uk" + isapi +
                   "MyEbayBeta&View=BiddingNext&Column=EndTime&NewFilter=All&BiddingNext.Filter=All"
                   "&CurrentPage=MyeBayNextBidding&ssPageName=STRK:MEBIDX:PRINT&StoreCatFilter=0&print=true&cid=312"
                   "&FormatFilter=AllFormat";
        QTest::newRow("sign-in page") << SignIn << "SignInPage"
                                      << "http://signin.ebay.co.uk" + isapi + "SignIn";
        QTest::newRow("sign-in form") << SignIn << "SignInPost"
                                      << "http://signin.ebay.co.uk" + isapi + "co_partnerId=2&siteid=3&UsingSSL=1";
    }

    void wireForm() {
        QFETCH(Request, request);
        QFETCH(QString, endpoint);
        QFETCH(QString, url);
        QObject owner;
        auto spy = send(request, &owner);
        expectOneSignal(*spy);

        const QVariantList logged = ClientSession::requestsTo(m_sandbox, endpoint);
        QCOMPARE(logged.size(), 1);
        const QVariantMap entry = logged.first().toMap();
        QCOMPARE(entry.value("url").toString(), url);
        QCOMPARE(entry.value("host").toString(), QUrl(url).host());
        QCOMPARE(entry.value("method").toString(), QString(endpoint == "SignInPost" ? "POST" : "GET"));
        QCOMPARE(ClientSession::header(entry, "Content-Type"), QString("application/x-www-form-urlencoded"));
        QVERIFY(ClientSession::header(entry, "Referer").isEmpty());
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    void failures_data() {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<bool>("drop");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QVariantList>("failure");
        const QVariantList noTokens = {false, "Network Error", "", "", ""};
        const QVariantList noHtmlTokens = {false, "Network Error", "", ""};
        const QVariantList bidFailed = {false, "Network Error"};
        struct Row {
            Request request;
            const char* endpoint;
            const char* message;
            QVariantList failure;
        };
        const QList<Row> rows = {
            {GetItems, "GetMultipleItems", "Failed to retrieve item information.", {false}},
            {Relation, "ViewItemLite", "Failed to retrieve item status information.", {false, ""}},
            {Shipping, "ViewItem", "Failed to get item shipping cost.", {false, -1.0}},
            {JsonStep1, "QuickBidStep1", "Failed to place json bid step 1.", noTokens},
            {JsonStep2, "QuickBidStep2", "Failed to place json bid step 2.", bidFailed},
            {HtmlStep1, "MakeBidStep1", "Failed to place html bid step 1.", noHtmlTokens},
            {HtmlStep2, "MakeBidStep2", "Failed to place html bid step 2.", bidFailed},
            {Watching, "MyeBayWatching", "Failed to import My eBay Watch List.", {false, QStringList()}},
            {Bidding, "MyeBayBidding", "Failed to import My eBay Bidding List.", {false, QStringList()}},
            {SignIn, "SignInPost", "Failed to sign in.", {false, 3}},
            {SetWatching, "MyeBayPageSize", "", {}},
            {SetBidding, "MyeBayPageSize", "", {}},
        };
        for (const Row& row : rows) {
            for (bool drop : {false, true}) {
                QTest::addRow("%s, %s", row.endpoint, drop ? "connection dropped" : "HTTP 500")
                    << row.request << QString(row.endpoint) << drop << QString(row.message) << row.failure;
            }
        }
    }

    // A transport or HTTP error shows one "Network Error" box naming the operation and Qt's reason, and the
    // request still ends with exactly one signal carrying the failure values.
    void failures() {
        QFETCH(Request, request);
        QFETCH(QString, endpoint);
        QFETCH(bool, drop);
        QFETCH(QString, message);
        QFETCH(QVariantList, failure);
        QVariantMap fault = {{"endpoint", endpoint}};
        if (drop)
            fault.insert("drop", true);
        else
            fault.insert("status", 500);
        ClientSession::fault(m_sandbox, fault);

        QObject owner;
        auto spy = send(request, &owner);
        expectOneSignal(*spy);
        QCOMPARE(spy->first(), failure);
        if (message.isEmpty()) {
            QVERIFY(m_boxes.boxes.isEmpty());
            return;
        }
        QCOMPARE(m_boxes.boxes.size(), 1);
        const Messages::Box box = m_boxes.boxes.first();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QString("Network Error"));
        QVERIFY2(box.text.startsWith(message + "\n") && box.text.size() > message.size() + 1, qPrintable(box.text));
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void bodiesThatAreNotJson_data() {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariantList>("failure");
        QTest::newRow("item information") << GetItems << "GetMultipleItems"
                                          << "Item Error"
                                          << "Failed to parse item information." << QVariantList{false};
        QTest::newRow("relation") << Relation << "ViewItemLite"
                                  << "Item Status Error"
                                  << "Failed to parse item status information." << QVariantList{false, ""};
        QTest::newRow("quick bid step 2") << JsonStep2 << "QuickBidStep2"
                                          << "Network Error"
                                          << "Failed to parse json bid step 2." << QVariantList{false, "Parse Error"};
    }

    void bodiesThatAreNotJson() {
        QFETCH(Request, request);
        QFETCH(QString, endpoint);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QVariantList, failure);
        ClientSession::fault(m_sandbox, {{"endpoint", endpoint}, {"malformed", true}});
        QObject owner;
        auto spy = send(request, &owner);
        expectOneSignal(*spy);
        QCOMPARE(spy->first(), failure);
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes.first().title, title);
        QCOMPARE(m_boxes.boxes.first().text, text);
    }

    void itemInformation() {
        auto helper = itemsFor("110000000001,110000000002,110000000003,110000000004,999000000001");
        QVERIFY(helper);
        ItemHelper::ItemHash* items = helper->items();
        QVERIFY(items);

        const Item* telescope = items->value("110000000001");
        QVERIFY(telescope);
        const QVariantMap state = auctionState("110000000001");
        QCOMPARE(telescope->name(), QString("Brass Telescope"));
        QVERIFY(telescope->isAuction());
        QVERIFY(!telescope->isEnded());
        QCOMPARE(telescope->currency(), QString("GBP"));
        QCOMPARE(telescope->currentBid(), state.value("currentPrice").toDouble());
        QCOMPARE(telescope->nextBid(), state.value("minimumToBid").toDouble());
        QCOMPARE(telescope->bidCount(), state.value("bidCount").toInt());
        QCOMPARE(telescope->seller(), QString("optics_shop"));
        QCOMPARE(telescope->sellerScore(), QString("1520 | 99.7%"));
        QCOMPARE(telescope->endTime().toString("yyyy-MM-ddThh:mm:ss"), state.value("endTime").toString().left(19));
        QVERIFY(telescope->isReserve());
        QVERIFY(!telescope->isReserveMet());

        const Item* watch = items->value("110000000002");
        QVERIFY(watch);
        QVERIFY(!watch->isAuction());
        QVERIFY(!watch->isReserve());
        QVERIFY(watch->isReserveMet());
        QCOMPARE(watch->sellerScore(), QString("0"));

        const Item* map = items->value("110000000003");
        QVERIFY(map);
        QVERIFY2(map->isAuction(), "a listing type in lower case is still an auction");
        QVERIFY(map->isEnded());

        const Item* robot = items->value("110000000004");
        QVERIFY(robot);
        QVERIFY(robot->isReserve());
        QVERIFY(robot->isReserveMet());
        QCOMPARE(robot->sellerScore(), QString("3 | 98.5%"));

        const Item* invalid = items->value("999000000001");
        QVERIFY2(invalid, "an unknown number yields a placeholder");
        QCOMPARE(invalid->name(), QString("Invalid or non-existent item"));
        QVERIFY(invalid->isEnded());
        QVERIFY(!invalid->isAuction());
        QCOMPARE(invalid->bidCount(), -1);
        QCOMPARE(invalid->currentBid(), -1.0);
        QCOMPARE(invalid->endTime().toString("yyyy-MM-ddThh:mm:ss"), QString("1970-01-01T12:00:00"));
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    void longListIsOneRequest() {
        QStringList numbers;
        for (int i = 1; i <= 30; ++i)
            numbers << QString::number(110000000000LL + i);
        QVERIFY(itemsFor(numbers.join(',')));
        const QVariantList logged = ClientSession::requestsTo(m_sandbox, "GetMultipleItems");
        QCOMPARE(logged.size(), 1);
        QVERIFY(logged.first().toMap().value("url").toString().endsWith("&ItemID=" + numbers.join(',')));
    }

    // An end time equal to eBay's timestamp is not over yet; a second later it is.
    void endTimeEqualToTimestamp() {
        m_sandbox.control("POST", "/_sandbox/reset");
        const QVariantMap auction = auctionState("110000000008");
        const qint64 end = auction.value("endTimeMs").toLongLong();
        QVERIFY(end > 0);
        QTRY_VERIFY_WITH_TIMEOUT(sandboxNowMs() >= end, 10000);
        ClientSession::clearFaultsAndLog(m_sandbox);
        auto atEnd = itemsFor("110000000008");
        QVERIFY(atEnd);
        const qint64 askedAt =
            ClientSession::requestsTo(m_sandbox, "GetMultipleItems").first().toMap().value("timeMs").toLongLong();
        QVERIFY2(askedAt < end + 1000, "the request must fall in the auction's last second");
        QVERIFY(!atEnd->items()->value("110000000008")->isEnded());

        QTRY_VERIFY_WITH_TIMEOUT(sandboxNowMs() >= end + 1000, 10000);
        auto after = itemsFor("110000000008");
        QVERIFY(after);
        QVERIFY(after->items()->value("110000000008")->isEnded());
    }

    void shipping_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<double>("shipping");
        QTest::newRow("first marker, pounds") << "110000000001" << 3.5;
        QTest::newRow("second marker, free") << "110000000002" << 0.0;
        QTest::newRow("third marker, dollars") << "110000000003" << 12.0;
        QTest::newRow("fourth marker, code after the number") << "110000000004" << -1.0;
        QTest::newRow("no marker") << "110000000005" << -1.0;
        QTest::newRow("no digits") << "110000000006" << -1.0;
    }

    void shipping() {
        QFETCH(QString, item);
        QFETCH(double, shipping);
        ItemHelper helper;
        QSignalSpy finished(&helper, &ItemHelper::getShippingFinished);
        helper.getShipping(item);
        expectOneSignal(finished);
        QCOMPARE(finished.first().at(0).toBool(), true);
        QCOMPARE(finished.first().at(1).toDouble(), shipping);
    }

    void signInAnswers_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("siteId");
        QTest::addColumn<bool>("ok");
        QTest::newRow("right password, UK") << "secret" << 3 << true;
        QTest::newRow("right password, Germany") << "secret" << 77 << true;
        QTest::newRow("wrong password") << "not-it" << 3 << false;
    }

    void signInAnswers() {
        QFETCH(QString, password);
        QFETCH(int, siteId);
        QFETCH(bool, ok);
        ClientSession::signOut();
        const QString domain = siteId == 3 ? "ebay.co.uk" : "ebay.de";
        LoginHelper helper;
        QSignalSpy step1(&helper, &LoginHelper::loginStep1Finished);
        QSignalSpy finished(&helper, &LoginHelper::loginStep2Finished);
        helper.login("sniper_uk", password, domain, siteId);
        expectOneSignal(finished);
        QCOMPARE(step1.size(), 1);
        QCOMPARE(finished.first(), (QVariantList{ok, siteId}));

        const QVariantList posts = ClientSession::requestsTo(m_sandbox, "SignInPost");
        QCOMPARE(posts.size(), 1);
        const QVariantMap post = posts.first().toMap();
        QCOMPARE(post.value("url").toString(), "http://signin." + domain + "/ws/eBayISAPI.dll?co_partnerId=2&siteid=" +
                                                   QString::number(siteId) + "&UsingSSL=1");
        const QUrlQuery form(post.value("body").toString());
        QCOMPARE(form.queryItemValue("siteid"), QString("3"));
        QCOMPARE(form.queryItemValue("userid", QUrl::FullyDecoded), QString("sniper_uk"));
        QCOMPARE(form.queryItemValue("pass", QUrl::FullyDecoded), password);
        QVERIFY(!form.queryItemValue("srt").isEmpty());
        // The pre-session cookie set by the sign-in page travels with the form post.
        QVERIFY2(!ClientSession::header(post, "Cookie").isEmpty(), qPrintable(post.value("headers").toString()));
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    void sessionCookieReachesLaterRequests() {
        ClientSession::signOut();
        QVERIFY(ClientSession::signIn("sniper_uk", "secret"));
        QObject owner;
        auto spy = send(Watching, &owner);
        expectOneSignal(*spy);
        const QVariantMap list = ClientSession::requestsTo(m_sandbox, "MyeBayWatching").first().toMap();
        const QList<QNetworkCookie> session =
            NetworkManager::instance()->cookieJar()->cookiesForUrl(QUrl("http://my.ebay.co.uk/"));
        QVERIFY(!session.isEmpty());
        for (const QNetworkCookie& cookie : session)
            QVERIFY2(ClientSession::header(list, "Cookie").contains(cookie.name() + '=' + cookie.value()),
                     cookie.name().constData());
    }

    void myEbayLists() {
        ClientSession::signOut();
        QVERIFY(ClientSession::signIn("sniper_uk", "secret"));
        QObject owner;
        auto watching = send(Watching, &owner);
        expectOneSignal(*watching);
        QCOMPARE(watching->first().at(0).toBool(), true);
        QStringList numbers = watching->first().at(1).toStringList();
        numbers.sort();
        QCOMPARE(numbers, QStringList({"110000000001", "110000000002"}));

        auto bidding = send(Bidding, &owner);
        expectOneSignal(*bidding);
        QCOMPARE(bidding->first().at(0).toBool(), true);
        QVERIFY(bidding->first().at(1).toStringList().isEmpty());

        ClientSession::signOut();
        auto signedOut = send(Watching, &owner);
        expectOneSignal(*signedOut);
        QCOMPARE(signedOut->first(), (QVariantList{true, QStringList()}));
    }

    void relation_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<QString>("relation");
        QTest::newRow("not bidding") << "110000000002" << true << "NONE";
        QTest::newRow("unknown item") << "999000000001" << true << "Unknown";
        QTest::newRow("signed out") << "110000000002" << false << "Unknown";
        QTest::newRow("answer without the relation") << "110000000007" << true << "";
    }

    void relation() {
        QFETCH(QString, item);
        QFETCH(bool, signedIn);
        QFETCH(QString, relation);
        ClientSession::signOut();
        if (signedIn)
            QVERIFY(ClientSession::signIn("sniper_uk", "secret"));
        ItemHelper helper;
        QSignalSpy finished(&helper, &ItemHelper::getUserItemRelationFinished);
        helper.getUserItemRelation(item);
        expectOneSignal(finished);
        QCOMPARE(finished.first(), (QVariantList{true, relation}));
    }
};

QTEST_MAIN(TestClient)
#include "test_client.moc"
