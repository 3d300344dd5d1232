#pragma once

#include "item.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QNetworkAccessManager;
class QNetworkReply;

// Every eBay request about items: item data from the Shopping API, the viewer relation and shipping cost from the
// UK item pages, both two-step bid flows and the My eBay lists. Created by its caller as a child for one operation
// (or one chain of sequential steps); each request is answered by exactly one signal whose first argument says
// whether it went through.
class ItemHelper : public QObject {
    Q_OBJECT

public:
    using ItemHash = QHash<QString, Item*>;

    explicit ItemHelper(QObject* parent = nullptr);
    ~ItemHelper() override;

    // Kept for the creator; the helper never reads them.
    bool quiet() const { return m_quiet; }
    void setQuiet(bool quiet) { m_quiet = quiet; }
    QString itemNumber() const { return m_itemNumber; }
    void setItemNumber(const QString& itemNumber) { m_itemNumber = itemNumber; }

    // For the requests of a snipe, which no person may hold up: failures are reported through the result signal
    // at once, without a box (lastFailure() says what went wrong); requests go through the given manager (null:
    // the shared one) and are aborted when they move no data for transferTimeoutMs (0: never).
    void setSnipeMode(QNetworkAccessManager* manager, int transferTimeoutMs);
    void setTransferTimeout(int transferTimeoutMs) { m_transferTimeoutMs = transferTimeoutMs; }
    // The failure message of the last failed request with the reason on its second line; empty after success.
    QString lastFailure() const { return m_lastFailure; }
    // Whether the last failed request was aborted by the transfer time-out.
    bool lastFailureTimedOut() const { return m_lastFailureTimedOut; }
    // Whether the last failed request ended without any HTTP answer (time-out, dropped or reset connection), so
    // that eBay may have acted on it.
    bool lastFailureUnanswered() const { return m_lastFailureUnanswered; }
    // Whether the last My eBay list came back as eBay's sign-in page (its signal gave an empty list).
    bool lastListSignedOut() const { return m_lastListSignedOut; }

    // Result of getItems, valid after getItemsFinished(true) while the helper lives.
    ItemHash* items() const { return m_items; }

    void getItems(const QString& itemNumbers);
    void getUserItemRelation(const QString& itemNumber);
    void getShipping(const QString& itemNumber);

    void placeBidJsonStep1(const QString& domain, const QString& itemNumber, double maxBid);
    void placeBidJsonStep2(const QString& domain, const QString& itemNumber, double maxBid, const QString& stok,
                           const QString& key, const QString& uiid);
    void placeBidHtmlStep1(const QString& itemNumber, double maxBid);
    void placeBidHtmlStep2(const QString& itemNumber, double maxBid, const QString& user, const QString& stok,
                           const QString& uiid);

    void setWatchingCountPerPage();
    void getMyeBayWatchingItemNumbers();
    void setBiddingCountPerPage();
    void getMyeBayBiddingItemNumbers();

    // Reads a shipping-cost text as eBay's item page shows it: 0.0 free, -1.0 unknown.
    static double parseShippingCost(const QString& costText, bool* decided = nullptr);
    // Reads the outcome of the page bid flow's confirming request.
    static QString classifyHtmlBidAnswer(const QString& page);

    // The readers of eBay's answers, apart from the replies so that any answer can be tried on them.
    // The items of a GetMultipleItems answer, added to items, which owns them (an item number given twice keeps
    // its last entry); false, with items untouched, for an answer without JSON or without a valid Timestamp.
    static bool readItems(const QByteArray& body, ItemHash* items);
    // The viewer relation of a ViewItemLite answer, "Unknown" where it names none; false for an answer without JSON.
    static bool readUserItemRelation(const QByteArray& body, QString* relation);
    // The shipping cost an item page shows: 0.0 free, -1.0 unknown.
    static double readShippingPage(const QString& page);
    // The quick-bid flow's first answer: "Redirect" (no tokens), or "Placed" with the tokens of the confirming
    // request (empty where the page has none).
    static QString readJsonBidStep1(const QString& page, QString* stok, QString* key, QString* uiid);
    // The quick-bid flow's confirming answer: "Placed", eBay's error or "UNKNOWN"; false for an answer without JSON.
    static bool readJsonBidAnswer(const QByteArray& body, QString* result);
    // A token (stok, uiid) of the page bid flow's form, or an empty string.
    static QString htmlBidToken(const QString& page, const QString& name);
    // The item numbers linked from a My eBay list page, in page order.
    static QStringList myEbayItemNumbers(const QString& page);

signals:
    void getItemsFinished(bool ok);
    void getUserItemRelationFinished(bool ok, const QString& relation);
    void getShippingFinished(bool ok, double shipping);
    void placeBidJsonStep1Finished(bool ok, const QString& errorMsg, const QString& stok, const QString& key,
                                   const QString& uiid);
    void placeBidHtmlStep1Finished(bool ok, const QString& errorMsg, const QString& stok, const QString& uiid);
    void placeBidFinished(bool ok, const QString& errorMsg);
    void setWatchingCountPerPageFinished();
    void getMyeBayWatchingItemNumbersFinished(bool ok, const QStringList& watchingItemNumbers);
    void setBiddingCountPerPageFinished();
    void getMyeBayBiddingItemNumbersFinished(bool ok, const QStringList& biddingItemNumbers);

private slots:
    void getItemsWebFinished();
    void getUserItemRelationWebFinished();
    void getShippingWebFinished();
    void placeBidJsonStep1WebFinished();
    void placeBidJsonStep2WebFinished();
    void placeBidHtmlStep1WebFinished();
    void placeBidHtmlStep2WebFinished();
    void getMyeBayWatchingItemNumbersWebFinished();
    void getMyeBayBiddingItemNumbersWebFinished();

private:
    enum ParseErrorKind { ItemsParseError = 0, RelationParseError = 1 };

    void send(const QString& url, void (ItemHelper::*slot)());
    void sendItems(const QString& itemNumbers);
    void sendPageSize(const QString& query, void (ItemHelper::*finished)());
    // The reply that finished, scheduled for deletion. With a transport or HTTP error it has shown the
    // "Network Error" box (message with %1 = the error string) and returns null.
    QNetworkReply* finishedReply(const QString& failureMessage);
    void parseError(ParseErrorKind kind);
    void clearItems();

    // Shows the box unless in snipe mode.
    void reportFailure(const QString& title, const QString& text);

    bool m_quiet = false;
    bool m_snipeMode = false;
    int m_transferTimeoutMs = 0;
    bool m_lastFailureTimedOut = false;
    bool m_lastFailureUnanswered = false;
    bool m_lastListSignedOut = false;
    QString m_lastFailure;
    QNetworkAccessManager* m_manager = nullptr;
    QString m_itemNumber;
    ItemHash* m_items = nullptr;
    QStringList m_itemBatches;
    QPointer<QNetworkReply> m_reply;
};
