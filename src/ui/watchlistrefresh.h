#pragma once

#include "itemhelper.h"
#include "traymessenger.h"

#include <QObject>
#include <QSqlRecord>

class WatchListModel;

// Keeps the watch list in step with eBay: one item-data request for the rows it is given, the answers written to the
// store, then each row's shipping cost and viewer relation. Every write re-reads only its own row in the model.
// Owned by the main window; its request objects are its children.
class WatchListRefresh : public QObject {
    Q_OBJECT

public:
    WatchListRefresh(WatchListModel* model, TrayMessenger* tray, QObject* parent = nullptr);

    // Refreshes these items (numbers of the signed-in user's rows); nothing is asked for an empty list.
    void refresh(const QStringList& itemNumbers);
    // Asks for one row's shipping cost and relation (a newly added item).
    void requestDetails(const QString& itemNumber);

    // The fields eBay reports, from a fresh answer onto a stored item.
    static void copyEbayFacts(const Item& fresh, QSqlRecord& item);
    // Whether an answer is the client's stand-in for a number eBay does not know (or no longer lists).
    static bool isStandIn(const Item& fresh);

signals:
    // A scheduled snipe was changed by the refresh (its listing is gone): the engine must re-read the schedule.
    void snipesChanged();

private:
    void itemsFinished(ItemHelper* helper, bool ok);
    // Writes one fresh answer onto its stored row; true when the row changed.
    bool storeFacts(const Item& fresh, const QSqlRecord& user, bool* snipeChanged);
    void relationFinished(const QString& itemNumber, bool ok, const QString& relation);
    void shippingFinished(const QString& itemNumber, bool ok, double shipping);

    WatchListModel* m_model;
    TrayMessenger* m_tray;
};
