#pragma once

#include <QAbstractTableModel>
#include <QDateTime>
#include <QHash>
#include <QSortFilterProxyModel>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVector>

// The signed-in user's record and site, as the application object holds them (empty without one).
QSqlRecord signedInUser();
int signedInUserId();
QString signedInDomain();

// The relation stored for a listing eBay no longer knows. Older versions read it as an unknown relation and show
// "Unknown"; no filter but All lists it, and the refresh leaves such a row alone from then on.
constexpr char unlistedRelation[] = "UNLISTED";

// The watch list of the signed-in user: one row per stored item, in store order. The one place that turns a stored
// row into cell texts and sort values; it re-reads single rows when the engine, the refresh or an action wrote
// them, so the view keeps its selection and scroll position. Owned by the main window.
class WatchListModel : public QAbstractTableModel {
    Q_OBJECT

public:
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
    // Data roles beside the display text: the sort value is Qt::UserRole.
    enum Role { IdRole = Qt::UserRole + 1, LinkRole };

    // What a row shows, read once from the store.
    struct Row {
        int id = 0;
        QString itemNumber;
        QString name;
        QString currency;
        QString relation;
        QString groupName;
        QString seller;
        QString sellerScore;
        QDateTime endTime;
        QDateTime actualBidTime;
        double currentBid = 0;
        double nextBid = 0;
        double userBid = 0;
        double shipping = -1;
        int bidCount = 0;
        int bidStatus = 0;
        int leadTime = 0;
        int groupId = 0;
        bool isEnded = false;
        bool isReserve = false;
        bool isReserveMet = false;
    };

    explicit WatchListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The Group column takes a group id and stores it at once (0: no group).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Reads every item of the signed-in user afresh (start, Logout, changed groups).
    void load();
    // Re-reads one item: changes its row in place, adds it, or removes it when it is gone or not the user's.
    void reloadItem(int id);
    const Row& row(int row) const { return m_rows.at(row); }
    int rowOfId(int id) const { return m_rowOfId.value(id, -1); }
    int rowOfNumber(const QString& itemNumber) const;
    // The current time as the cells read it; the tick moves it on.
    QDateTime now() const { return m_now; }
    void setNow(const QDateTime& now) { m_now = now; }

    // The stored item by id, or by number for the signed-in user; an empty record of the items table when absent.
    static QSqlRecord storedItem(int id);
    static QSqlRecord storedItem(const QString& itemNumber);
    static QString statusText(const Row& row, const QDateTime& now);
    static Row readRow(const QSqlRecord& record);
    // Whether a row is listed under a status filter (the watch-list filter codes) at the given time.
    static bool matchesFilter(int filter, const Row& row, const QDateTime& now);

signals:
    // A row's outcome changed under the user's eyes ("Won 110000000004 at GBP 8.50").
    void outcomeChanged(const QString& text);

private:
    QVariant display(const Row& row, int column) const;
    QVariant sortValue(const Row& row, int column) const;
    void reindex();

    // The one-row read, prepared once: the engine reports a row at every step of a bid.
    QSqlQuery m_rowQuery;
    QVector<Row> m_rows;
    QHash<int, int> m_rowOfId;
    QDateTime m_now;
};

// The watch list as the table shows it: the status and group filters, sorting by each cell's sort value (the
// Status and Item Number columns by their text, text values without case).
class WatchListFilter : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit WatchListFilter(QObject* parent = nullptr);

    int statusFilter() const { return m_statusFilter; }
    int groupFilter() const { return m_groupFilter; }
    void setFilters(int statusFilter, int groupFilter);
    // Filters that depend on whether an auction has ended are applied again once a shown end passes.
    void timePassed(const QDateTime& before, const QDateTime& now);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    int m_statusFilter = 0;
    int m_groupFilter = 0;
};
