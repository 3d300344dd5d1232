#include "sandboxhttprequest.h"

#include <QUrl>

bool SandboxHttpRequest::parseTarget() {
    QByteArray pathAndQuery;
    if (target.startsWith('/')) {
        absoluteForm = false;
        pathAndQuery = target;
        host = QString::fromLatin1(header("Host")).toLower();
    } else {
        const int schemeEnd = target.indexOf("://");
        if (schemeEnd <= 0)
            return false;
        absoluteForm = true;
        const int authorityStart = schemeEnd + 3;
        int pathStart = target.indexOf('/', authorityStart);
        const int queryStart = target.indexOf('?', authorityStart);
        if (pathStart < 0 || (queryStart >= 0 && queryStart < pathStart))
            pathStart = queryStart;
        const QByteArray authority =
            pathStart < 0 ? target.mid(authorityStart) : target.mid(authorityStart, pathStart - authorityStart);
        host = QString::fromLatin1(authority).toLower();
        pathAndQuery = pathStart < 0 ? QByteArray("/") : target.mid(pathStart);
        if (pathAndQuery.startsWith('?'))
            pathAndQuery.prepend('/');
    }
    const int at = host.lastIndexOf(QLatin1Char('@'));
    if (at >= 0)
        host = host.mid(at + 1);
    if (!host.startsWith(QLatin1Char('['))) {
        const int colon = host.indexOf(QLatin1Char(':'));
        if (colon >= 0)
            host.truncate(colon);
    }
    const int hash = pathAndQuery.indexOf('#');
    if (hash >= 0)
        pathAndQuery.truncate(hash);
    const int question = pathAndQuery.indexOf('?');
    const QByteArray rawPath = question < 0 ? pathAndQuery : pathAndQuery.left(question);
    rawQuery = question < 0 ? QByteArray() : pathAndQuery.mid(question + 1);
    path = QUrl::fromPercentEncoding(rawPath);
    return true;
}

QByteArray SandboxHttpRequest::header(const QByteArray& name) const {
    for (const auto& field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return {};
}

QString SandboxHttpRequest::fullUrl() const {
    if (absoluteForm || method == "CONNECT")
        return QString::fromLatin1(target);
    return QStringLiteral("http://") + QString::fromLatin1(header("Host")) + QString::fromLatin1(target);
}

QString SandboxHttpRequest::decodeFormComponent(QByteArray component) {
    component.replace('+', ' ');
    return QUrl::fromPercentEncoding(component);
}

QList<QPair<QString, QString>> SandboxHttpRequest::decodeForm(const QByteArray& encoded) {
    QList<QPair<QString, QString>> items;
    for (const QByteArray& part : encoded.split('&')) {
        if (part.isEmpty())
            continue;
        const int equals = part.indexOf('=');
        if (equals < 0)
            items.append({decodeFormComponent(part), QString()});
        else
            items.append({decodeFormComponent(part.left(equals)), decodeFormComponent(part.mid(equals + 1))});
    }
    return items;
}

QList<QPair<QString, QString>> SandboxHttpRequest::queryItems() const {
    return decodeForm(rawQuery);
}

QString SandboxHttpRequest::queryValue(const QString& name) const {
    for (const auto& item : queryItems()) {
        if (item.first == name)
            return item.second;
    }
    return {};
}

bool SandboxHttpRequest::hasQueryItem(const QString& name) const {
    for (const auto& item : queryItems()) {
        if (item.first == name)
            return true;
    }
    return false;
}

QString SandboxHttpRequest::firstQueryKey() const {
    const auto items = queryItems();
    return items.isEmpty() ? QString() : items.first().first;
}

QList<QPair<QString, QString>> SandboxHttpRequest::formItems() const {
    return decodeForm(body);
}

QMap<QString, QString> SandboxHttpRequest::cookies() const {
    QMap<QString, QString> jar;
    for (const auto& field : headers) {
        if (field.first.compare("Cookie", Qt::CaseInsensitive) != 0)
            continue;
        for (const QByteArray& pair : field.second.split(';')) {
            const QByteArray trimmed = pair.trimmed();
            const int equals = trimmed.indexOf('=');
            if (equals > 0)
                jar.insert(QString::fromLatin1(trimmed.left(equals)), QString::fromLatin1(trimmed.mid(equals + 1)));
        }
    }
    return jar;
}

bool SandboxHttpRequest::keepAlive() const {
    QByteArray connection = header("Connection").toLower();
    if (connection.isEmpty())
        connection = header("Proxy-Connection").toLower();
    if (connection.contains("close"))
        return false;
    if (version == "HTTP/1.0")
        return connection.contains("keep-alive");
    return true;
}
