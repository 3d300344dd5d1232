#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "hosts.h"
#include "myqwebview.h"
#include "tollimerapp.h"
#include "userrolesorttablewidgetitem.h"
#include "watchlisttexts.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QSizePolicy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QToolBar>
#include <QWebFrame>
#include <QWebPage>

namespace {
QSqlRecord appUser() {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->user() : QSqlRecord();
}

QString appDomain() {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->country().value(QStringLiteral("domain")).toString() : QString();
}

double doubleOr(const QVariant& value, double fallback) {
    return value.isNull() ? fallback : value.toDouble();
}
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_ui(new Ui::MainWindow) {
    // The images live in the static core library, whose resources the linker keeps only when asked for.
    Q_INIT_RESOURCE(tollimer);
    m_ui->setupUi(this);
    setWindowTitle(tr("Tollimer eBay Auction Sniper %1").arg(QCoreApplication::applicationVersion()));
    setWindowIcon(QIcon(QStringLiteral(":/images/app.png")));

    QTableWidget* table = m_ui->tableWidget;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels({tr("Status"), tr("Item Number"), tr("Item Name"), tr("Time Left"),
                                      tr("Current Bid"), tr("Shipping"), tr("My Bid"), tr("Group"), tr("Seller")});
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(tableWidgetContextMenuRequested(QPoint)));

    m_webView = new MyQWebView(m_ui->verticalLayoutWidget);
    m_webView->setObjectName(QStringLiteral("webView"));
    m_ui->browserLayout->addWidget(m_webView);
    connect(m_webView, SIGNAL(loadStarted()), this, SLOT(setStarted()));
    connect(m_webView, SIGNAL(loadProgress(int)), this, SLOT(setProgress(int)));
    connect(m_webView, SIGNAL(loadFinished(bool)), this, SLOT(setFinished(bool)));

    createActions();
    createTray();
    createMenus();
    createToolBars();
    createStatusBar();
    readSettings();

    connect(m_webView->page(), SIGNAL(linkHovered(QString, QString, QString)), statusBar(), SLOT(showMessage(QString)));

    applyPreferences();
    ClockManager::instance()->connectTick(this, SLOT(onTimer()));

    loadHomePage();
    loadItemsFromDb();
    reload();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::createAction(const char* name, const QString& text, const QString& icon, const QString& statusTip,
                                  const char* slot) {
    auto* action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    if (!icon.isEmpty())
        action->setIcon(QIcon(icon));
    if (!statusTip.isEmpty())
        action->setStatusTip(statusTip);
    connect(action, SIGNAL(triggered()), this, slot);
    return action;
}

void MainWindow::createActions() {
    m_logoutAction = createAction("actionLogout", tr("&Logout..."), QStringLiteral(":/images/login.png"),
                                  tr("Logout and login as a different user."), SLOT(login()));
    m_exitAction =
        createAction("actionExit", tr("E&xit"), QStringLiteral(":/images/exit.png"), tr("Exit Tollimer"), SLOT(exit()));
    m_exitAction->setShortcuts(QKeySequence::Quit);
    m_addItemBelowAction =
        createAction("actionAddItemBelow", tr("&Add item below..."), QStringLiteral(":/images/up.png"),
                     tr("Add the current item to watch list"), SLOT(watch()));
    m_addEnteredItemAction =
        createAction("actionAddEnteredItem", tr("&Add entered item..."), QStringLiteral(":/images/watch.png"),
                     tr("Add the entered item to watch list"), SLOT(manualWatch()));
    m_reloadAction = createAction("actionReload", tr("&Reload..."), QStringLiteral(":/images/reload.png"),
                                  tr("Reload the watch list"), SLOT(reload()));
    m_deleteAction = createAction("actionDelete", tr("&Delete..."), QStringLiteral(":/images/delete.png"),
                                  tr("Delete the selected items in watch list"), SLOT(remove()));
    m_snipeAction = createAction("actionSnipe", tr("&Snipe..."), QStringLiteral(":/images/play.png"),
                                 tr("Snipe the selected item."), SLOT(snipe()));
    m_cancelAction = createAction("actionCancelSnipe", tr("&Cancel Snipe..."), QStringLiteral(":/images/stop.png"),
                                  tr("Cancel the snipe on the selected item."), SLOT(cancel()));
    m_groupAction = createAction("actionGroup", tr("&Group..."), QStringLiteral(":/images/group.png"),
                                 tr("Manage bidding groups."), SLOT(group()));
    m_importAction = createAction("actionImport", tr("&Import..."), QStringLiteral(":/images/import.png"),
                                  tr("Import auctions from My eBay."), SLOT(import()));
    m_aboutAction = createAction("actionAbout", tr("About &Tollimer eBay Auction Sniper"),
                                 QStringLiteral(":/images/about.png"), tr("About Tollimer."), SLOT(aboutTollimer()));
    m_preferencesAction = createAction("actionPreferences", tr("Preferences..."), QString(),
                                       tr("Edit Tollimer preferences."), SLOT(preferences()));
    m_checkUpdateAction = createAction("actionCheckUpdate", tr("Check for update"), QString(),
                                       tr("Check new version for Tollimer."), SLOT(checkUpdate()));
    m_trayRestoreAction =
        createAction("actionTrayRestore", QStringLiteral("Restore Tollimer"), QString(), QString(), SLOT(showNormal()));
    m_trayExitAction = createAction("actionTrayExit", QStringLiteral("Exit"), QString(), QString(), SLOT(exit()));
}

void MainWindow::createTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_trayRestoreAction);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_trayExitAction);
    m_trayIcon = new QSystemTrayIcon(QIcon(QStringLiteral(":/images/app.png")), this);
    m_trayIcon->setContextMenu(m_trayMenu);
    m_trayIcon->setToolTip(windowTitle());
    m_trayIcon->show();
}

void MainWindow::createMenus() {
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->setObjectName(QStringLiteral("menuFile"));
    m_fileMenu->addAction(m_preferencesAction);
    m_fileMenu->addAction(m_exitAction);
    m_actionMenu = menuBar()->addMenu(tr("&Action"));
    m_actionMenu->setObjectName(QStringLiteral("menuAction"));
    m_actionMenu->addActions({m_snipeAction, m_cancelAction, m_groupAction});
    m_actionMenu->addSeparator();
    m_actionMenu->addActions({m_importAction, m_deleteAction});
    m_actionMenu->addSeparator();
    m_actionMenu->addAction(m_reloadAction);
    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("menuHelp"));
    m_helpMenu->addActions({m_aboutAction, m_checkUpdateAction});
}

void MainWindow::createToolBars() {
    m_browserToolBar = new QToolBar(tr("Browser ToolBar"), this);
    m_browserToolBar->setObjectName(QStringLiteral("browserToolBar"));
    m_browserToolBar->setIconSize(QSize(24, 24));
    m_browserToolBar->addAction(m_webView->pageAction(QWebPage::Back));
    m_browserToolBar->addAction(m_webView->pageAction(QWebPage::Forward));
    m_browserToolBar->addAction(m_webView->pageAction(QWebPage::Reload));
    m_browserToolBar->addAction(m_webView->pageAction(QWebPage::Stop));
    m_browserToolBar->addAction(m_addItemBelowAction);
    auto* spacer = new QWidget(m_browserToolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_browserToolBar->addWidget(spacer);
    m_browserToolBar->addWidget(new QLabel(tr("Item Number: "), m_browserToolBar));
    m_browserToolBar->addAction(m_addEnteredItemAction);
    m_itemNumberEdit = new QLineEdit(m_browserToolBar);
    m_itemNumberEdit->setObjectName(QStringLiteral("itemNumberEdit"));
    m_itemNumberEdit->setFixedWidth(120);
    connect(m_itemNumberEdit, SIGNAL(returnPressed()), this, SLOT(manualWatch()));
    m_browserToolBar->insertWidget(m_addEnteredItemAction, m_itemNumberEdit);
    m_ui->browserLayout->insertWidget(0, m_browserToolBar);

    QToolBar* main = m_ui->mainToolBar;
    main->setIconSize(QSize(24, 24));
    main->addAction(m_logoutAction);
    main->addSeparator();
    main->addActions({m_snipeAction, m_cancelAction, m_groupAction});
    main->addSeparator();
    main->addActions({m_importAction, m_deleteAction});
    main->addSeparator();
    main->addAction(m_reloadAction);
    main->addSeparator();
    main->addWidget(new QLabel(tr(" Status "), main));
    m_statusFilterCombo = new QComboBox(main);
    m_statusFilterCombo->setObjectName(QStringLiteral("statusFilterCombo"));
    const QStringList filters = {tr("All"),        tr("Watching"), tr("Bid Scheduled"), tr("High Bidder"),
                                 tr("Out Bidder"), tr("Won"),      tr("Didn't Win")};
    for (int i = 0; i < filters.size(); ++i)
        m_statusFilterCombo->addItem(filters.at(i), i);
    connect(m_statusFilterCombo, SIGNAL(currentIndexChanged(int)), this, SLOT(loadItemsFromDb()));
    main->addWidget(m_statusFilterCombo);
    main->addWidget(new QLabel(QStringLiteral(" "), main));
    main->addSeparator();
    main->addWidget(new QLabel(tr(" Group "), main));
    m_groupFilterCombo = new QComboBox(main);
    m_groupFilterCombo->setObjectName(QStringLiteral("groupFilterCombo"));
    m_groupFilterCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    main->addWidget(m_groupFilterCombo);
    loadGroupFilter(0);
}

void MainWindow::createStatusBar() {
    m_clockStateLabel = new QLabel(statusBar());
    m_clockStateLabel->setObjectName(QStringLiteral("clockStateLabel"));
    showClockState(ClockManager::instance()->isTicking());
    m_nextSnipeLabel = new QLabel(statusBar());
    m_nextSnipeLabel->setObjectName(QStringLiteral("nextSnipeLabel"));
    m_progressBar = new QProgressBar(statusBar());
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setTextVisible(false);
    m_progressBar->setFixedWidth(100);
    m_progressBar->hide();
    statusBar()->addPermanentWidget(m_nextSnipeLabel);
    statusBar()->addPermanentWidget(m_clockStateLabel);
    statusBar()->addPermanentWidget(m_progressBar);
}

void MainWindow::showClockState(bool synchronised) {
    m_clockStateLabel->setText(synchronised ? tr("Clock: synchronised with eBay")
                                            : tr("Clock: computer clock, retrying eBay"));
}

void MainWindow::applyPreferences() {
    // A new interval counts from now rather than from the last refresh under the old one.
    const int interval = appUser().value(QStringLiteral("refresh_interval")).toInt();
    if (interval != m_refreshInterval)
        m_refreshCounter = 0;
    m_refreshInterval = interval;
}

void MainWindow::loadHomePage() {
    m_webView->load(QUrl(Hosts::homePageUrl(appDomain())));
}

void MainWindow::loadGroupFilter(int groupId) {
    disconnect(m_groupFilterCombo, SIGNAL(currentIndexChanged(int)), this, SLOT(loadItemsFromDb()));
    m_groupFilterCombo->clear();
    m_groupFilterCombo->addItem(tr("All"), 0);
    const auto groups = GroupComboBox::readGroups(appUser().value(QStringLiteral("id")).toInt());
    for (const auto& entry : groups)
        m_groupFilterCombo->addItem(entry.first, entry.second);
    const int index = m_groupFilterCombo->findData(groupId);
    m_groupFilterCombo->setCurrentIndex(index < 0 ? 0 : index);
    connect(m_groupFilterCombo, SIGNAL(currentIndexChanged(int)), this, SLOT(loadItemsFromDb()));
}

int MainWindow::currentStatusFilter() const {
    return m_statusFilterCombo->currentData().toInt();
}

int MainWindow::currentGroupFilter() const {
    return m_groupFilterCombo->currentData().toInt();
}

void MainWindow::loadItemsFromDb() {
    qDebug() << "load items from db";
    QTableWidget* table = m_ui->tableWidget;
    // Cell widgets added to a visible table are shown and laid out one by one, which grows with the square of
    // the rows; added to a hidden one they are shown together.
    const bool visible = table->isVisible();
    table->hide();
    m_numberCells.clear();
    table->clearContents();
    table->setRowCount(0);
    table->setSortingEnabled(false);
    const int userId = appUser().value(QStringLiteral("id")).toInt();
    const GroupComboBox::Groups groups = GroupComboBox::readGroups(userId);
    QSqlQuery query;
    query.setForwardOnly(true);
    if (DbHelper::getItems(query, ClockManager::instance()->currentDateTime(), userId, currentGroupFilter(),
                           currentStatusFilter())) {
        while (query.next())
            addItemRow(query.record(), groups);
    }
    finishTableUpdate();
    table->setVisible(visible);
    loadScheduledSnipes();
    qDebug() << "items loaded from db";
}

void MainWindow::finishTableUpdate() {
    QTableWidget* table = m_ui->tableWidget;
    // Measuring every row costs seconds on a long list; the first rows give the widths well enough.
    table->horizontalHeader()->setResizeContentsPrecision(100);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSortingEnabled(true);
}

int MainWindow::addItemRow(const QSqlRecord& item, const GroupComboBox::Groups& groups) {
    QTableWidget* table = m_ui->tableWidget;
    const int id = item.value(QStringLiteral("id")).toInt();
    const QString itemNumber = item.value(QStringLiteral("item_number")).toString();
    const QString name = item.value(QStringLiteral("name")).toString();
    const QString currency = item.value(QStringLiteral("currency")).toString();
    const double currentBid = item.value(QStringLiteral("current_bid")).toDouble();
    const double nextBid = item.value(QStringLiteral("next_bid")).toDouble();
    const double userBid = item.value(QStringLiteral("user_bid")).toDouble();
    const double shipping = doubleOr(item.value(QStringLiteral("shipping")), -1.0);
    const int bidStatus = item.value(QStringLiteral("bid_status")).toInt();
    const int groupId = item.value(QStringLiteral("group_id")).toInt();
    const QDateTime endTime = ClockManager::parseEbayTime(item.value(QStringLiteral("end_time")).toString());
    const QString seller = item.value(QStringLiteral("seller")).toString();

    auto* status = new QTableWidgetItem;
    setStatusText(status, bidStatus, item.value(QStringLiteral("user_relation")).toString(), endTime,
                  item.value(QStringLiteral("is_reserve")).toBool(),
                  item.value(QStringLiteral("is_reserve_met")).toBool());
    status->setToolTip(WatchListTexts::bidTimingText(
        bidStatus, ClockManager::parseEbayTime(item.value(QStringLiteral("actual_bid_time")).toString()), endTime));

    auto* number = new QTableWidgetItem(itemNumber);
    number->setData(Qt::UserRole, id);
    m_numberCells.insert(itemNumber, number);

    auto* nameCell = new UserRoleSortTableWidgetItem;
    nameCell->setData(Qt::UserRole, name);
    auto* nameLabel =
        new QLabel(QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(Hosts::itemPageUrl(appDomain(), itemNumber).toHtmlEscaped(), name.toHtmlEscaped()));
    nameLabel->setTextFormat(Qt::RichText);
    nameLabel->setToolTip(name);
    connect(nameLabel, SIGNAL(linkActivated(QString)), this, SLOT(itemLinkClicked(QString)));

    auto* bidCell = new UserRoleSortTableWidgetItem;
    bidCell->setData(Qt::UserRole, currentBid);
    auto* bidLabel = new QLabel(
        WatchListTexts::currentBidText(currency, currentBid, item.value(QStringLiteral("bid_count")).toInt()));
    bidLabel->setTextFormat(Qt::RichText);

    auto* shippingCell = new UserRoleSortTableWidgetItem;
    setShippingText(shippingCell, currency, shipping);

    auto* myBidCell = new UserRoleSortTableWidgetItem;
    myBidCell->setData(Qt::UserRole, userBid);
    auto* myBidLabel = new QLabel;
    setBidText(myBidLabel, id, currency, userBid, nextBid, bidStatus, item.value(QStringLiteral("lead_time")).toInt());

    auto* timeLeft = new UserRoleSortTableWidgetItem;
    timeLeft->setData(Qt::UserRole, endTime);

    auto* sellerCell = new UserRoleSortTableWidgetItem(seller + QStringLiteral(" - ") +
                                                       item.value(QStringLiteral("seller_score")).toString());
    sellerCell->setData(Qt::UserRole, seller);

    auto* groupCell = new UserRoleSortTableWidgetItem;
    groupCell->setData(Qt::UserRole, groupId);
    auto* groupCombo = new GroupComboBox(id, groups, groupId);

    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, StatusColumn, status);
    table->setItem(row, ItemNumberColumn, number);
    table->setItem(row, ItemNameColumn, nameCell);
    table->setItem(row, TimeLeftColumn, timeLeft);
    table->setItem(row, CurrentBidColumn, bidCell);
    table->setItem(row, ShippingColumn, shippingCell);
    table->setItem(row, MyBidColumn, myBidCell);
    table->setItem(row, GroupColumn, groupCell);
    table->setItem(row, SellerColumn, sellerCell);
    table->setCellWidget(row, ItemNameColumn, nameLabel);
    table->setCellWidget(row, CurrentBidColumn, bidLabel);
    table->setCellWidget(row, MyBidColumn, myBidLabel);
    table->setCellWidget(row, GroupColumn, groupCombo);
    setTimeLeftText(timeLeft);
    return row;
}

void MainWindow::setStatusText(QTableWidgetItem* cell, int bidStatus, const QString& relation, const QDateTime& endTime,
                               bool isReserve, bool isReserveMet) {
    cell->setText(WatchListTexts::statusText(bidStatus, relation, endTime, isReserve, isReserveMet,
                                             ClockManager::instance()->currentDateTime()));
    cell->setData(Qt::UserRole, WatchListTexts::statusKey(bidStatus, relation, isReserve, isReserveMet));
}

void MainWindow::setBidText(QLabel* label, int id, const QString& currency, double userBid, double nextBid,
                            int bidStatus, int leadTime) {
    label->setText(WatchListTexts::bidText(id, currency, userBid, nextBid, bidStatus, leadTime));
    label->setTextFormat(Qt::RichText);
    connect(label, SIGNAL(linkActivated(QString)), this, SLOT(userBidLinkClicked(QString)), Qt::UniqueConnection);
}

void MainWindow::setShippingText(QTableWidgetItem* cell, const QString& currency, double shipping) {
    cell->setText(WatchListTexts::shippingText(currency, shipping));
    cell->setData(Qt::UserRole, shipping);
}

void MainWindow::setTimeLeftText(QTableWidgetItem* cell) {
    const WatchListTexts::TimeLeft left =
        WatchListTexts::timeLeft(cell->data(Qt::UserRole).toDateTime(), ClockManager::instance()->currentDateTime());
    // Setting an unchanged text would still repaint and re-sort the cell every second.
    if (cell->text() != left.text)
        cell->setText(left.text);
    const QBrush brush = left.color.isValid() ? QBrush(left.color) : QBrush();
    if (cell->foreground() != brush)
        cell->setForeground(brush);
}

int MainWindow::findRow(const QString& itemNumber) const {
    const QTableWidget* table = m_ui->tableWidget;
    if (const QTableWidgetItem* cell = m_numberCells.value(itemNumber)) {
        const int row = cell->row();
        if (row >= 0 && table->item(row, ItemNumberColumn) == cell)
            return row;
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* cell = table->item(row, ItemNumberColumn);
        if (cell && cell->text() == itemNumber)
            return row;
    }
    return -1;
}

void MainWindow::loadScheduledSnipes() {
    m_scheduledSnipes.clear();
    QSqlQuery query;
    query.setForwardOnly(true);
    const QDateTime now = ClockManager::instance()->currentDateTime();
    if (DbHelper::getItems(query, now, appUser().value(QStringLiteral("id")).toInt(), 0, ItemFilter::BidScheduled)) {
        while (query.next()) {
            const QDateTime end = ClockManager::parseEbayTime(query.value(QStringLiteral("end_time")).toString());
            const int lead = qMax(0, query.value(QStringLiteral("lead_time")).toInt());
            if (end.isValid())
                m_scheduledSnipes.append({query.value(QStringLiteral("item_number")).toString(), end.addSecs(-lead)});
        }
    }
    showNextSnipe();
}

void MainWindow::showNextSnipe() {
    const QDateTime now = ClockManager::instance()->currentDateTime();
    const ScheduledSnipe* next = nullptr;
    for (const ScheduledSnipe& snipe : m_scheduledSnipes) {
        if (snipe.due >= now && (!next || snipe.due < next->due))
            next = &snipe;
    }
    m_nextSnipeLabel->setText(
        next ? tr("Next snipe: %1 in %2").arg(next->itemNumber, WatchListTexts::durationText(now.secsTo(next->due)))
             : QString());
}

void MainWindow::onTimer() {
    // Read every tick, so that preferences stored by any dialog apply from the next tick.
    const int interval = appUser().value(QStringLiteral("refresh_interval")).toInt() * 60000;
    if (interval > 0) {
        m_refreshCounter += ClockManager::instance()->tickInterval();
        if (interval <= m_refreshCounter) {
            m_refreshCounter = 0;
            reload();
        }
    }
    QTableWidget* table = m_ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (QTableWidgetItem* cell = table->item(row, TimeLeftColumn))
            setTimeLeftText(cell);
    }
    showNextSnipe();
}

void MainWindow::itemLinkClicked(const QString& link) {
    m_webView->load(QUrl(link));
}

void MainWindow::setProgress(int progress) {
    m_progressBar->setValue(progress);
}

void MainWindow::setStarted() {
    m_progressBar->setValue(0);
    m_progressBar->show();
}

void MainWindow::setFinished(bool ok) {
    Q_UNUSED(ok)
    m_progressBar->hide();
}

void MainWindow::showTrayMessage(const QString& title, const QString& text, Icon icon) {
    emit trayMessageShown(title, text);
    if (!m_trayIcon)
        return;
    const QSystemTrayIcon::MessageIcon trayIcon = icon == Warning    ? QSystemTrayIcon::Warning
                                                  : icon == Critical ? QSystemTrayIcon::Critical
                                                                     : QSystemTrayIcon::Information;
    m_trayIcon->showMessage(title, text, trayIcon, 10000);
}

void MainWindow::readSettings() {
    QSettings settings;
    const QPoint pos = settings.value(QStringLiteral("pos"), QPoint(100, 100)).toPoint();
    const QSize size = settings.value(QStringLiteral("size"), QSize(800, 600)).toSize();
    resize(size);
    move(pos);
    if (settings.value(QStringLiteral("maximized"), false).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::writeSettings() {
    QSettings settings;
    if (isMaximized()) {
        settings.setValue(QStringLiteral("maximized"), true);
        return;
    }
    settings.setValue(QStringLiteral("pos"), pos());
    settings.setValue(QStringLiteral("size"), size());
    settings.setValue(QStringLiteral("maximized"), false);
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    writeSettings();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    writeSettings();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Hiding needs a tray to come back from; without one a close always closes.
    if (!m_exiting && m_trayIcon && appUser().value(QStringLiteral("close_systray")).toBool()) {
        hide();
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

void MainWindow::exit() {
    m_exiting = true;
    close();
}
