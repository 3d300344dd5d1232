#include "sandboxfaults.h"

#include <QJsonArray>

bool SandboxFaults::set(const QJsonObject& object, QString* error) {
    const QString endpoint = object.value(QStringLiteral("endpoint")).toString();
    if (endpoint.isEmpty()) {
        *error = QStringLiteral("a fault needs an endpoint name or \"*\"");
        return false;
    }
    Fault fault;
    fault.latencyMs = object.value(QStringLiteral("latencyMs")).toDouble(0.0);
    fault.status = object.value(QStringLiteral("status")).toInt(0);
    fault.drop = object.value(QStringLiteral("drop")).toBool(false);
    fault.malformed = object.value(QStringLiteral("malformed")).toBool(false);
    fault.silent = object.value(QStringLiteral("silent")).toBool(false);
    fault.answer = object.value(QStringLiteral("answer")).toString();
    fault.times = object.value(QStringLiteral("times")).toInt(-1);
    if (fault.latencyMs < 0.0 || (fault.status != 0 && (fault.status < 100 || fault.status > 599)) ||
        fault.times == 0) {
        *error = QStringLiteral("latencyMs must be >= 0, status 100..599, times > 0");
        return false;
    }
    m_faults.insert(endpoint, fault);
    return true;
}

bool SandboxFaults::take(const QString& endpoint, Fault* fault) {
    auto found = m_faults.find(endpoint);
    if (found == m_faults.end())
        found = m_faults.find(QStringLiteral("*"));
    if (found == m_faults.end())
        return false;
    *fault = found.value();
    if (found->times > 0 && --found->times == 0)
        m_faults.erase(found);
    return true;
}

QJsonObject SandboxFaults::toJson() const {
    QJsonArray list;
    for (auto it = m_faults.cbegin(); it != m_faults.cend(); ++it) {
        list.append(QJsonObject{{QStringLiteral("endpoint"), it.key()},
                                {QStringLiteral("latencyMs"), it->latencyMs},
                                {QStringLiteral("status"), it->status},
                                {QStringLiteral("drop"), it->drop},
                                {QStringLiteral("malformed"), it->malformed},
                                {QStringLiteral("silent"), it->silent},
                                {QStringLiteral("answer"), it->answer},
                                {QStringLiteral("times"), it->times}});
    }
    return QJsonObject{{QStringLiteral("faults"), list}};
}
