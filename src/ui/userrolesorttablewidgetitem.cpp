#include "userrolesorttablewidgetitem.h"

#include <QDateTime>

UserRoleSortTableWidgetItem::UserRoleSortTableWidgetItem(const QString& text, int type)
    : QTableWidgetItem(text, type) {}

bool UserRoleSortTableWidgetItem::operator<(const QTableWidgetItem& other) const {
    const QVariant mine = data(Qt::UserRole);
    const QVariant theirs = other.data(Qt::UserRole);
    switch (mine.userType()) {
    case QMetaType::QString:
        return mine.toString().toLower() < theirs.toString().toLower();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return mine.toLongLong() < theirs.toLongLong();
    case QMetaType::Double:
        return mine.toDouble() < theirs.toDouble();
    case QMetaType::QDateTime:
        return mine.toDateTime() < theirs.toDateTime();
    default:
        return false;
    }
}
