#pragma once

#include "sandboxscenario.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

// Who is signed in, and the one-time values eBay hands out: the sign-in page's hidden values and the bid tokens.
// Owned by SandboxSite. Sessions live until a different scenario is loaded.
class SandboxSessions {
public:
    static const QString preSessionCookie;

    // The name of the cookie that carries a session ("ebay_sid" unless the sandbox was told another), so that
    // tests can show a client does not depend on it.
    const QString& sessionCookie() const { return m_sessionCookie; }
    void setSessionCookie(const QString& name) { m_sessionCookie = name; }

    // Replaces the users; sessions and tokens of the old ones are dropped.
    void setUsers(const QList<SandboxScenario::User>& users);
    const QList<SandboxScenario::User>& users() const { return m_users; }
    const SandboxScenario::User* user(const QString& username) const;

    struct SignInValues {
        QString mid;
        QString srt;
        QString runId2;
        QString preSession;
    };
    SignInValues issueSignInValues();
    bool isIssuedSrt(const QString& srt) const { return m_issuedSrt.contains(srt); }

    // Returns the user's canonical name when the password matches, else an empty string.
    QString checkPassword(const QString& userid, const QString& password) const;
    QString openSession(const QString& username);
    // The user of a session cookie value, or empty when the session is unknown.
    QString userOfSession(const QString& session) const { return m_sessions.value(session); }

    struct Tokens {
        QString stok;
        QString key;
        QString uiid;
    };
    enum class TokenCheck { Valid, NotIssued, Wrong, Reused };
    Tokens issueTokens(const QString& session, const QString& item, const QString& flow);
    // The HTML flow has no key; its key argument is ignored. A valid set is used up.
    TokenCheck checkTokens(const QString& session, const QString& item, const QString& flow, const Tokens& offered);
    static QString tokenCheckName(TokenCheck check);
    void clearTokens() { m_tokens.clear(); }

    // Random text of base64 characters that always contains "+", "/" and "=", so that a client which forgets to
    // encode it cannot get it through a query string intact.
    static QString randomToken(int bytes = 18);

private:
    struct IssuedTokens {
        Tokens tokens;
        bool used = false;
    };

    QString m_sessionCookie = QStringLiteral("ebay_sid");
    QList<SandboxScenario::User> m_users;
    QSet<QString> m_issuedSrt;
    QHash<QString, QString> m_sessions;    // cookie value -> username
    QHash<QString, IssuedTokens> m_tokens; // session|item|flow -> tokens
};
