#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class QNetworkReply;

// Shows the "Network Error" boxes of the eBay client, one box per burst of failures instead of one per request:
// a refresh during an outage fails two requests per row, and a modal box per failure would stack a box inside
// each other box's event loop. A failure is held until no tracked request is left in flight (or a short while has
// passed), then every failure held so far is shown in one box saying how many requests failed each way. The
// requests' result signals never wait for the box. One per process; the client's request objects report to it.
class FailureBox : public QObject {
    Q_OBJECT

public:
    static FailureBox* instance();

    // Counts a request as in flight until it finishes or goes away.
    void track(QNetworkReply* reply);
    // Holds a failure: title, the operation's message with "%1" for the error, and the error text.
    void critical(const QString& title, const QString& message, const QString& error);
    // Shows what is held now, if anything; the timers call it, tests may too.
    void flush();

    // The text of a box for failures of one kind: the first one's text, and how many failed when more did.
    static QString burstText(const QString& message, const QString& firstError, int count);

private slots:
    void untrack(QObject* reply);

private:
    explicit FailureBox(QObject* parent = nullptr);
    void scheduleFlushIfIdle();

    struct Failure {
        QString title;
        QString message;
        QString firstError;
        int count = 0;
    };
    QList<Failure> m_held;
    QSet<QObject*> m_inFlight;
    QTimer m_idleFlush;
    QTimer m_deadline;
    bool m_showing = false;
};
