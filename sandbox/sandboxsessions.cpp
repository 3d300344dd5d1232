#include "sandboxsessions.h"

#include <QRandomGenerator>

static QString randomHex(int bytes) {
    QByteArray raw(bytes, Qt::Uninitialized);
    for (char& byte : raw)
        byte = char(QRandomGenerator::global()->bounded(256));
    return QString::fromLatin1(raw.toHex());
}

const QString SandboxSessions::preSessionCookie = QStringLiteral("ebay_presid");

void SandboxSessions::setUsers(const QList<SandboxScenario::User>& users) {
    m_users = users;
    m_sessions.clear();
    m_tokens.clear();
}

const SandboxScenario::User* SandboxSessions::user(const QString& username) const {
    for (const SandboxScenario::User& candidate : m_users) {
        if (candidate.username.compare(username, Qt::CaseInsensitive) == 0)
            return &candidate;
    }
    return nullptr;
}

QString SandboxSessions::randomToken(int bytes) {
    QByteArray raw(bytes, Qt::Uninitialized);
    for (char& byte : raw)
        byte = char(QRandomGenerator::global()->bounded(256));
    QByteArray text = raw.toBase64();
    // The length stays a multiple of four, so the "=" padding below is where base64 puts it.
    text[1] = '+';
    text[text.size() / 2] = '/';
    text.chop(2);
    text.append("==");
    return QString::fromLatin1(text);
}

SandboxSessions::SignInValues SandboxSessions::issueSignInValues() {
    SignInValues values;
    values.mid = randomToken(12);
    values.srt = randomToken(30);
    values.runId2 = randomToken(9);
    values.preSession = randomHex(12);
    m_issuedSrt.insert(values.srt);
    return values;
}

QString SandboxSessions::checkPassword(const QString& userid, const QString& password) const {
    const SandboxScenario::User* found = user(userid);
    if (!found || found->password != password)
        return {};
    return found->username;
}

QString SandboxSessions::openSession(const QString& username) {
    // Cookie values stay plain hex: the session is not what the encoding checks are about.
    const QString session = randomHex(20);
    m_sessions.insert(session, username);
    return session;
}

static QString tokenSlot(const QString& session, const QString& item, const QString& flow) {
    return session + QLatin1Char('|') + item + QLatin1Char('|') + flow;
}

SandboxSessions::Tokens SandboxSessions::issueTokens(const QString& session, const QString& item, const QString& flow) {
    IssuedTokens issued;
    issued.tokens.stok = randomToken();
    issued.tokens.uiid = randomToken(12);
    if (flow == QStringLiteral("json"))
        issued.tokens.key = randomToken(15);
    m_tokens.insert(tokenSlot(session, item, flow), issued);
    return issued.tokens;
}

SandboxSessions::TokenCheck SandboxSessions::checkTokens(const QString& session, const QString& item,
                                                         const QString& flow, const Tokens& offered) {
    auto found = m_tokens.find(tokenSlot(session, item, flow));
    if (found == m_tokens.end())
        return TokenCheck::NotIssued;
    const Tokens& expected = found->tokens;
    const bool keyMatches = flow != QStringLiteral("json") || offered.key == expected.key;
    if (offered.stok != expected.stok || offered.uiid != expected.uiid || !keyMatches)
        return TokenCheck::Wrong;
    if (found->used)
        return TokenCheck::Reused;
    found->used = true;
    return TokenCheck::Valid;
}

QString SandboxSessions::tokenCheckName(TokenCheck check) {
    switch (check) {
    case TokenCheck::Valid:
        return QStringLiteral("valid");
    case TokenCheck::NotIssued:
        return QStringLiteral("tokensNotIssued");
    case TokenCheck::Wrong:
        return QStringLiteral("tokensWrong");
    case TokenCheck::Reused:
        return QStringLiteral("tokensReused");
    }
    return {};
}
