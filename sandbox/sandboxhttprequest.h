#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

// One HTTP request as the sandbox received it. The program talks to the sandbox as to a proxy, so the target is
// usually absolute ("http://offer.ebay.de/ws/..."); the control interface is reached in origin form ("/_sandbox/..").
struct SandboxHttpRequest {
    QByteArray method;
    QByteArray target;  // as written on the request line
    QByteArray version; // "HTTP/1.1"
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    double arrivalMs = 0.0;
    int connectionId = 0; // which client connection carried it, to show keep-alive in the log

    bool absoluteForm = false;
    QString host; // lower case, without port
    QString path; // percent-decoded
    QByteArray rawQuery;

    // Splits the target into host, path and query. Returns false for a target that is neither form.
    bool parseTarget();

    QByteArray header(const QByteArray& name) const;
    // The URL as a client would have written it: the target itself when absolute, otherwise http://Host + target.
    QString fullUrl() const;
    // Query items in order, decoded as a form (a "+" is a space, then percent-decoding), so that a token sent
    // with a bare "+" does not survive the trip.
    QList<QPair<QString, QString>> queryItems() const;
    QString queryValue(const QString& name) const;
    bool hasQueryItem(const QString& name) const;
    QString firstQueryKey() const;
    // Form fields of an application/x-www-form-urlencoded body.
    QList<QPair<QString, QString>> formItems() const;
    QMap<QString, QString> cookies() const;
    // Whether the connection stays open after the answer.
    bool keepAlive() const;

    static QList<QPair<QString, QString>> decodeForm(const QByteArray& encoded);
    static QString decodeFormComponent(QByteArray component);
};
