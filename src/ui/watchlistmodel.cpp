#include "watchlistmodel.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "hosts.h"
#include "tollimerapp.h"
#include "watchlisttexts.h"

#include <QBrush>
#include <QSqlDatabase>
#include <QSqlQuery>

QSqlRecord signedInUser() {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->user() : QSqlRecord();
}

int signedInUserId() {
    return signedInUser().value(QStringLiteral("id")).toInt();
}

QString signedInDomain() {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->country().value(QStringLiteral("domain")).toString() : QString();
}

WatchListModel::WatchListModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_now(ClockManager::instance()->currentDateTime()) {}

int WatchListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.size();
}

int WatchListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant WatchListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case StatusColumn:
        return tr("Status");
    case ItemNumberColumn:
        return tr("Item Number");
    case ItemNameColumn:
        return tr("Item Name");
    case TimeLeftColumn:
        return tr("Time Left");
    case CurrentBidColumn:
        return tr("Current Bid");
    case ShippingColumn:
        return tr("Shipping");
    case MyBidColumn:
        return tr("My Bid");
    case GroupColumn:
        return tr("Group");
    case SellerColumn:
        return tr("Seller");
    }
    return QVariant();
}

Qt::ItemFlags WatchListModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return index.column() == GroupColumn ? flags | Qt::ItemIsEditable : flags;
}

QString WatchListModel::statusText(const Row& row, const QDateTime& now) {
    if (row.relation == QLatin1String(unlistedRelation) && row.bidStatus != BidStatus::Scheduled &&
        row.bidStatus != BidStatus::Bidding)
        return tr("No longer listed");
    return WatchListTexts::statusText(row.bidStatus, row.relation, row.endTime, row.isReserve, row.isReserveMet, now);
}

QVariant WatchListModel::display(const Row& row, int column) const {
    switch (column) {
    case StatusColumn:
        return statusText(row, m_now);
    case ItemNumberColumn:
        return row.itemNumber;
    case ItemNameColumn:
        return QStringLiteral("<a href=\"%1\">%2</a>")
            .arg(Hosts::itemPageUrl(signedInDomain(), row.itemNumber).toHtmlEscaped(), row.name.toHtmlEscaped());
    case TimeLeftColumn:
        return WatchListTexts::timeLeft(row.endTime, m_now).text;
    case CurrentBidColumn:
        return WatchListTexts::currentBidText(row.currency, row.currentBid, row.bidCount);
    case ShippingColumn:
        return WatchListTexts::shippingText(row.currency, row.shipping);
    case MyBidColumn:
        return WatchListTexts::bidText(row.id, row.currency, row.userBid, row.nextBid, row.bidStatus, row.leadTime);
    case GroupColumn:
        return row.groupName;
    case SellerColumn:
        return row.seller + QStringLiteral(" - ") + row.sellerScore;
    }
    return QVariant();
}

QVariant WatchListModel::sortValue(const Row& row, int column) const {
    switch (column) {
    case StatusColumn:
        return WatchListTexts::statusKey(row.bidStatus, row.relation, row.isReserve, row.isReserveMet);
    case ItemNumberColumn:
        return row.id;
    case ItemNameColumn:
        return row.name;
    case TimeLeftColumn:
        return row.endTime;
    case CurrentBidColumn:
        return row.currentBid;
    case ShippingColumn:
        return row.shipping;
    case MyBidColumn:
        return row.userBid;
    case GroupColumn:
        return row.groupId;
    case SellerColumn:
        return row.seller;
    }
    return QVariant();
}

QVariant WatchListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return display(row, index.column());
    case Qt::EditRole:
        return index.column() == GroupColumn ? QVariant(row.groupId) : display(row, index.column());
    case Qt::UserRole:
        return sortValue(row, index.column());
    case IdRole:
        return row.id;
    case LinkRole:
        return index.column() == ItemNameColumn ? Hosts::itemPageUrl(signedInDomain(), row.itemNumber) : QString();
    case Qt::ForegroundRole:
        if (index.column() == TimeLeftColumn) {
            const QColor color = WatchListTexts::timeLeft(row.endTime, m_now).color;
            return color.isValid() ? QVariant(QBrush(color)) : QVariant();
        }
        return QVariant();
    case Qt::ToolTipRole:
        if (index.column() == StatusColumn)
            return WatchListTexts::bidTimingText(row.bidStatus, row.actualBidTime, row.endTime);
        if (index.column() == ItemNameColumn)
            return row.name;
        return QVariant();
    }
    return QVariant();
}

bool WatchListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != GroupColumn || role != Qt::EditRole)
        return false;
    const int id = m_rows.at(index.row()).id;
    QSqlRecord item = storedItem(id);
    if (item.value(QStringLiteral("id")).toInt() != id)
        return false;
    const int groupId = value.toInt();
    item.setValue(QStringLiteral("group_id"), groupId < 1 ? QVariant() : QVariant(groupId));
    const bool stored = DbHelper::updateItem(item);
    reloadItem(id);
    return stored;
}

namespace {
// Reads a row's fields through value(name), so that a long list can look its columns up by position.
template <typename Value> WatchListModel::Row readFields(const Value& value) {
    WatchListModel::Row row;
    row.id = value("id").toInt();
    row.itemNumber = value("item_number").toString();
    row.name = value("name").toString();
    row.currency = value("currency").toString();
    row.relation = value("user_relation").toString();
    row.groupName = value("group_name").toString();
    row.seller = value("seller").toString();
    row.sellerScore = value("seller_score").toString();
    row.endTime = ClockManager::parseEbayTime(value("end_time").toString());
    row.currentBid = value("current_bid").toDouble();
    row.nextBid = value("next_bid").toDouble();
    row.userBid = value("user_bid").toDouble();
    const QVariant shipping = value("shipping");
    row.shipping = shipping.isNull() ? -1.0 : shipping.toDouble();
    row.bidCount = value("bid_count").toInt();
    row.bidStatus = value("bid_status").toInt();
    // Only a sent bid has a moment worth showing; reading the time of every row is a good part of a long list.
    if (row.bidStatus == BidStatus::Placed || row.bidStatus == BidStatus::Failed)
        row.actualBidTime = ClockManager::parseEbayTime(value("actual_bid_time").toString());
    row.leadTime = value("lead_time").toInt();
    row.groupId = value("group_id").toInt();
    row.isEnded = value("is_ended").toInt() != 0;
    row.isReserve = value("is_reserve").toInt() != 0;
    row.isReserveMet = value("is_reserve_met").toInt() != 0;
    return row;
}
} // namespace

WatchListModel::Row WatchListModel::readRow(const QSqlRecord& record) {
    return readFields([&record](const char* name) { return record.value(QLatin1String(name)); });
}

void WatchListModel::load() {
    beginResetModel();
    m_rows.clear();
    QSqlQuery query;
    query.setForwardOnly(true);
    if (DbHelper::getItems(query, m_now, signedInUserId(), 0, ItemFilter::All)) {
        const QSqlRecord columns = query.record();
        QHash<const char*, int> positions;
        const auto value = [&](const char* name) {
            auto found = positions.find(name);
            if (found == positions.end())
                found = positions.insert(name, columns.indexOf(QLatin1String(name)));
            return query.value(found.value());
        };
        while (query.next())
            m_rows.append(readFields(value));
    }
    reindex();
    endResetModel();
}

void WatchListModel::reloadItem(int id) {
    QSqlQuery& query = m_rowQuery;
    if (query.lastQuery().isEmpty())
        query.prepare(QStringLiteral("SELECT i.*, g.name group_name FROM items i LEFT JOIN groups g ON i.group_id = "
                                     "g.id WHERE i.id = ? AND i.user_id = ?"));
    query.addBindValue(id);
    query.addBindValue(signedInUserId());
    const bool found = query.exec() && query.next();
    const int at = rowOfId(id);
    if (!found) {
        query.finish();
        if (at < 0)
            return;
        beginRemoveRows(QModelIndex(), at, at);
        m_rows.remove(at);
        reindex();
        endRemoveRows();
        return;
    }
    const Row fresh = readRow(query.record());
    query.finish();
    if (at < 0) {
        beginInsertRows(QModelIndex(), m_rows.size(), m_rows.size());
        m_rowOfId.insert(id, m_rows.size());
        m_rows.append(fresh);
        endInsertRows();
        return;
    }
    const Row old = m_rows.at(at);
    m_rows[at] = fresh;
    emit dataChanged(index(at, 0), index(at, ColumnCount - 1));
    // The verdict (Won, Didn't Win) once the auction has ended, else a bid that was just placed or failed.
    const QString status = statusText(fresh, m_now);
    const bool verdict = fresh.endTime < m_now && fresh.bidStatus != BidStatus::Scheduled &&
                         fresh.bidStatus != BidStatus::Bidding &&
                         (fresh.relation == QLatin1String(UserRelation::highBidder) ||
                          fresh.relation == QLatin1String(UserRelation::outBidder));
    if (verdict && status != statusText(old, m_now))
        emit outcomeChanged(
            tr("%1 %2 at %3")
                .arg(status, fresh.itemNumber, WatchListTexts::amountText(fresh.currency, fresh.currentBid)));
    else if (fresh.bidStatus != old.bidStatus &&
             (fresh.bidStatus == BidStatus::Placed || fresh.bidStatus == BidStatus::Failed))
        emit outcomeChanged(tr("%1 %2 at %3")
                                .arg(fresh.bidStatus == BidStatus::Placed ? tr("Placed") : tr("Failed"),
                                     fresh.itemNumber, WatchListTexts::amountText(fresh.currency, fresh.userBid)));
}

int WatchListModel::rowOfNumber(const QString& itemNumber) const {
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).itemNumber == itemNumber)
            return i;
    }
    return -1;
}

void WatchListModel::reindex() {
    m_rowOfId.clear();
    m_rowOfId.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        m_rowOfId.insert(m_rows.at(i).id, i);
}

QSqlRecord WatchListModel::storedItem(int id) {
    QSqlRecord item = QSqlDatabase::database().record(QStringLiteral("items"));
    if (id < 1)
        return item;
    item.setValue(QStringLiteral("id"), id);
    if (!DbHelper::getItem(item))
        item.clearValues();
    return item;
}

QSqlRecord WatchListModel::storedItem(const QString& itemNumber) {
    QSqlRecord item = QSqlDatabase::database().record(QStringLiteral("items"));
    item.setValue(QStringLiteral("item_number"), itemNumber);
    item.setValue(QStringLiteral("user_id"), signedInUserId());
    if (!DbHelper::getItem(item))
        item.clearValues();
    return item;
}

// The same selections as the store's watch-list query, on a row already read.
bool WatchListModel::matchesFilter(int filter, const Row& row, const QDateTime& now) {
    const bool ended = row.endTime < now;
    const bool beingSniped = row.bidStatus == BidStatus::Scheduled || row.bidStatus == BidStatus::Bidding;
    const bool high = row.relation == QLatin1String(UserRelation::highBidder);
    const bool out = row.relation == QLatin1String(UserRelation::outBidder);
    switch (filter) {
    case ItemFilter::Watching:
        return row.bidStatus == 0 && row.relation == QLatin1String(UserRelation::none);
    case ItemFilter::BidScheduled:
        return row.bidStatus == BidStatus::Scheduled;
    case ItemFilter::HighBidder:
        return !beingSniped && high && !ended;
    case ItemFilter::OutBidder:
        return !beingSniped && out && !ended;
    case ItemFilter::Won:
        return !beingSniped && high && ended;
    case ItemFilter::DidntWin:
        return ended && ((!beingSniped && out) ||
                         (row.bidStatus == BidStatus::Failed && row.relation == QLatin1String(UserRelation::none)));
    default:
        return true;
    }
}

WatchListFilter::WatchListFilter(QObject* parent)
    : QSortFilterProxyModel(parent) {
    setSortRole(Qt::UserRole);
}

void WatchListFilter::setFilters(int statusFilter, int groupFilter) {
    m_statusFilter = statusFilter;
    m_groupFilter = groupFilter;
    invalidateFilter();
}

void WatchListFilter::timePassed(const QDateTime& before, const QDateTime& now) {
    if (m_statusFilter < ItemFilter::HighBidder || m_statusFilter > ItemFilter::DidntWin)
        return;
    auto* model = qobject_cast<WatchListModel*>(sourceModel());
    for (int i = 0; model && i < model->rowCount(); ++i) {
        const QDateTime& end = model->row(i).endTime;
        if (end >= before && end < now) {
            invalidateFilter();
            return;
        }
    }
}

bool WatchListFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    Q_UNUSED(sourceParent)
    auto* model = qobject_cast<WatchListModel*>(sourceModel());
    if (!model)
        return true;
    const WatchListModel::Row& row = model->row(sourceRow);
    if (m_groupFilter > 0 && row.groupId != m_groupFilter)
        return false;
    return WatchListModel::matchesFilter(m_statusFilter, row, model->now());
}

bool WatchListFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (left.column() <= WatchListModel::ItemNumberColumn)
        return left.data().toString() < right.data().toString();
    const QVariant a = left.data(Qt::UserRole);
    const QVariant b = right.data(Qt::UserRole);
    switch (a.type()) {
    case QVariant::String:
        return a.toString().toLower() < b.toString().toLower();
    case QVariant::DateTime:
        return a.toDateTime() < b.toDateTime();
    case QVariant::Int:
    case QVariant::Double:
        return a.toDouble() < b.toDouble();
    default:
        return false;
    }
}
