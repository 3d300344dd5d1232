#include "applicationtoken.h"
#include "clientsession.h"
#include "clockmanager.h"
#include "developerkeys.h"
#include "itemhelper.h"
#include "loginhelper.h"
#include "messagerecorder.h"
#include "networkmanager.h"

#include <QtTest>

// A fault on every request of one kind: the box's title and text it shows and the values its signal carries.
struct Failure {
    const char *name, *fault, *title, *message;
    int request;
    QVariantList failure;
};
Q_DECLARE_METATYPE(Failure)

// The eBay client against the simulated eBay: the exact requests on the wire, one result and at most one box per
// request, and how each answer of eBay's is read.
class TestClient : public QObject {
    Q_OBJECT

public:
    enum Request { Items, BrowseItems, Relation, Json1, Json2, Html2, WatchSize, Bids, SignIn };
    Q_ENUM(Request)

private:
    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;

    // A fresh helper owned by the owner, started by the call, and a spy on the one signal that answers it.
    template <typename Helper, typename Signal, typename Call>
    static QSignalSpy* start(QObject* owner, Signal signal, Call call) {
        auto* helper = new Helper(owner);
        auto* spy = new QSignalSpy(helper, signal);
        spy->setParent(owner);
        call(*helper);
        return spy;
    }

    static QSignalSpy* send(Request request, QObject* owner) {
        using H = ItemHelper;
        switch (request) {
        case BrowseItems:
            useSource("browse");
            [[fallthrough]];
        case Items:
            return start<H>(owner, &H::getItemsFinished, [](H& h) { h.getItems("110000000001,110000000002"); });
        case Relation:
            return start<H>(owner, &H::getUserItemRelationFinished,
                            [](H& h) { h.getUserItemRelation("110000000001"); });
        case Json1:
            return start<H>(owner, &H::placeBidJsonStep1Finished,
                            [](H& h) { h.placeBidJsonStep1("ebay.de", "110000000001", 12.5); });
        case Json2:
            return start<H>(owner, &H::placeBidFinished,
                            [](H& h) { h.placeBidJsonStep2("ebay.de", "110000000001", 1234.5, "s+/=", "k&y", "u#1"); });
        case Html2:
            return start<H>(owner, &H::placeBidFinished,
                            [](H& h) { h.placeBidHtmlStep2("110000000001", 10, "bob&maxbid=999", "s+/=", "u=1"); });
        case WatchSize:
            return start<H>(owner, &H::setWatchingCountPerPageFinished, [](H& h) { h.setWatchingCountPerPage(); });
        case Bids:
            return start<H>(owner, &H::getMyeBayBiddingItemNumbersFinished,
                            [](H& h) { h.getMyeBayBiddingItemNumbers(); });
        case SignIn:
            return start<LoginHelper>(owner, &LoginHelper::loginStep2Finished,
                                      [](LoginHelper& h) { h.login("sniper_uk", "secret", "ebay.co.uk", 3); });
        }
        return nullptr;
    }

    void expectOneSignal(QSignalSpy& spy) { ClientSession::expectOneSignal(m_sandbox, spy); }

    std::unique_ptr<ItemHelper> itemsFor(const QString& numbers) {
        auto helper = std::make_unique<ItemHelper>();
        QSignalSpy finished(helper.get(), &ItemHelper::getItemsFinished);
        helper->getItems(numbers);
        if (!finished.wait(10000) || !finished.first().at(0).toBool())
            return nullptr;
        return helper;
    }

    // Item data from the Shopping calls, or with developer keys (the sandbox's own) from the Browse API.
    static void useSource(const QString& source) {
        QSettings().remove("DeveloperKeys");
        if (source == "browse")
            DeveloperKeys::save("Tollimer-Sandbox-PRD-5d0c8a6f2b14", "PRD-sandbox-9b7e-4c2d");
    }

    qint64 sandboxNowMs() {
        const QString now = ClientSession::control(m_sandbox, "/_sandbox/state").value("now").toString();
        return QDateTime::fromString(now, Qt::ISODateWithMs).toMSecsSinceEpoch();
    }

private slots:
    void initTestCase() {
        QVERIFY2(ClientSession::start(m_sandbox, "client"), m_sandbox.output().constData());
        // Amounts must not follow a locale whose decimal separator is a comma.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        useSource("shopping");
    }

    void init() { ClientSession::beginCase(m_sandbox, m_boxes); }
    void cleanup() {
        ClientSession::endCase(m_sandbox);
        useSource("shopping");
    }

    // Tokens and the user name go out percent-encoded and amounts with a point whatever the locale; the sandbox
    // refuses a parameter name the program misspells, so the other calls need no literal URL here.
    void wireForm_data() {
        QTest::addColumn<Request>("request");
        QTest::addColumn<QString>("urls");
        testRow("quick bid step 2", Json2,
                "http://offer.ebay.de/ws/eBayISAPI.dll?MakeQuickBid&mode=1&flow=bm&item=110000000001&maxbid=1234.50"
                "&stok=s%2B%2F%3D&key=k%26y&uiid=u%231&f=json");
        testRow("page bid step 2", Html2,
                "http://offer.ebay.co.uk/ws/eBayISAPI.dll?MfcISAPICommand=MakeBid&hmid=&item=110000000001"
                "&maxbid=10.00&javascriptenabled=1&stok=s%2B%2F%3D&mid=&mode=1&quant=1&uiid=u%3D1"
                "&user=bob%26maxbid%3D999");
    }

    // Every request the operation made, in order, space-separated.
    void wireForm() {
        QFETCH(Request, request);
        QFETCH(QString, urls);
        QObject owner;
        expectOneSignal(*send(request, &owner));

        QStringList sent;
        for (const QVariant& logged : ClientSession::requests(m_sandbox)) {
            const QVariantMap entry = logged.toMap();
            sent << entry.value("url").toString();
            QCOMPARE(entry.value("host").toString(), QUrl(sent.last()).host());
            QCOMPARE(entry.value("method").toString(), QString("GET"));
            QCOMPARE(ClientSession::header(entry, "Content-Type"), QString("application/x-www-form-urlencoded"));
            QVERIFY(ClientSession::header(entry, "Referer").isEmpty());
        }
        QCOMPARE(sent.join(' '), urls);
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    // Each fault hits every request of the operation. A message ending in a line break is followed by Qt's reason.
    void failures_data() {
        QTest::addColumn<Failure>("row");
        const char *net = "Network Error", *bad = "malformed";
        const Failure rows[] = {
            {"items, 500", "status", net, "Failed to retrieve item information.\n", Items, {false}},
            {"relation, drop", "drop", net, "Failed to retrieve item status information.\n", Relation, {false, ""}},
            {"json 1, drop", "drop", net, "Failed to place json bid step 1.\n", Json1, {false, net, "", "", ""}},
            {"html 2, 500", "status", net, "Failed to place html bid step 2.\n", Html2, {false, net}},
            {"bids, drop", "drop", net, "Failed to import My eBay Bidding List.\n", Bids, {false, QStringList()}},
            {"sign-in, 500", "status", net, "Failed to sign in.\n", SignIn, {false, 3}},
            {"page size, drop, no box", "drop", "", "", WatchSize, {}},
            {"items, bad", bad, "Item Error", "Failed to parse item information.", Items, {false}},
            {"browse, 500", "status", net, "Failed to retrieve item information.\n", BrowseItems, {false}},
            {"browse, bad", bad, "Item Error", "Failed to parse item information.", BrowseItems, {false}},
            {"rel., bad", bad, "Item Status Error", "Failed to parse item status information.", Relation, {false, ""}},
            {"json 2, bad", bad, net, "Failed to parse json bid step 2.", Json2, {false, "Parse Error"}},
        };
        for (const Failure& row : rows)
            testRow(row.name, row);
    }

    // A failed request ends with exactly one signal carrying the failure values and shows exactly one box.
    void failures() {
        QFETCH(Failure, row);
        const QString fault = row.fault, message = row.message;
        ClientSession::fault(m_sandbox, {{"endpoint", "*"}, {fault, fault == "status" ? QVariant(500) : true}});

        QObject owner;
        QSignalSpy* spy = send(Request(row.request), &owner);
        expectOneSignal(*spy);
        QCOMPARE(spy->first(), row.failure);
        if (message.isEmpty()) {
            QVERIFY(m_boxes.boxes.isEmpty());
            return;
        }
        QCOMPARE(m_boxes.boxes.size(), 1);
        const Messages::Box box = m_boxes.boxes.first();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QString(row.title));
        if (message.endsWith('\n'))
            QVERIFY2(box.text.startsWith(message) && box.text.size() > message.size(), qPrintable(box.text));
        else
            QCOMPARE(box.text, message);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    // Every item of one request is read, unknown numbers included as ended placeholders.
    // Both sources read the same auctions into the same items.
    void itemInformation_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("seller");
        for (const QString source : {"shopping", "browse"}) {
            const auto row = [&](const QString& name, const QStringList& values) {
                return QStringList{source + ": " + name, source} + values;
            };
            ClientSession::addRows({
                row("reserve not met", {"110000000001", "auction reserve", "optics_shop 1520 | 99.7%"}),
                row("fixed price, no feedback", {"110000000002", "met", "new_seller 0"}),
                row("listing type in lower case, ended", {"110000000003", "auction ended met", "maps 12 | 100%"}),
                row("reserve met", {"110000000004", "auction reserve met", "toys 3 | 98.5%"}),
                row("unknown number", {"999000000001", "ended met", " "}),
            });
        }
    }

    void itemInformation() {
        QFETCH(QString, source);
        QFETCH(QString, item);
        QFETCH(QString, flags);
        QFETCH(QString, seller);
        useSource(source);
        auto helper = itemsFor("110000000001,110000000002,110000000003,110000000004,999000000001");
        QVERIFY(helper);
        const Item* read = helper->items()->value(item);
        QVERIFY(read);
        QStringList readFlags;
        for (auto [flag, set] : {std::pair{"auction", read->isAuction()},
                                 {"ended", read->isEnded()},
                                 {"reserve", read->isReserve()},
                                 {"met", read->isReserveMet()}}) {
            if (set)
                readFlags << flag;
        }
        QCOMPARE(readFlags.join(' '), flags);
        QCOMPARE(read->seller() + ' ' + read->sellerScore(), seller);

        const QVariantMap state = ClientSession::auctionState(m_sandbox, item);
        if (state.isEmpty()) {
            QCOMPARE(read->name(), QString("Invalid or non-existent item"));
            QCOMPARE(read->bidCount(), -1);
            QCOMPARE(read->currentBid(), -1.0);
            QCOMPARE(read->endTime().toString("yyyy-MM-ddThh:mm:ss"), QString("1970-01-01T12:00:00"));
        } else {
            QCOMPARE(read->name(), state.value("title").toString());
            QCOMPARE(read->currency(), state.value("currency").toString());
            QCOMPARE(read->currentBid(), state.value("currentPrice").toDouble());
            if (read->isAuction())
                QCOMPARE(read->nextBid(), state.value("minimumToBid").toDouble());
            QCOMPARE(read->bidCount(), state.value("bidCount").toInt());
            QCOMPARE(read->endTime().toString("yyyy-MM-ddThh:mm:ss"), state.value("endTime").toString().left(19));
        }
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    // The Browse API's token, errors and daily limit: two reads with the sandbox set as "first" before them and as
    // "between" after the first; then whether each went through, the token and item calls eBay saw and the calls
    // the program counts as left.
    void browseCalls_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("between");
        QTest::addColumn<QString>("items");
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QString>("box");
        ClientSession::addRows({
            {"one token for both; groups and unknown numbers are placeholders", "{}", "{}",
             "110000000001,110000000009,999000000001", "true true 1 6 4994", ""},
            {"keys refused", R"({"clientSecret":"other"})", "{}", "110000000001", "false false 2 0 5000",
             "eBay refused the developer keys."},
            {"a token eBay dropped is renewed once", "{}", R"({"expireTokens":true})", "110000000001",
             "true true 2 3 4997", ""},
            {"daily limit: the rest of the day asks nothing", R"({"dailyLimit":1})", "{}", "110000000001,110000000004",
             "true true 1 2 0", "eBay's daily limit"},
        });
    }

    void browseCalls() {
        QFETCH(QString, first);
        QFETCH(QString, between);
        QFETCH(QString, items);
        QFETCH(QString, seen);
        QFETCH(QString, box);
        useSource("browse");
        ApplicationToken::instance()->forget();
        m_sandbox.control("POST", "/_sandbox/browse", first.toUtf8());
        QStringList results;
        for (const QString& settings : {QString("{}"), between}) {
            m_sandbox.control("POST", "/_sandbox/browse", settings.toUtf8());
            ItemHelper helper;
            QSignalSpy finished(&helper, &ItemHelper::getItemsFinished);
            helper.getItems(items);
            QVERIFY(finished.size() == 1 || finished.wait(10000));
            results << finished.first().first().toString();
            if (const Item* telescope = helper.items() ? helper.items()->value("110000000001") : nullptr)
                QCOMPARE(telescope->shipping(), 3.5);
            if (const Item* group = helper.items() ? helper.items()->value("110000000009") : nullptr)
                QCOMPARE(group->name(), QString("Invalid or non-existent item"));
        }
        m_sandbox.control("POST", "/_sandbox/browse",
                          R"({"clientSecret":"PRD-sandbox-9b7e-4c2d","dailyLimit":5000,"callsToday":0})");
        const QVariantList tokens = ClientSession::requestsTo(m_sandbox, "BrowseToken");
        const QVariantList calls = ClientSession::requestsTo(m_sandbox, "BrowseItem");
        results << QString::number(tokens.size()) << QString::number(calls.size())
                << QString::number(DeveloperKeys::callsLeftToday());
        QCOMPARE(results.join(' '), seen);
        QTRY_COMPARE(m_boxes.boxes.isEmpty(), box.isEmpty());
        if (!box.isEmpty())
            QVERIFY2(m_boxes.boxes.first().text.startsWith(box), qPrintable(m_boxes.boxes.first().text));
        // The sandbox refuses a wrong grant, scope or token, but serves every marketplace.
        if (!calls.isEmpty())
            QCOMPARE(ClientSession::header(calls.first().toMap(), "X-EBAY-C-MARKETPLACE-ID"), QString("EBAY_GB"));
    }

    // eBay's day, by which its call limits start again, is a day of US Pacific time.
    void ebayDay_data() {
        QTest::addColumn<QString>("utc");
        QTest::addColumn<QString>("day");
        ClientSession::addRows({{"winter, before 08:00 UTC", "2026-12-07T07:59:59", "2026-12-06"},
                                {"winter, from 08:00 UTC", "2026-12-07T08:00:00", "2026-12-07"},
                                {"summer, from 07:00 UTC", "2026-07-07T07:00:00", "2026-07-07"}});
    }

    void ebayDay() {
        QFETCH(QString, utc);
        QFETCH(QString, day);
        QCOMPARE(DeveloperKeys::ebayDay(ClockManager::parseEbayTime(utc)).toString(Qt::ISODate), day);
    }

    // An end time equal to eBay's timestamp is not over yet; a second later it is.
    void endTimeEqualToTimestamp() {
        m_sandbox.control("POST", "/_sandbox/reset");
        const qint64 end = ClientSession::auctionState(m_sandbox, "110000000008").value("endTimeMs").toLongLong();
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
        testRow("first marker, pounds", "110000000001", 3.5);
        testRow("second marker, free", "110000000002", 0.0);
        testRow("third marker, dollars", "110000000003", 12.0);
        testRow("fourth marker, code after the number", "110000000004", -1.0);
        testRow("no marker", "110000000005", -1.0);
        testRow("no digits", "110000000006", -1.0);
    }

    void shipping() {
        QFETCH(QString, item);
        QFETCH(double, shipping);
        ItemHelper helper;
        QSignalSpy finished(&helper, &ItemHelper::getShippingFinished);
        helper.getShipping(item);
        expectOneSignal(finished);
        QCOMPARE(finished.first(), (QVariantList{true, shipping}));
    }

    // A wrong password is the login dialog's and wizard's to show; the sandbox refuses a form without the user,
    // password or its sign-in page's srt, so a sign-in that succeeds sent them. Germany shows the site in the URL
    // apart from the UK one in the form.
    void signInAnswers() {
        ClientSession::signOut();
        LoginHelper helper;
        QSignalSpy step1(&helper, &LoginHelper::loginStep1Finished);
        QSignalSpy finished(&helper, &LoginHelper::loginStep2Finished);
        helper.login("sniper_uk", "secret", "ebay.de", 77);
        expectOneSignal(finished);
        QCOMPARE(step1.size(), 1);
        QCOMPARE(finished.first(), (QVariantList{true, 77}));

        const QVariantList posts = ClientSession::requestsTo(m_sandbox, "SignInPost");
        QCOMPARE(posts.size(), 1);
        const QVariantMap post = posts.first().toMap();
        QCOMPARE(post.value("url").toString(),
                 QString("http://signin.ebay.de/ws/eBayISAPI.dll?co_partnerId=2&siteid=77&UsingSSL=1"));
        QCOMPARE(QUrlQuery(post.value("body").toString()).queryItemValue("siteid"), QString("3"));
        // The pre-session cookie set by the sign-in page travels with the form post.
        QVERIFY(ClientSession::header(post, "Cookie").contains("ebay_presid="));
        QVERIFY(m_boxes.boxes.isEmpty());
    }

    // The watching list comes with the session cookie of the sign-in; signed out it is empty, not a failure.
    void watchingList() {
        ClientSession::signOut();
        QVERIFY(ClientSession::signInUser());
        QCOMPARE(ClientSession::myEbayList(false), QStringList({"110000000001", "110000000002"}));
        const QVariantMap list = ClientSession::requestsTo(m_sandbox, "MyeBayWatching").first().toMap();
        QVERIFY(ClientSession::sentSessionCookies(list, "http://my.ebay.co.uk/"));
        ClientSession::signOut();
        QCOMPARE(ClientSession::myEbayList(false), QStringList());
    }

    // An answer without the field reads as no relation instead of a stale one.
    void relationWithoutAnswer() {
        QVERIFY(ClientSession::signInUser());
        QCOMPARE(ClientSession::relationOf("110000000007"), QString(""));
    }
};

QTEST_MAIN(TestClient)
#include "test_client.moc"
