// The main window's refresh of the shown watch list from eBay: item data, then each row's shipping cost and
// viewer relation, matched to rows by item number since the table may be rebuilt or re-sorted meanwhile.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "notifications.h"
#include "tollimerapp.h"

#include <QDebug>
#include <QSqlDatabase>

namespace {
QSqlRecord appUser() {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->user() : QSqlRecord();
}
} // namespace

void MainWindow::reload() {
    qDebug() << "reload started";
    QStringList numbers;
    const QTableWidget* table = m_ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (const QTableWidgetItem* cell = table->item(row, ItemNumberColumn))
            numbers << cell->text();
    }
    qDebug() << numbers.size() << " items in watch list";
    if (numbers.isEmpty())
        return;
    auto* helper = new ItemHelper(this);
    connect(helper, SIGNAL(getItemsFinished(bool)), this, SLOT(reloadFinished(bool)));
    helper->getItems(numbers.join(QLatin1Char(',')));
}

void MainWindow::reloadFinished(bool ok) {
    qDebug() << "reload finished";
    auto* helper = qobject_cast<ItemHelper*>(sender());
    if (!helper)
        return;
    helper->deleteLater();
    if (!ok || !helper->items())
        return;
    qDebug() << "update db";
    updateDbItems(*helper->items());
    loadItemsFromDb();
    qDebug() << "start update relations";
    const QTableWidget* table = m_ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString itemNumber = table->item(row, ItemNumberColumn)->text();
        requestShipping(row, itemNumber);
        requestRelation(row, itemNumber);
    }
}

void MainWindow::copyEbayFacts(const Item& fresh, QSqlRecord& item) {
    item.setValue(QStringLiteral("name"), fresh.name());
    item.setValue(QStringLiteral("is_ended"), fresh.isEnded());
    item.setValue(QStringLiteral("bid_count"), fresh.bidCount());
    item.setValue(QStringLiteral("current_bid"), fresh.currentBid());
    item.setValue(QStringLiteral("next_bid"), fresh.nextBid());
    item.setValue(QStringLiteral("currency"), fresh.currency());
    item.setValue(QStringLiteral("end_time"), ClockManager::storeText(fresh.endTime()));
    item.setValue(QStringLiteral("is_reserve"), fresh.isReserve());
    item.setValue(QStringLiteral("is_reserve_met"), fresh.isReserveMet());
    item.setValue(QStringLiteral("seller"), fresh.seller());
    item.setValue(QStringLiteral("seller_score"), fresh.sellerScore());
}

void MainWindow::updateDbItems(const ItemHelper::ItemHash& items) {
    const QSqlRecord user = appUser();
    // One commit for the whole list instead of one per row: on a long list the commits are most of the time.
    QSqlDatabase store = QSqlDatabase::database();
    const bool batched = store.transaction();
    for (const Item* fresh : items) {
        QSqlRecord item = QSqlDatabase::database().record(QStringLiteral("items"));
        item.setValue(QStringLiteral("item_number"), fresh->itemNumber());
        item.setValue(QStringLiteral("user_id"), user.value(QStringLiteral("id")));
        // A number eBay no longer knows must not overwrite a row that is not there either.
        if (!DbHelper::getItem(item))
            continue;
        const double bid = item.value(QStringLiteral("user_bid")).toDouble();
        const bool underBid =
            bid > 0 && item.value(QStringLiteral("next_bid")).toDouble() <= bid && fresh->nextBid() > bid;
        copyEbayFacts(*fresh, item);
        DbHelper::updateItem(item);
        if (!underBid || fresh->isEnded())
            continue;
        if (user.value(QStringLiteral("outbid_notification")).toBool())
            sendNotification(user.value(QStringLiteral("email")).toString(),
                             lowBidNotification(user.value(QStringLiteral("username")).toString(), fresh->itemNumber(),
                                                fresh->name(), fresh->nextBid(), bid));
        showTrayMessage(tr("Low scheduled bid on item ") + fresh->itemNumber(),
                        tr("Your scheduled bid is lower than the current bid! You need to raise your bid.\r\n"
                           "Item Name: ") +
                            fresh->name(),
                        Warning);
    }
    if (batched && !store.commit())
        store.rollback();
}

// The answers are delivered with the helper in hand: asking Qt for the sender walks every connection into the
// window, three per row for the cell links, which on a long list costs more than the answer itself.
ItemHelper* MainWindow::rowRequest(const QString& itemNumber) {
    auto* helper = new ItemHelper(this);
    helper->setItemNumber(itemNumber);
    return helper;
}

void MainWindow::requestRelation(int row, const QString& itemNumber) {
    Q_UNUSED(row)
    ItemHelper* helper = rowRequest(itemNumber);
    connect(helper, &ItemHelper::getUserItemRelationFinished, helper, [this, helper](bool ok, const QString& relation) {
        m_answering = helper;
        relationFinished(ok, relation);
        m_answering = nullptr;
    });
    helper->getUserItemRelation(itemNumber);
}

void MainWindow::requestShipping(int row, const QString& itemNumber) {
    Q_UNUSED(row)
    ItemHelper* helper = rowRequest(itemNumber);
    connect(helper, &ItemHelper::getShippingFinished, helper, [this, helper](bool ok, double shipping) {
        m_answering = helper;
        getShippingFinished(ok, shipping);
        m_answering = nullptr;
    });
    helper->getShipping(itemNumber);
}

int MainWindow::finishedRowRequest(bool ok) {
    auto* helper = m_answering ? m_answering.data() : qobject_cast<ItemHelper*>(sender());
    if (!helper)
        return -1;
    helper->deleteLater();
    return ok ? findRow(helper->itemNumber()) : -1;
}

void MainWindow::relationFinished(bool ok, const QString& relation) {
    const int row = finishedRowRequest(ok);
    QTableWidget* table = m_ui->tableWidget;
    QTableWidgetItem* status = row < 0 ? nullptr : table->item(row, StatusColumn);
    if (!status)
        return;
    const QStringList key = status->data(Qt::UserRole).toString().split(QLatin1Char(','));
    const int bidStatus = key.value(0).toInt();
    const bool isReserve = key.value(2) == QLatin1String("1");
    const bool isReserveMet = key.value(3) == QLatin1String("1");
    const QTableWidgetItem* timeLeft = table->item(row, TimeLeftColumn);
    setStatusText(status, bidStatus, relation, timeLeft ? timeLeft->data(Qt::UserRole).toDateTime() : QDateTime(),
                  isReserve, isReserveMet);
    if (const QTableWidgetItem* number = table->item(row, ItemNumberColumn)) {
        QSqlRecord item = QSqlDatabase::database().record(QStringLiteral("items"));
        item.setValue(QStringLiteral("id"), number->data(Qt::UserRole).toInt());
        // Most answers repeat what is stored; a read is cheap, a commit per row is most of a long refresh.
        if (DbHelper::getItem(item) && item.value(QStringLiteral("user_relation")).toString() == relation)
            return;
        item.setValue(QStringLiteral("user_relation"), relation);
        DbHelper::updateUserRelation(item);
    }
}

void MainWindow::getShippingFinished(bool ok, double shipping) {
    // A failed request knows nothing about the cost: the stored one stays.
    const int row = finishedRowRequest(ok);
    QTableWidget* table = m_ui->tableWidget;
    const QTableWidgetItem* number = row < 0 ? nullptr : table->item(row, ItemNumberColumn);
    if (!number || number->data(Qt::UserRole).toInt() == 0)
        return;
    QSqlRecord item = QSqlDatabase::database().record(QStringLiteral("items"));
    item.setValue(QStringLiteral("id"), number->data(Qt::UserRole).toInt());
    if (!DbHelper::getItem(item))
        return;
    if (QTableWidgetItem* cell = table->item(row, ShippingColumn))
        setShippingText(cell, item.value(QStringLiteral("currency")).toString(), shipping);
    const QVariant stored = item.value(QStringLiteral("shipping"));
    if (shipping < 0 ? stored.isNull() : (!stored.isNull() && stored.toDouble() == shipping))
        return;
    item.setValue(QStringLiteral("shipping"), shipping < 0 ? QVariant() : QVariant(shipping));
    DbHelper::updateItem(item);
}
