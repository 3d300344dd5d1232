#pragma once

#include "itemhelper.h"
#include "traymessenger.h"
#include "watchlistmodel.h"

#include <QDateTime>
#include <QList>
#include <QMainWindow>
#include <QScopedPointer>
#include <QSqlRecord>
#include <QSystemTrayIcon>

class BidEngine;
class MyQWebView;
class QAction;
class QComboBox;
class QLabel;
class SleepInhibitor;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTableView;
class QToolBar;
class RichTextDelegate;
class WatchListRefresh;

namespace Ui {
class MainWindow;
}

// The window the user lives in: the watch list above the embedded browser, every action on the list and the tray
// icon. Start-up creates it after the sign-in; it owns its browser, the list's model and refresh, and the bid
// engine, and it is the tray-message outlet of the engine. It holds views and actions; the store is read by the
// model and kept in step with eBay by the refresh.
class MainWindow : public QMainWindow, public TrayMessenger {
    Q_OBJECT

public:
    // The list's columns, in order (the model's).
    enum Column {
        StatusColumn = WatchListModel::StatusColumn,
        ItemNumberColumn = WatchListModel::ItemNumberColumn,
        ItemNameColumn = WatchListModel::ItemNameColumn,
        TimeLeftColumn = WatchListModel::TimeLeftColumn,
        CurrentBidColumn = WatchListModel::CurrentBidColumn,
        ShippingColumn = WatchListModel::ShippingColumn,
        MyBidColumn = WatchListModel::MyBidColumn,
        GroupColumn = WatchListModel::GroupColumn,
        SellerColumn = WatchListModel::SellerColumn,
    };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void showTrayMessage(const QString& title, const QString& text, Icon icon) override;
    // Re-reads the signed-in user's preferences from the application object and applies them to the running
    // window: a changed refresh interval counts from now. The tick reads the interval itself, so a preference
    // stored without this call still applies from the next tick.
    void applyPreferences();

    // The row of an item number in the list as shown, or -1.
    int findRow(const QString& itemNumber) const;
    WatchListModel* model() const { return m_model; }
    int currentStatusFilter() const;
    int currentGroupFilter() const;

signals:
    // Items added quietly (the import) are in the table, or none of them was new.
    void importFinished();
    // Every tray message, shown or not (there may be no tray).
    void trayMessageShown(const QString& title, const QString& text);

public slots:
    void watchItems(const QStringList& itemNumbers, bool quiet);
    void setProgress(int progress);
    void setStarted();
    void setFinished(bool ok);
    void watch();
    void manualWatch();
    void addItemsFinished(bool ok);
    void reload();
    void remove();
    void snipe();
    void group();
    void cancel();
    void import();
    void login();
    void itemLinkClicked(const QString& link);
    void onTimer();
    void loadItemsFromDb();
    void userBidLinkClicked(const QString& link);
    void aboutTollimer();
    void preferences();
    void checkUpdate();
    void exit();
    void tableWidgetContextMenuRequested(const QPoint& pos);
    // Re-reads one item's row (the engine or a write of the window changed it).
    void itemChanged(int itemId);
    // The clock's state in the status bar: synchronised with eBay, or on the computer's clock while retrying.
    void showClockState();
    void showSleepState();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createTray();
    void readSettings();
    void writeSettings();
    void loadHomePage();
    void loadGroupFilter(int groupId);
    void showNextSnipe();
    QAction* createAction(const char* name, const QString& text, const QString& icon, const QString& statusTip,
                          const char* slot);

    void applyFilters();
    void listLinkActivated(const QString& link, const QModelIndex& index);
    void showOutcome(const QString& text);
    // Asks before closing while snipes are scheduled; true to go on.
    bool confirmLeavingSnipes();
    // The signed-in user's snipes still waiting for their time.
    int scheduledSnipeCount() const;
    void selectItem(int id);

    void watchItem(const QString& itemNumber);
    QString currentPageItemNumber() const;
    bool isWatched(const QString& itemNumber) const;
    int selectedRow() const;
    int selectedItemId() const;
    QSqlRecord selectedItemRecord() const;
    QString selectedItemIds() const;

    // Runs the login dialog of a Logout; false when the user gave up.
    bool runLoginDialog();
    // Tells the engine that snipes were scheduled, changed or cancelled.
    void snipesChanged();

    QScopedPointer<Ui::MainWindow> m_ui;
    QToolBar* m_browserToolBar = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QMenu* m_trayMenu = nullptr;
    MyQWebView* m_webView = nullptr;
    QLineEdit* m_itemNumberEdit = nullptr;
    QAction* m_addEnteredItemAction = nullptr;
    QAction* m_addItemBelowAction = nullptr;
    QAction* m_reloadAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_snipeAction = nullptr;
    QAction* m_groupAction = nullptr;
    QAction* m_cancelAction = nullptr;
    QAction* m_importAction = nullptr;
    QAction* m_logoutAction = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_preferencesAction = nullptr;
    QAction* m_checkUpdateAction = nullptr;
    QAction* m_trayExitAction = nullptr;
    QAction* m_trayRestoreAction = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_actionMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QComboBox* m_statusFilterCombo = nullptr;
    QComboBox* m_groupFilterCombo = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_outcomeLabel = nullptr;
    QTableView* m_view = nullptr;
    WatchListModel* m_model = nullptr;
    WatchListFilter* m_filter = nullptr;
    WatchListRefresh* m_refresh = nullptr;
    QDateTime m_lastTick;
    QLabel* m_clockStateLabel = nullptr;
    QLabel* m_sleepLabel = nullptr;
    SleepInhibitor* m_sleepInhibitor = nullptr;
    QLabel* m_nextSnipeLabel = nullptr;
    BidEngine* m_engine = nullptr;
    int m_refreshCounter = 0;
    int m_refreshInterval = -1;
    bool m_exiting = false;
};
