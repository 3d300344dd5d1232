#include "mainwindow.h"

#include "bidengine.h"
#include "ui_mainwindow.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "groupcombobox.h"
#include "hosts.h"
#include "messages.h"
#include "myqwebview.h"
#include "sleepinhibitor.h"
#include "tollimerapp.h"
#include "watchlistdelegates.h"
#include "watchlistrefresh.h"
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
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSettings>
#include <QShortcut>
#include <QSizePolicy>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QWebFrame>
#include <QWebPage>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_ui(new Ui::MainWindow) {
    // The images live in the static core library, whose resources the linker keeps only when asked for.
    Q_INIT_RESOURCE(tollimer);
    m_ui->setupUi(this);
    setWindowTitle(tr("Tollimer eBay Auction Sniper %1").arg(QCoreApplication::applicationVersion()));
    setWindowIcon(QIcon(QStringLiteral(":/images/app.png")));

    m_model = new WatchListModel(this);
    m_filter = new WatchListFilter(this);
    m_filter->setSourceModel(m_model);
    m_view = m_ui->watchList;
    m_view->setModel(m_filter);
    m_view->setSortingEnabled(true);
    m_view->sortByColumn(-1, Qt::AscendingOrder);
    // One line height for all rows (two text lines): measuring each row's contents costs seconds on a long list.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(2 * fontMetrics().lineSpacing() + 8);
    m_view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    auto* richText = new RichTextDelegate(m_view);
    for (int column : {ItemNameColumn, CurrentBidColumn, MyBidColumn})
        m_view->setItemDelegateForColumn(column, richText);
    connect(richText, &RichTextDelegate::linkActivated, this, &MainWindow::listLinkActivated);
    m_view->setItemDelegateForColumn(GroupColumn, new GroupDelegate(m_view));
    m_view->setMouseTracking(true);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(tableWidgetContextMenuRequested(QPoint)));
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.column() != GroupColumn)
            snipe();
    });
    // Keys that act on the list only while it has the focus: Delete in the item-number field edits the field.
    const auto listKey = [this](const QKeySequence& key, void (MainWindow::*slot)()) {
        auto* shortcut = new QShortcut(key, m_view, nullptr, nullptr, Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    listKey(QKeySequence::Delete, &MainWindow::remove);
    listKey(QKeySequence(Qt::Key_Return), &MainWindow::snipe);
    listKey(QKeySequence(Qt::Key_Enter), &MainWindow::snipe);
    m_model->setObjectName(QStringLiteral("watchListModel"));
    connect(m_model, &WatchListModel::outcomeChanged, this, &MainWindow::showOutcome);
    m_refresh = new WatchListRefresh(m_model, this, this);
    connect(m_refresh, &WatchListRefresh::snipesChanged, this, &MainWindow::snipesChanged);

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
    ClockManager* clock = ClockManager::instance();
    clock->connectTick(this, SLOT(onTimer()));
    // The engine ticks after the countdown; the window shows its tray messages.
    m_engine = new BidEngine(this, this);
    clock->connectTick(m_engine, SLOT(onTimer()));
    connect(m_engine, &BidEngine::itemChanged, this, &MainWindow::itemChanged);
    connect(clock, &ClockManager::clockJumped, m_engine, &BidEngine::clockJumped);
    connect(clock, &ClockManager::statusChanged, this, &MainWindow::showClockState);
    // Sleep is held off while a snipe is near; the engine says which is next, the tick lets it go when none is.
    m_sleepInhibitor = new SleepInhibitor(this);
    connect(m_engine, &BidEngine::nextSnipeChanged, m_sleepInhibitor, &SleepInhibitor::setNextSnipe);
    clock->connectTick(m_sleepInhibitor, SLOT(check()));
    connect(m_sleepInhibitor, &SleepInhibitor::heldChanged, this, &MainWindow::showSleepState);

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
    m_reloadAction->setShortcut(QKeySequence::Refresh);
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
        createAction("actionTrayRestore", tr("Restore Tollimer"), QString(), QString(), SLOT(showNormal()));
    m_trayExitAction = createAction("actionTrayExit", tr("Exit"), QString(), QString(), SLOT(exit()));
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
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
            return;
        showNormal();
        activateWindow();
    });
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
    // Digits only; spaces around a pasted number are dropped when it is added.
    m_itemNumberEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\s*\\d*\\s*")), m_itemNumberEdit));
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
    connect(m_statusFilterCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainWindow::applyFilters);
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
    showClockState();
    m_sleepLabel = new QLabel(statusBar());
    m_sleepLabel->setObjectName(QStringLiteral("sleepLabel"));
    m_sleepLabel->hide();
    m_outcomeLabel = new QLabel(statusBar());
    m_outcomeLabel->setObjectName(QStringLiteral("outcomeLabel"));
    statusBar()->addPermanentWidget(m_outcomeLabel, 1);
    m_nextSnipeLabel = new QLabel(statusBar());
    m_nextSnipeLabel->setObjectName(QStringLiteral("nextSnipeLabel"));
    m_progressBar = new QProgressBar(statusBar());
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setTextVisible(false);
    m_progressBar->setFixedWidth(100);
    m_progressBar->hide();
    statusBar()->addPermanentWidget(m_nextSnipeLabel);
    statusBar()->addPermanentWidget(m_sleepLabel);
    statusBar()->addPermanentWidget(m_clockStateLabel);
    statusBar()->addPermanentWidget(m_progressBar);
}

void MainWindow::showClockState() {
    m_clockStateLabel->setText(ClockManager::instance()->statusText());
}

void MainWindow::showSleepState() {
    m_sleepLabel->setText(m_sleepInhibitor->statusText());
    m_sleepLabel->setToolTip(m_sleepInhibitor->why());
    m_sleepLabel->setVisible(m_sleepInhibitor->isHeld());
}

void MainWindow::applyPreferences() {
    // A new interval counts from now rather than from the last refresh under the old one.
    const int interval = signedInUser().value(QStringLiteral("refresh_interval")).toInt();
    if (interval != m_refreshInterval)
        m_refreshCounter = 0;
    m_refreshInterval = interval;
}

void MainWindow::loadHomePage() {
    m_webView->load(QUrl(Hosts::homePageUrl(signedInDomain())));
}

void MainWindow::loadGroupFilter(int groupId) {
    const QSignalBlocker blocker(m_groupFilterCombo);
    m_groupFilterCombo->clear();
    m_groupFilterCombo->addItem(tr("All"), 0);
    for (const auto& entry : GroupComboBox::readGroups(signedInUserId()))
        m_groupFilterCombo->addItem(entry.first, entry.second);
    const int index = m_groupFilterCombo->findData(groupId);
    m_groupFilterCombo->setCurrentIndex(index < 0 ? 0 : index);
    connect(m_groupFilterCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainWindow::applyFilters,
            Qt::UniqueConnection);
    if (m_filter)
        applyFilters();
}

void MainWindow::applyFilters() {
    m_filter->setFilters(currentStatusFilter(), currentGroupFilter());
}

int MainWindow::currentStatusFilter() const {
    return m_statusFilterCombo->currentData().toInt();
}

int MainWindow::currentGroupFilter() const {
    return m_groupFilterCombo->currentData().toInt();
}

void MainWindow::loadItemsFromDb() {
    // A fresh read drops the view's selection and scroll position; they are put back by item.
    QList<int> selected;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows())
        selected << index.data(WatchListModel::IdRole).toInt();
    const int scroll = m_view->verticalScrollBar()->value();
    m_model->setNow(ClockManager::instance()->currentDateTime());
    m_model->load();
    for (int id : qAsConst(selected))
        selectItem(id);
    m_view->verticalScrollBar()->setValue(scroll);
    if (!m_view->horizontalHeader()->stretchLastSection()) {
        // Measuring every row costs seconds on a long list; the first rows give the widths well enough.
        m_view->horizontalHeader()->setResizeContentsPrecision(100);
        m_view->resizeColumnsToContents();
        m_view->horizontalHeader()->setStretchLastSection(true);
    }
    showNextSnipe();
}

void MainWindow::itemChanged(int itemId) {
    m_model->reloadItem(itemId);
}

void MainWindow::selectItem(int id) {
    const int row = m_model->rowOfId(id);
    if (row < 0)
        return;
    const QModelIndex index = m_filter->mapFromSource(m_model->index(row, 0));
    if (index.isValid())
        m_view->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

int MainWindow::findRow(const QString& itemNumber) const {
    const int row = m_model->rowOfNumber(itemNumber);
    return row < 0 ? -1 : m_filter->mapFromSource(m_model->index(row, 0)).row();
}

void MainWindow::showNextSnipe() {
    const QDateTime now = m_model->now();
    QString next;
    QDateTime nextDue;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        const WatchListModel::Row& row = m_model->row(i);
        if (row.bidStatus != BidStatus::Scheduled || !row.endTime.isValid())
            continue;
        const QDateTime due = row.endTime.addSecs(-qMax(0, row.leadTime));
        if (due >= now && (next.isEmpty() || due < nextDue)) {
            next = row.itemNumber;
            nextDue = due;
        }
    }
    const QString text = next.isEmpty()
                             ? QString()
                             : tr("Next snipe: %1 in %2").arg(next, WatchListTexts::durationText(now.secsTo(nextDue)));
    if (m_nextSnipeLabel->text() != text)
        m_nextSnipeLabel->setText(text);
}

int MainWindow::scheduledSnipeCount() const {
    int count = 0;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        const WatchListModel::Row& row = m_model->row(i);
        count += row.bidStatus == BidStatus::Scheduled && row.endTime >= m_model->now() ? 1 : 0;
    }
    return count;
}

void MainWindow::onTimer() {
    // Read every tick, so that preferences stored by any dialog apply from the next tick.
    const int interval = signedInUser().value(QStringLiteral("refresh_interval")).toInt() * 60000;
    if (interval > 0) {
        m_refreshCounter += ClockManager::instance()->tickInterval();
        if (interval <= m_refreshCounter) {
            m_refreshCounter = 0;
            reload();
        }
    }
    const QDateTime now = ClockManager::instance()->currentDateTime();
    m_model->setNow(now);
    m_filter->timePassed(m_lastTick.isValid() ? m_lastTick : now, now);
    m_lastTick = now;
    // Time-left texts are computed when painted: that column of the rows on screen is painted again, nothing else.
    m_view->viewport()->update(QRect(m_view->columnViewportPosition(TimeLeftColumn), 0,
                                     m_view->columnWidth(TimeLeftColumn), m_view->viewport()->height()));
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
    // Many desktops have no tray: the status bar says it too.
    statusBar()->showMessage(title, 30000);
    if (!m_trayIcon)
        return;
    const QSystemTrayIcon::MessageIcon trayIcon = icon == Warning    ? QSystemTrayIcon::Warning
                                                  : icon == Critical ? QSystemTrayIcon::Critical
                                                                     : QSystemTrayIcon::Information;
    m_trayIcon->showMessage(title, text, trayIcon, 10000);
}

void MainWindow::showOutcome(const QString& text) {
    m_outcomeLabel->setText(text);
}

void MainWindow::readSettings() {
    QSettings settings;
    const QPoint pos = settings.value(QStringLiteral("pos"), QPoint(100, 100)).toPoint();
    // Large enough at first for ten rows of the list above the browser.
    const int listHeight = m_view->horizontalHeader()->sizeHint().height() +
                           10 * m_view->verticalHeader()->defaultSectionSize() + 2 * m_view->frameWidth();
    const QSize size = settings.value(QStringLiteral("size"), QSize(1024, listHeight + 460)).toSize();
    resize(size);
    m_ui->splitter->setSizes({listHeight, qMax(100, size.height() - listHeight)});
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
    if (!m_exiting && m_trayIcon && signedInUser().value(QStringLiteral("close_systray")).toBool()) {
        hide();
        event->ignore();
        QSettings settings;
        if (!settings.value(QStringLiteral("trayCloseExplained"), false).toBool()) {
            settings.setValue(QStringLiteral("trayCloseExplained"), true);
            showTrayMessage(tr("Tollimer is still running"),
                            tr("Snipes are placed while Tollimer runs in the tray. Choose Exit in its menu to quit."),
                            Information);
        }
        return;
    }
    if (!confirmLeavingSnipes()) {
        m_exiting = false;
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

bool MainWindow::confirmLeavingSnipes() {
    const int count = scheduledSnipeCount();
    if (count == 0)
        return true;
    const QString text = count == 1
                             ? tr("1 snipe is scheduled; it is not placed while Tollimer is closed")
                             : tr("%1 snipes are scheduled; they are not placed while Tollimer is closed").arg(count);
    return Messages::question(this, tr("Exit Tollimer"), text) == QMessageBox::Ok;
}

void MainWindow::exit() {
    m_exiting = true;
    close();
}
