#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>

// Faults the tests switch on at run time, per endpoint name or for every endpoint ("*"). Owned by SandboxServer,
// which asks take() once per request to the simulated site (never for the control interface).
class SandboxFaults {
public:
    struct Fault {
        double latencyMs = 0.0;
        int status = 0;         // answer with this HTTP status instead of the page
        bool drop = false;      // close the connection without answering
        bool malformed = false; // answer with a cut and garbled body
        bool silent = false;    // act on the request (a bid is taken) but never answer
        QString answer;         // answer 200 with this body instead of the page
        int times = -1;         // requests left; -1: unlimited
    };

    // Reads {"endpoint","latencyMs","status","drop","malformed","silent","answer","times"}; false with a reason when
    // invalid.
    bool set(const QJsonObject& object, QString* error);
    void clear() { m_faults.clear(); }
    // The fault for a request to this endpoint, counting it against "times"; false when none applies.
    bool take(const QString& endpoint, Fault* fault);
    QJsonObject toJson() const;

private:
    QHash<QString, Fault> m_faults;
};
