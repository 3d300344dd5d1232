#pragma once

#include "item.h"

#include <QHash>
#include <QObject>
#include <QStringList>

class QNetworkReply;

// Item data through eBay's Browse API, for users with developer keys: one get_item_by_legacy_id call per number
// with the shared application token and the marketplace of the user's site, read into the same Item values the
// Shopping calls give, so that ItemHelper::getItems answers alike from either source. Numbers eBay does not know
// (or that name an item group) become the invalid-item placeholder. When eBay's daily call limit is reached, the
// reader stops asking for the rest of eBay's day and says so once. Created by ItemHelper for one getItems.
class BrowseReader : public QObject {
    Q_OBJECT

public:
    using ItemHash = QHash<QString, Item*>;

    explicit BrowseReader(QObject* parent = nullptr);
    ~BrowseReader() override;

    void getItems(const QStringList& itemNumbers, const QString& marketplace);
    // The items read, handed over to the caller after getItemsFinished(true).
    ItemHash takeItems();

    // EBAY_GB for ebay.co.uk and so on; sites the Browse API does not list fall back to EBAY_GB.
    static QString marketplaceOf(const QString& domain);
    static QString itemUrl(const QString& itemNumber);
    // An item answer read into an Item (ended by "now", eBay time); false for an answer without JSON.
    static bool readItem(const QByteArray& body, const QDateTime& now, Item* item);
    // The first errorId of an error answer (0 when there is none) and its message.
    static int readError(const QByteArray& body, QString* message);

    // How many calls one reader keeps in flight: a long list is read in a few seconds without flooding eBay.
    static constexpr int parallelCalls = 4;

signals:
    // Exactly once per getItems. With ok false a box has said why (or the limit's message was shown).
    void getItemsFinished(bool ok);

private slots:
    void tokenReady(bool ok);
    void itemWebFinished();

private:
    void sendMore();
    void fail(const QString& title, const QString& message, const QString& reason);
    void finishWhenIdle();
    void reachLimit();

    QStringList m_queue;
    QString m_marketplace;
    ItemHash m_items;
    int m_inFlight = 0;
    bool m_waitingForToken = false;
    bool m_tokenRenewed = false;
    bool m_failed = false;
    bool m_finished = false;
};
