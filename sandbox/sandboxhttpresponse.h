#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

// One answer of the sandbox, built by the simulated site or the control interface and written by the connection.
struct SandboxHttpResponse {
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    static SandboxHttpResponse html(const QString& page, int status = 200);
    static SandboxHttpResponse json(const QJsonObject& object, int status = 200);
    static SandboxHttpResponse text(const QString& text, int status);
    static QByteArray reasonPhrase(int status);

    void setHeader(const QByteArray& name, const QByteArray& value);
    void addHeader(const QByteArray& name, const QByteArray& value) { headers.append({name, value}); }
    QByteArray header(const QByteArray& name) const;
    // Status line, headers (with Content-Length and Connection) and body.
    QByteArray serialize(bool keepAlive, bool headOnly = false) const;
};
