#pragma once

#include "sandboxhttprequest.h"

#include <QByteArray>
#include <QList>

// Incremental HTTP/1.1 request parser for one connection: bytes go in as they arrive, complete requests come out
// in order (pipelined requests included). Bodies are framed by Content-Length only; the program never sends
// chunked bodies, so a chunked one is refused rather than guessed at.
class SandboxHttpParser {
public:
    static constexpr int maxHeaderBytes = 64 * 1024;
    static constexpr int maxBodyBytes = 16 * 1024 * 1024;

    // Appends bytes; returns false once the stream is broken (see errorStatus()).
    bool feed(const QByteArray& bytes, double arrivalMs);
    bool hasRequest() const { return !m_ready.isEmpty(); }
    SandboxHttpRequest takeRequest() { return m_ready.takeFirst(); }

    bool failed() const { return m_errorStatus != 0; }
    // The status to answer a broken stream with before closing (400, 411, 413, 431, 501).
    int errorStatus() const { return m_errorStatus; }
    QString errorText() const { return m_errorText; }

private:
    bool parseHead(const QByteArray& head);
    void fail(int status, const QString& text);

    QByteArray m_buffer;
    bool m_inBody = false;
    qint64 m_bodyLength = 0;
    double m_firstByteMs = 0.0;
    SandboxHttpRequest m_current;
    QList<SandboxHttpRequest> m_ready;
    int m_errorStatus = 0;
    QString m_errorText;
};
