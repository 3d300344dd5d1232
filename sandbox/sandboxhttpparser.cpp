#include "sandboxhttpparser.h"

#include <QRegularExpression>

void SandboxHttpParser::fail(int status, const QString& text) {
    m_errorStatus = status;
    m_errorText = text;
    m_buffer.clear();
}

bool SandboxHttpParser::feed(const QByteArray& bytes, double arrivalMs) {
    if (failed())
        return false;
    if (m_buffer.isEmpty() && !m_inBody)
        m_firstByteMs = arrivalMs;
    m_buffer += bytes;
    for (;;) {
        if (!m_inBody) {
            // Tolerate blank lines between pipelined requests.
            while (m_buffer.startsWith("\r\n"))
                m_buffer.remove(0, 2);
            const int end = m_buffer.indexOf("\r\n\r\n");
            if (end < 0) {
                if (m_buffer.size() > maxHeaderBytes)
                    fail(431, QStringLiteral("request head too large"));
                return !failed();
            }
            if (end > maxHeaderBytes) {
                fail(431, QStringLiteral("request head too large"));
                return false;
            }
            const QByteArray head = m_buffer.left(end);
            m_buffer.remove(0, end + 4);
            if (!parseHead(head))
                return false;
            m_inBody = true;
        }
        if (m_buffer.size() < m_bodyLength)
            return true;
        m_current.body = m_buffer.left(int(m_bodyLength));
        m_buffer.remove(0, int(m_bodyLength));
        m_ready.append(m_current);
        m_current = SandboxHttpRequest();
        m_inBody = false;
        m_bodyLength = 0;
        // A pipelined request that is already buffered arrived with these bytes.
        m_firstByteMs = arrivalMs;
        if (m_buffer.isEmpty())
            return true;
    }
}

bool SandboxHttpParser::parseHead(const QByteArray& head) {
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    static const QRegularExpression methodToken(QStringLiteral("^[A-Z]+$"));
    if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/1.") ||
        !methodToken.match(QString::fromLatin1(requestLine.at(0))).hasMatch()) {
        fail(400, QStringLiteral("malformed request line"));
        return false;
    }
    m_current = SandboxHttpRequest();
    m_current.arrivalMs = m_firstByteMs;
    m_current.method = requestLine.at(0);
    m_current.target = requestLine.at(1);
    m_current.version = requestLine.at(2);
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).endsWith('\r') ? lines.at(i).chopped(1) : lines.at(i);
        if (line.isEmpty())
            continue;
        const int colon = line.indexOf(':');
        if (colon <= 0) {
            fail(400, QStringLiteral("malformed header line"));
            return false;
        }
        m_current.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    if (!m_current.header("Transfer-Encoding").isEmpty()) {
        fail(501, QStringLiteral("chunked request bodies are not supported"));
        return false;
    }
    const QByteArray length = m_current.header("Content-Length");
    bool ok = true;
    m_bodyLength = length.isEmpty() ? 0 : length.toLongLong(&ok);
    if (!ok || m_bodyLength < 0) {
        fail(400, QStringLiteral("bad Content-Length"));
        return false;
    }
    if (m_bodyLength > maxBodyBytes) {
        fail(413, QStringLiteral("request body too large"));
        return false;
    }
    if (m_current.method == "CONNECT") {
        // The tunnel is refused later; the log still shows where it was meant to go.
        m_current.host = QString::fromLatin1(m_current.target).section(QLatin1Char(':'), 0, 0).toLower();
    } else if (!m_current.parseTarget()) {
        fail(400, QStringLiteral("malformed request target"));
        return false;
    }
    return true;
}
