#include "sandboxhttpresponse.h"

#include <QJsonDocument>

static SandboxHttpResponse withBody(const QByteArray& contentType, const QByteArray& body, int status) {
    SandboxHttpResponse response;
    response.status = status;
    response.setHeader("Content-Type", contentType);
    response.body = body;
    return response;
}

SandboxHttpResponse SandboxHttpResponse::html(const QString& page, int status) {
    return withBody("text/html; charset=utf-8", page.toUtf8(), status);
}

SandboxHttpResponse SandboxHttpResponse::json(const QJsonObject& object, int status) {
    return withBody("application/json; charset=utf-8", QJsonDocument(object).toJson(QJsonDocument::Compact), status);
}

SandboxHttpResponse SandboxHttpResponse::text(const QString& text, int status) {
    return withBody("text/plain; charset=utf-8", text.toUtf8(), status);
}

QByteArray SandboxHttpResponse::reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 411:
        return "Length Required";
    case 413:
        return "Payload Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return status < 400 ? "OK" : "Error";
    }
}

void SandboxHttpResponse::setHeader(const QByteArray& name, const QByteArray& value) {
    for (auto& field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0) {
            field.second = value;
            return;
        }
    }
    headers.append({name, value});
}

QByteArray SandboxHttpResponse::header(const QByteArray& name) const {
    for (const auto& field : headers) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0)
            return field.second;
    }
    return {};
}

QByteArray SandboxHttpResponse::serialize(bool keepAlive, bool headOnly) const {
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const auto& field : headers) {
        if (field.first.compare("Content-Length", Qt::CaseInsensitive) == 0 ||
            field.first.compare("Connection", Qt::CaseInsensitive) == 0)
            continue;
        out += field.first + ": " + field.second + "\r\n";
    }
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += "\r\n";
    if (!headOnly)
        out += body;
    return out;
}
