#pragma once

#include "internalclock.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

class QNetworkReply;

// The program's only "now": eBay's time, fetched once from the Shopping API at start-up and carried on by the
// internal clock, and the one-second tick that drives the main window and the bid engine. One per process.
class ClockManager : public QObject {
    Q_OBJECT

public:
    static ClockManager* instance();
    // Public so that tests can run a clock of their own; the program uses instance().
    explicit ClockManager(QObject* parent = nullptr);

    QDateTime currentDateTime() const { return m_clock.currentDateTime(); }
    // Asks eBay for its time and returns once the answer (or the failure) is in. Never shows a box.
    void syncTimeAndWait();
    // Connects the tick to a receiver's slot, given as SLOT(name()).
    void connectTick(const QObject* receiver, const char* slot);
    int tickInterval() const { return m_clock.tickInterval(); }

    InternalClock* internalClock() { return &m_clock; }
    bool isTicking() const { return m_clock.isActive(); }

    static QString timeFormat() { return QStringLiteral("yyyy-MM-ddThh:mm:ss"); }
    // An eBay time text cut to its first 19 characters and read as UTC digits (invalid when it does not parse).
    // This is also how every time is read back from the store.
    static QDateTime parseEbayTime(const QString& text);
    // The store's text of an eBay time: its digits as held, with no zone conversion. Every time written to the
    // store or into SQL goes through here, so reading it back with parseEbayTime gives the same value.
    static QString storeText(const QDateTime& time);

private slots:
    void syncTimeFinished();

private:
    InternalClock m_clock;
    QPointer<QNetworkReply> m_reply;
};
