#pragma once

#include "groupcombobox.h"
#include "itemhelper.h"
#include "traymessenger.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QScopedPointer>
#include <QSqlRecord>
#include <QSystemTrayIcon>

class MyQWebView;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QTableWidgetItem;
class QToolBar;

namespace Ui {
class MainWindow;
}

// The window the user lives in: the watch list above the embedded browser, every action on the list, the
// refresh from eBay and the tray icon. Start-up creates it after the sign-in; it owns its browser, the short-lived
// request objects it starts, and the bid engine, and it is the tray-message outlet of the engine.
class MainWindow : public QMainWindow, public TrayMessenger {
    Q_OBJECT

public:
    // The table's columns, in order.
    enum Column {
        StatusColumn,
        ItemNumberColumn,
        ItemNameColumn,
        TimeLeftColumn,
        CurrentBidColumn,
        ShippingColumn,
        MyBidColumn,
        GroupColumn,
        SellerColumn,
        ColumnCount
    };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void showTrayMessage(const QString& title, const QString& text, Icon icon) override;
    // Re-reads the signed-in user's preferences from the application object and applies them to the running
    // window: a changed refresh interval counts from now. The tick reads the interval itself, so a preference
    // stored without this call still applies from the next tick.
    void applyPreferences();

    // The row of an item number in the table, or -1.
    int findRow(const QString& itemNumber) const;
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
    void relationFinished(bool ok, const QString& relation);
    void reloadFinished(bool ok);
    void itemLinkClicked(const QString& link);
    void onTimer();
    void loadItemsFromDb();
    void getShippingFinished(bool ok, double shipping);
    void userBidLinkClicked(const QString& link);
    void aboutTollimer();
    void preferences();
    void checkUpdate();
    void exit();
    void tableWidgetContextMenuRequested(const QPoint& pos);
    // The clock's state in the status bar: synchronised with eBay, or on the computer's clock while retrying.
    void showClockState(bool synchronised);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A snipe waiting for its time, for the status bar's countdown without touching the store every second.
    struct ScheduledSnipe {
        QString itemNumber;
        QDateTime due;
    };

    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createTray();
    void readSettings();
    void writeSettings();
    void loadHomePage();
    void loadGroupFilter(int groupId);
    void loadScheduledSnipes();
    void showNextSnipe();
    QAction* createAction(const char* name, const QString& text, const QString& icon, const QString& statusTip,
                          const char* slot);

    int addItemRow(const QSqlRecord& item, const GroupComboBox::Groups& groups);
    void setStatusText(QTableWidgetItem* cell, int bidStatus, const QString& relation, const QDateTime& endTime,
                       bool isReserve, bool isReserveMet);
    void setBidText(QLabel* label, int id, const QString& currency, double userBid, double nextBid, int bidStatus,
                    int leadTime);
    void setShippingText(QTableWidgetItem* cell, const QString& currency, double shipping);
    void setTimeLeftText(QTableWidgetItem* cell);
    void finishTableUpdate();

    void watchItem(const QString& itemNumber);
    QString currentPageItemNumber() const;
    bool isWatched(const QString& itemNumber) const;
    int selectedRow() const;
    int selectedItemId() const;
    QSqlRecord selectedItemRecord() const;
    QString selectedItemIds() const;

    // The fields eBay reports, from a fresh answer onto a stored item.
    static void copyEbayFacts(const Item& fresh, QSqlRecord& item);
    void updateDbItems(const ItemHelper::ItemHash& items);
    // The sender's row once its answer is in and usable, else -1; the sender goes away.
    int finishedRowRequest(bool ok);
    ItemHelper* rowRequest(const QString& itemNumber);
    void requestRelation(int row, const QString& itemNumber);
    void requestShipping(int row, const QString& itemNumber);
    // Runs the login dialog of a Logout; false when the user gave up.
    bool runLoginDialog();

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
    QLabel* m_clockStateLabel = nullptr;
    QLabel* m_nextSnipeLabel = nullptr;
    int m_refreshCounter = 0;
    int m_refreshInterval = -1;
    bool m_exiting = false;
    QList<ScheduledSnipe> m_scheduledSnipes;
    // The Item Number cell of each row, so that an answer finds its row without scanning the table.
    QHash<QString, QTableWidgetItem*> m_numberCells;
    // The row request whose answer is being applied.
    QPointer<ItemHelper> m_answering;
};
