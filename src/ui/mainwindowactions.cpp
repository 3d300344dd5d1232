// The main window's actions on the watch list: adding items, deleting, sniping and cancelling, the context menu
// and the "View error" link.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "messages.h"
#include "myqwebview.h"
#include "snipedialog.h"
#include "texthelpers.h"
#include "tollimerapp.h"

#include <QApplication>
#include <QDebug>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QRegExp>
#include <QSqlDatabase>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

namespace {
QSqlRecord emptyItem() {
    return QSqlDatabase::database().record(QStringLiteral("items"));
}

int userId() {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->user().value(QStringLiteral("id")).toInt() : 0;
}
} // namespace

int MainWindow::selectedRow() const {
    const QModelIndexList rows = m_ui->tableWidget->selectionModel()->selectedRows(0);
    return rows.isEmpty() ? -1 : rows.first().row();
}

int MainWindow::selectedItemId() const {
    const int row = selectedRow();
    const QTableWidgetItem* cell = row < 0 ? nullptr : m_ui->tableWidget->item(row, ItemNumberColumn);
    return cell ? cell->data(Qt::UserRole).toInt() : 0;
}

QSqlRecord MainWindow::selectedItemRecord() const {
    QSqlRecord item = emptyItem();
    const int id = selectedItemId();
    if (id > 0) {
        item.setValue(QStringLiteral("id"), id);
        DbHelper::getItem(item);
    }
    return item;
}

QString MainWindow::selectedItemIds() const {
    QStringList ids;
    const QModelIndexList rows = m_ui->tableWidget->selectionModel()->selectedRows(0);
    for (const QModelIndex& index : rows) {
        if (const QTableWidgetItem* cell = m_ui->tableWidget->item(index.row(), ItemNumberColumn))
            ids << QString::number(cell->data(Qt::UserRole).toInt());
    }
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
    const QString number = m_itemNumberEdit->text();
    if (number.isEmpty()) {
        Messages::critical(this, tr("Add Item Error"), tr("Please enter a valid eBay auction item number."));
        return;
    }
    watchItem(number);
}

bool MainWindow::isWatched(const QString& itemNumber) const {
    QSqlRecord item = emptyItem();
    item.setValue(QStringLiteral("item_number"), itemNumber);
    item.setValue(QStringLiteral("user_id"), userId());
    return DbHelper::getItem(item) && item.value(QStringLiteral("id")).toInt() > 0;
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
    QTableWidget* table = m_ui->tableWidget;
    table->setSortingEnabled(false);
    const GroupComboBox::Groups groups = GroupComboBox::readGroups(userId());
    for (const Item* found : qAsConst(*helper->items())) {
        if (!found->isAuction()) {
            if (!quiet)
                Messages::information(this, tr("Non-Auction Item"),
                                      tr("Either item number is invalid or item is not Auction format."));
            continue;
        }
        QSqlRecord item = emptyItem();
        item.setValue(QStringLiteral("item_number"), found->itemNumber());
        item.setValue(QStringLiteral("user_id"), userId());
        item.setValue(QStringLiteral("user_relation"), QString::fromLatin1(UserRelation::none));
        copyEbayFacts(*found, item);
        if (!DbHelper::addItem(item) || !DbHelper::getItem(item))
            continue;
        // The relation is not known until its request answers; the Status cell says so meanwhile.
        item.setValue(QStringLiteral("user_relation"), QString());
        const int row = addItemRow(item, groups);
        requestShipping(row, found->itemNumber());
        requestRelation(row, found->itemNumber());
    }
    finishTableUpdate();
    loadScheduledSnipes();
    if (quiet)
        emit importFinished();
}

void MainWindow::remove() {
    const QString ids = selectedItemIds();
    if (ids.isEmpty())
        return;
    if (Messages::question(this, tr("Delete Items"), tr("Are you sure you want to delete the selected item(s)?")) !=
        QMessageBox::Ok)
        return;
    DbHelper::deleteItems(ids);
    loadItemsFromDb();
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
    // The dialog may have run for minutes: write onto the row as it is now, not as it was when it opened.
    DbHelper::getItem(item);
    item.setValue(QStringLiteral("user_bid"), dialog.bid());
    item.setValue(QStringLiteral("lead_time"), dialog.leadTime());
    item.setValue(QStringLiteral("bid_status"), static_cast<int>(BidStatus::Scheduled));
    item.setValue(QStringLiteral("group_id"), dialog.groupId() < 1 ? QVariant() : QVariant(dialog.groupId()));
    DbHelper::updateItem(item);
    loadItemsFromDb();
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
    DbHelper::cancelSnipes(selectedItemIds());
    loadItemsFromDb();
}

void MainWindow::login() {
    if (!runLoginDialog()) {
        QApplication::quit();
        return;
    }
    loadHomePage();
    loadItemsFromDb();
    reload();
}

void MainWindow::tableWidgetContextMenuRequested(const QPoint& pos) {
    QTableWidget* table = m_ui->tableWidget;
    const QModelIndex index = table->indexAt(pos);
    if (index.row() < 0)
        return;
    qDebug() << index;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("tableContextMenu"));
    menu.addActions({m_snipeAction, m_cancelAction, m_groupAction});
    menu.addSeparator();
    menu.addActions({m_importAction, m_deleteAction, m_reloadAction});
    menu.exec(table->viewport()->mapToGlobal(pos));
}

void MainWindow::userBidLinkClicked(const QString& link) {
    bool ok = false;
    const int id = link.toInt(&ok);
    if (!ok)
        return;
    QSqlRecord item = emptyItem();
    item.setValue(QStringLiteral("id"), id);
    if (!DbHelper::getItem(item))
        return;
    Messages::information(this, tr("Snipe Failed"),
                          tr("Item:\t%1\nBid:\tFailed\nError:\t%2")
                              .arg(item.value(QStringLiteral("item_number")).toString(),
                                   item.value(QStringLiteral("error_message")).toString()));
}
