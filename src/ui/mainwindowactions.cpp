// The main window's actions on the watch list: adding items, refreshing, deleting, sniping and cancelling, the
// context menu and the list's links.
#include "mainwindow.h"

#include "bidengine.h"
#include "ui_mainwindow.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "messages.h"
#include "myqwebview.h"
#include "snipedialog.h"
#include "texthelpers.h"
#include "watchlistrefresh.h"

#include <QApplication>
#include <QDebug>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QRegExp>
#include <QTableView>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

int MainWindow::selectedRow() const {
    const QModelIndexList rows = m_view->selectionModel()->selectedRows(0);
    return rows.isEmpty() ? -1 : rows.first().row();
}

int MainWindow::selectedItemId() const {
    const QModelIndexList rows = m_view->selectionModel()->selectedRows(0);
    return rows.isEmpty() ? 0 : rows.first().data(WatchListModel::IdRole).toInt();
}

QSqlRecord MainWindow::selectedItemRecord() const {
    return WatchListModel::storedItem(selectedItemId());
}

QString MainWindow::selectedItemIds() const {
    QStringList ids;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows(0))
        ids << QString::number(index.data(WatchListModel::IdRole).toInt());
    return ids.join(QLatin1Char(','));
}

QString MainWindow::currentPageItemNumber() const {
    const QWebElement document = m_webView->page()->currentFrame()->documentElement();
    // The class value with a space is quoted: unquoted, the selector does not parse and never matches.
    static const QStringList selectors = {QStringLiteral("div.u-flL.iti-act-num"),
                                          QStringLiteral("div[id='viTabs_0_cnt'] div div"),
                                          QStringLiteral("span[class='vi-xs vi-lk']"),
                                          QStringLiteral("div[id='itm_num']"), QStringLiteral("div[class=u-flR]")};
    for (const QString& selector : selectors) {
        const QWebElement element = document.findFirst(selector);
        if (element.isNull())
            continue;
        QRegExp digits(QStringLiteral(".*(\\d+)$"));
        digits.setMinimal(true);
        if (digits.indexIn(element.toPlainText()) >= 0)
            return digits.cap(1);
    }
    return extractBetween(document.toOuterXml(), QStringLiteral("Item number:</div><div class=\"u-flL\">"),
                          QStringLiteral("</div>"));
}

void MainWindow::watch() {
    const QString number = currentPageItemNumber();
    if (number.isEmpty()) {
        Messages::critical(this, tr("Add Item Error"), tr("Failed to get item, please go to an item listing page."));
        return;
    }
    watchItem(number);
}

void MainWindow::manualWatch() {
    const QString number = m_itemNumberEdit->text().trimmed();
    if (number.isEmpty()) {
        Messages::critical(this, tr("Add Item Error"), tr("Please enter a valid eBay auction item number."));
        return;
    }
    watchItem(number);
}

bool MainWindow::isWatched(const QString& itemNumber) const {
    return WatchListModel::storedItem(itemNumber).value(QStringLiteral("id")).toInt() > 0;
}

void MainWindow::watchItem(const QString& itemNumber) {
    if (isWatched(itemNumber)) {
        Messages::information(this, tr("Duplicate Item"), tr("This item is already in your watch list"));
        return;
    }
    watchItems({itemNumber}, false);
}

void MainWindow::watchItems(const QStringList& itemNumbers, bool quiet) {
    QStringList fresh;
    for (const QString& number : itemNumbers) {
        if (!isWatched(number)) {
            if (!fresh.contains(number))
                fresh << number;
        } else if (!quiet) {
            Messages::information(this, tr("Duplicate Item"), tr("This item is already in your watch list"));
        }
    }
    if (fresh.isEmpty()) {
        emit importFinished();
        return;
    }
    auto* helper = new ItemHelper(this);
    helper->setQuiet(quiet);
    connect(helper, SIGNAL(getItemsFinished(bool)), this, SLOT(addItemsFinished(bool)));
    helper->getItems(fresh.join(QLatin1Char(',')));
}

void MainWindow::addItemsFinished(bool ok) {
    auto* helper = qobject_cast<ItemHelper*>(sender());
    if (!helper)
        return;
    helper->deleteLater();
    const bool quiet = helper->quiet();
    if (!ok || !helper->items())
        return;
    int added = 0;
    for (const Item* found : qAsConst(*helper->items())) {
        if (!found->isAuction()) {
            if (!quiet)
                Messages::information(this, tr("Non-Auction Item"),
                                      tr("Either item number is invalid or item is not Auction format."));
            continue;
        }
        QSqlRecord item = WatchListModel::storedItem(0);
        item.setValue(QStringLiteral("item_number"), found->itemNumber());
        item.setValue(QStringLiteral("user_id"), signedInUserId());
        item.setValue(QStringLiteral("user_relation"), QString::fromLatin1(UserRelation::none));
        WatchListRefresh::copyEbayFacts(*found, item);
        if (!DbHelper::addItem(item))
            continue;
        added = WatchListModel::storedItem(found->itemNumber()).value(QStringLiteral("id")).toInt();
        m_model->reloadItem(added);
        m_refresh->requestDetails(found->itemNumber());
    }
    // A number typed by hand is done with once its row is there, and the row is where the user looks next.
    if (!quiet && added > 0) {
        m_itemNumberEdit->clear();
        m_view->clearSelection();
        selectItem(added);
        const int row = m_model->rowOfId(added);
        m_view->scrollTo(m_filter->mapFromSource(m_model->index(row, 0)));
    }
    if (quiet)
        emit importFinished();
}

void MainWindow::reload() {
    // Rows that ended and whose outcome is stored have nothing left to learn; eBay throttles needless calls.
    QStringList numbers;
    const QDateTime now = ClockManager::instance()->currentDateTime();
    for (int i = 0; i < m_filter->rowCount(); ++i) {
        const WatchListModel::Row& row = m_model->row(m_filter->mapToSource(m_filter->index(i, 0)).row());
        const bool settled = row.isEnded && row.endTime < now && row.bidStatus != BidStatus::Scheduled &&
                             row.bidStatus != BidStatus::Bidding && !row.relation.isEmpty();
        if (!settled)
            numbers << row.itemNumber;
    }
    m_refresh->refresh(numbers);
}

void MainWindow::remove() {
    const QString ids = selectedItemIds();
    if (ids.isEmpty())
        return;
    if (Messages::question(this, tr("Delete Items"), tr("Are you sure you want to delete the selected item(s)?")) !=
        QMessageBox::Ok)
        return;
    DbHelper::deleteItems(ids);
    snipesChanged();
    for (const QString& id : ids.split(QLatin1Char(',')))
        m_model->reloadItem(id.toInt());
}

void MainWindow::snipe() {
    QSqlRecord item = selectedItemRecord();
    if (item.isEmpty() || item.value(QStringLiteral("id")).isNull() || item.value(QStringLiteral("id")).toInt() < 1) {
        Messages::warning(this, tr("Edit Snipe"), tr("Select an item to snipe."));
        return;
    }
    if (ClockManager::parseEbayTime(item.value(QStringLiteral("end_time")).toString()) <
        ClockManager::instance()->currentDateTime()) {
        Messages::warning(this, tr("Edit Snipe"), tr("Auction has ended for this item."));
        return;
    }
    // A bid task is placing this snipe now; scheduling it again would send a second bid.
    if (item.value(QStringLiteral("bid_status")).toInt() == BidStatus::Bidding) {
        Messages::warning(this, tr("Edit Snipe"), tr("The bid on this item is being placed now."));
        return;
    }
    SnipeDialog dialog(item, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The dialog may have run for minutes: the row as it is now decides, and is what is written.
    item = WatchListModel::storedItem(item.value(QStringLiteral("id")).toInt());
    if (item.value(QStringLiteral("bid_status")).toInt() == BidStatus::Bidding) {
        Messages::warning(this, tr("Edit Snipe"), tr("The bid on this item is being placed now."));
        return;
    }
    if (item.value(QStringLiteral("id")).toInt() < 1 ||
        ClockManager::parseEbayTime(item.value(QStringLiteral("end_time")).toString()) <
            ClockManager::instance()->currentDateTime()) {
        Messages::warning(this, tr("Edit Snipe"), tr("Auction has ended for this item."));
        return;
    }
    item.setValue(QStringLiteral("user_bid"), dialog.bid());
    item.setValue(QStringLiteral("lead_time"), dialog.leadTime());
    item.setValue(QStringLiteral("bid_status"), static_cast<int>(BidStatus::Scheduled));
    item.setValue(QStringLiteral("group_id"), dialog.groupId() < 1 ? QVariant() : QVariant(dialog.groupId()));
    DbHelper::updateItem(item);
    snipesChanged();
    m_model->reloadItem(item.value(QStringLiteral("id")).toInt());
}

void MainWindow::cancel() {
    const QSqlRecord item = selectedItemRecord();
    if (item.isEmpty() || item.value(QStringLiteral("id")).isNull() || item.value(QStringLiteral("id")).toInt() < 1) {
        Messages::warning(this, tr("Cancel Snipe"), tr("Select an item to cancel snipe."));
        return;
    }
    if (item.value(QStringLiteral("user_bid")).isNull() || item.value(QStringLiteral("user_bid")).toDouble() <= 0) {
        Messages::warning(this, tr("Cancel Snipe"), tr("Select an item with scheduled snipe."));
        return;
    }
    if (Messages::question(this, tr("Cancel Snipe"),
                           tr("Are you sure you want to cancel your snipe on the selected item(s)?")) !=
        QMessageBox::Ok)
        return;
    // A placed or failed bid is a record of what was sent to eBay; only snipes still waiting are cancelled.
    QStringList scheduled;
    for (const QString& id : selectedItemIds().split(QLatin1Char(','))) {
        if (WatchListModel::storedItem(id.toInt()).value(QStringLiteral("bid_status")).toInt() == BidStatus::Scheduled)
            scheduled << id;
    }
    if (scheduled.isEmpty())
        return;
    DbHelper::cancelSnipes(scheduled.join(QLatin1Char(',')));
    snipesChanged();
    for (const QString& id : qAsConst(scheduled))
        m_model->reloadItem(id.toInt());
}

void MainWindow::login() {
    while (!runLoginDialog()) {
        // Giving up the sign-in closes the program; scheduled snipes would not be placed.
        if (confirmLeavingSnipes()) {
            QApplication::quit();
            return;
        }
    }
    // The engine lists the snipes of the user now signed in; the filter offers that user's groups.
    snipesChanged();
    loadHomePage();
    loadGroupFilter(0);
    loadItemsFromDb();
    reload();
}

void MainWindow::snipesChanged() {
    m_engine->reload();
}

void MainWindow::tableWidgetContextMenuRequested(const QPoint& pos) {
    const QModelIndex index = m_view->indexAt(pos);
    if (index.row() < 0)
        return;
    qDebug() << index;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("tableContextMenu"));
    menu.addActions({m_snipeAction, m_cancelAction, m_groupAction});
    menu.addSeparator();
    menu.addActions({m_importAction, m_deleteAction, m_reloadAction});
    menu.exec(m_view->viewport()->mapToGlobal(pos));
}

void MainWindow::userBidLinkClicked(const QString& link) {
    bool ok = false;
    const int id = link.toInt(&ok);
    if (!ok)
        return;
    const QSqlRecord item = WatchListModel::storedItem(id);
    if (item.value(QStringLiteral("id")).toInt() != id)
        return;
    Messages::information(this, tr("Snipe Failed"),
                          tr("Item:\t%1\nBid:\tFailed\nError:\t%2")
                              .arg(item.value(QStringLiteral("item_number")).toString(),
                                   item.value(QStringLiteral("error_message")).toString()));
}

void MainWindow::listLinkActivated(const QString& link, const QModelIndex& index) {
    // The box opens after the click has returned: a modal loop inside the view's mouse handling would run while a
    // refresh changes the rows under it.
    if (index.column() == MyBidColumn)
        QMetaObject::invokeMethod(this, "userBidLinkClicked", Qt::QueuedConnection, Q_ARG(QString, link));
    else
        itemLinkClicked(link);
}
