#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// The texts of the watch-list cells and of the snipe dialog as functions of the stored values, so that the table,
// the dialog and the tests share one reading of them. "now" is always passed in (eBay time). Every value that
// goes into a rich text is escaped. Translated in its own context.
class WatchListTexts {
    Q_DECLARE_TR_FUNCTIONS(WatchListTexts)

public:
    // The Status cell's sort key: bid status, relation, reserve and reserve met ("1,NONE,1,0").
    static QString statusKey(int bidStatus, const QString& relation, bool isReserve, bool isReserveMet);
    static QString statusText(int bidStatus, const QString& relation, const QDateTime& endTime, bool isReserve,
                              bool isReserveMet, const QDateTime& now);

    struct TimeLeft {
        QString text;
        QColor color; // invalid: the table's own colour
    };
    static TimeLeft timeLeft(const QDateTime& endTime, const QDateTime& now);
    // The same as rich text, as the snipe dialog shows it.
    static QString timeLeftHtml(const QDateTime& endTime, const QDateTime& now);
    // A duration in the time-left form ("4m 12s"); negative durations read 0s.
    static QString durationText(qint64 seconds);

    // "Unknown" for no amount, else "GBP 12.50".
    static QString amountText(const QString& currency, double amount);
    static QString currentBidText(const QString& currency, double currentBid, int bidCount);
    static QString bidText(int id, const QString& currency, double userBid, double nextBid, int bidStatus,
                           int leadTime);
    static QString shippingText(const QString& currency, double shipping);
    // Tooltip of a placed or failed snipe: how long before the end its last request left; empty otherwise.
    static QString bidTimingText(int bidStatus, const QDateTime& actualBidTime, const QDateTime& endTime);
};
