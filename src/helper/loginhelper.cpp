#include "loginhelper.h"

#include "hosts.h"
#include "messages.h"
#include "networkmanager.h"
#include "texthelpers.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QRegExp>
#include <QSet>

namespace {
QString signInPath() {
    return QStringLiteral("/ws/eBayISAPI.dll?");
}

// Undoes the character references an attribute value may carry (&amp;, &quot;, &#43;, &#x2F; ...).
QString decodeAttribute(const QString& value) {
    if (!value.contains(QLatin1Char('&')))
        return value;
    QString decoded;
    decoded.reserve(value.size());
    QRegExp reference(QStringLiteral("&(#x[0-9a-f]+|#[0-9]+|amp|quot|apos|lt|gt);"), Qt::CaseInsensitive);
    int position = 0;
    int found = 0;
    while ((found = reference.indexIn(value, position)) >= 0) {
        decoded += value.midRef(position, found - position);
        const QString name = reference.cap(1).toLower();
        bool ok = true;
        uint code = 0;
        if (name.startsWith(QLatin1String("#x")))
            code = name.mid(2).toUInt(&ok, 16);
        else if (name.startsWith(QLatin1Char('#')))
            code = name.mid(1).toUInt(&ok, 10);
        else
            code = name == QLatin1String("amp")    ? '&'
                   : name == QLatin1String("quot") ? '"'
                   : name == QLatin1String("apos") ? '\''
                   : name == QLatin1String("lt")   ? '<'
                                                   : '>';
        if (ok && code > 0 && code <= 0x10FFFF)
            decoded += QString::fromUcs4(&code, 1);
        else
            decoded += reference.cap(0);
        position = found + reference.matchedLength();
    }
    decoded += value.midRef(position);
    return decoded;
}

QString attribute(const QString& tag, const QString& name) {
    QRegExp quoted(QStringLiteral("\\s%1\\s*=\\s*(\"([^\"]*)\"|'([^']*)'|([^\\s>\"']+))").arg(QRegExp::escape(name)),
                   Qt::CaseInsensitive);
    if (quoted.indexIn(tag) < 0)
        return QString();
    for (int capture = 2; capture <= 4; ++capture) {
        if (quoted.pos(capture) >= 0)
            return decodeAttribute(quoted.cap(capture));
    }
    return QString();
}
} // namespace

LoginHelper::LoginHelper(QObject* parent)
    : QObject(parent) {}

void LoginHelper::login(const QString& username, const QString& password, const QString& domain, int siteId) {
    m_username = username;
    m_password = password;
    m_domain = domain;
    m_siteId = siteId;
    // A session left from an earlier sign-in (before a Logout) would answer the check below for whoever it was,
    // and make a captcha look like success: the sign-in starts from a signed-out session of this site.
    QNetworkCookieJar* jar = NetworkManager::instance()->cookieJar();
    for (const QString& url : {Hosts::origin(Hosts::SignIn, domain), Hosts::origin(Hosts::MyEbay, domain)}) {
        for (const QNetworkCookie& cookie : jar->cookiesForUrl(QUrl(url + QStringLiteral("/"))))
            jar->deleteCookie(cookie);
    }
    QNetworkReply* reply =
        NetworkManager::instance()->get(Hosts::origin(Hosts::SignIn, domain) + signInPath() + QStringLiteral("SignIn"));
    m_pageReply = reply;
    connect(reply, &QNetworkReply::finished, this, &LoginHelper::step1Finished);
}

LoginHelper::FormItems LoginHelper::hiddenInputs(const QString& page) {
    // Only the sign-in form's inputs count when the page has one; other forms (a search box) must not leak in.
    QString form = page;
    QRegExp formTag(QStringLiteral("<form\\b.*</form>"), Qt::CaseInsensitive);
    formTag.setMinimal(true);
    int position = 0;
    while ((position = formTag.indexIn(page, position)) >= 0) {
        const QString candidate = formTag.cap(0);
        if (containsRegExp(candidate, QStringLiteral("name\\s*=\\s*[\"']?userid"))) {
            form = candidate;
            break;
        }
        position += qMax(1, formTag.matchedLength());
    }

    FormItems inputs;
    QRegExp inputTag(QStringLiteral("<input\\b[^>]*>"), Qt::CaseInsensitive);
    position = 0;
    while ((position = inputTag.indexIn(form, position)) >= 0) {
        const QString tag = inputTag.cap(0);
        position += inputTag.matchedLength();
        if (attribute(tag, QStringLiteral("type")).compare(QLatin1String("hidden"), Qt::CaseInsensitive) != 0)
            continue;
        const QString name = attribute(tag, QStringLiteral("name"));
        if (!name.isEmpty())
            inputs.append({name, attribute(tag, QStringLiteral("value"))});
    }
    return inputs;
}

LoginHelper::FormItems LoginHelper::formItems(const QString& username, const QString& password,
                                              const QString& signInPage) {
    FormItems items = {
        {QStringLiteral("MfcISAPICommand"), QStringLiteral("SignInWelcome")},
        {QStringLiteral("lse"), QStringLiteral("false")},
        {QStringLiteral("siteid"), QStringLiteral("3")},
        {QStringLiteral("co_partnerId"), QStringLiteral("2")},
        {QStringLiteral("UsingSSL"), QStringLiteral("1")},
        {QStringLiteral("i1"), QStringLiteral("-1")},
        {QStringLiteral("pageType"), QStringLiteral("-1")},
        {QStringLiteral("userid"), username},
        {QStringLiteral("pass"), password},
        {QStringLiteral("keepMeSignInOption"), QStringLiteral("1")},
        {QStringLiteral("keepMeSignInOptio2"), QStringLiteral("1")},
        {QStringLiteral("keepMeSignInOptio3"), QStringLiteral("1")},
        {QStringLiteral("mid"), QString()},
        {QStringLiteral("srt"), QString()},
        {QStringLiteral("runId2"), QString()},
    };
    const int pageSupplied = items.size() - 3;
    QSet<QString> known;
    for (const auto& item : qAsConst(items))
        known.insert(item.first);

    const FormItems hidden = hiddenInputs(signInPage);
    for (const auto& input : hidden) {
        if (!known.contains(input.first)) {
            items.append(input);
            known.insert(input.first);
            continue;
        }
        // The page's values fill mid, srt and runId2; the fixed items keep the values eBay expects from us.
        for (int i = pageSupplied; i < pageSupplied + 3; ++i) {
            if (items[i].first == input.first && items[i].second.isEmpty())
                items[i].second = input.second;
        }
    }
    return items;
}

QByteArray LoginHelper::encodeForm(const FormItems& items) {
    QByteArray body;
    for (const auto& item : items) {
        if (!body.isEmpty())
            body += '&';
        body += encodeForQuery(item.first).toLatin1() + '=' + encodeForQuery(item.second).toLatin1();
    }
    return body;
}

void LoginHelper::step1Finished() {
    QString page;
    if (m_pageReply) {
        m_pageReply->deleteLater();
        page = NetworkManager::replyText(m_pageReply);
    }
    const QString target = Hosts::origin(Hosts::SignIn, m_domain) + signInPath() +
                           QStringLiteral("co_partnerId=2&siteid=%1&UsingSSL=1").arg(m_siteId);
    QNetworkReply* reply =
        NetworkManager::instance()->post(target, encodeForm(formItems(m_username, m_password, page)));
    m_formReply = reply;
    connect(reply, &QNetworkReply::finished, this, &LoginHelper::step2Finished);
    emit loginStep1Finished();
}

void LoginHelper::step2Finished() {
    QNetworkReply* reply = m_formReply;
    if (!reply)
        return;
    reply->deleteLater();
    // Without an answer from eBay the session is not signed in; saying so beats reporting a sign-in that never was.
    if (reply->error() != QNetworkReply::NoError) {
        m_outcome = NetworkFailed;
        Messages::critical(nullptr, tr("Network Error"), tr("Failed to sign in.\n%1").arg(reply->errorString()));
        emit loginStep2Finished(false, m_siteId);
        return;
    }
    if (NetworkManager::replyText(reply).contains(QLatin1String("user id or password is incorrect"),
                                                  Qt::CaseInsensitive)) {
        m_outcome = WrongPassword;
        emit loginStep2Finished(false, m_siteId);
        return;
    }
    // Any other answer (a welcome page, a captcha, a verification step, the form again) proves nothing by itself:
    // eBay's own answer to a signed-in request does.
    m_checkEndsLogin = true;
    m_sitesToCheck = QStringList{m_domain};
    checkNextSite();
}

void LoginHelper::checkSession(const QStringList& domains) {
    m_checkEndsLogin = false;
    m_sitesToCheck = domains;
    m_outcome = SignedIn;
    if (domains.isEmpty())
        finishCheck(true);
    else
        checkNextSite();
}

QString LoginHelper::sessionCheckUrl(const QString& domain) {
    return Hosts::origin(Hosts::MyEbay, domain) + signInPath() + QStringLiteral("MyEbayBeta&CurrentPage=MyeBaySummary");
}

void LoginHelper::checkNextSite() {
    QNetworkReply* reply = NetworkManager::instance()->get(sessionCheckUrl(m_sitesToCheck.takeFirst()));
    m_checkReply = reply;
    connect(reply, &QNetworkReply::finished, this, &LoginHelper::sessionCheckFinished);
}

void LoginHelper::sessionCheckFinished() {
    QNetworkReply* reply = m_checkReply;
    if (!reply)
        return;
    reply->deleteLater();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // A page eBay refused (a redirect to the sign-in, a 403 captcha) is an answer; no answer at all is a failure.
    if (!status.isValid()) {
        m_outcome = NetworkFailed;
        Messages::critical(nullptr, tr("Network Error"), tr("Failed to sign in.\n%1").arg(reply->errorString()));
        finishCheck(false);
        return;
    }
    const bool signedIn = isSignedInPage(status.toInt(), NetworkManager::replyText(reply));
    if (signedIn && !m_sitesToCheck.isEmpty()) {
        checkNextSite();
        return;
    }
    m_outcome = signedIn ? SignedIn : MoreAsked;
    finishCheck(signedIn);
}

void LoginHelper::finishCheck(bool signedIn) {
    m_sitesToCheck.clear();
    if (m_checkEndsLogin)
        emit loginStep2Finished(signedIn, m_siteId);
    else
        emit sessionChecked(signedIn);
}

bool LoginHelper::isSignInForm(const QString& page) {
    return containsRegExp(page, QStringLiteral("<input[^>]*name\\s*=\\s*[\"']?pass[\"'\\s>]"));
}

bool LoginHelper::isSignedInPage(int httpStatus, const QString& page) {
    // eBay sends a signed-out visitor of My eBay to the sign-in (a redirect, which is not followed, or the form in
    // place) and a doubted one to a captcha; only a signed-in session gets the My eBay page itself.
    return httpStatus == 200 && !isSignInForm(page) && !containsRegExp(page, QStringLiteral("captcha")) &&
           containsRegExp(page, QStringLiteral("<title>[^<]*My eBay"));
}
