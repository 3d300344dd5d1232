#pragma once

#include "clientsession.h"
#include "storefixture.h"
#include "tollimerapp.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>
#include <QtTest>

#include <functional>

// Shared by the start-up, sign-in and dialog tests: the program's application object around QtTest, a sandbox
// with a scenario of the test's own, and a way to answer modal dialogs that a slot under test runs with exec().
namespace DialogTesting {

// QTEST_MAIN with the program's application object, so that dialogs find TollimerApp::instance().
#define TOLLIMER_DIALOG_TEST_MAIN(TestClass)                                                                           \
    int main(int argc, char* argv[]) {                                                                                 \
        TollimerApp app(argc, argv);                                                                                   \
        TollimerApp::setApplicationVersion(QStringLiteral("4.2.0.0"));                                                 \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestClass test;                                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }

// The users and auctions the sign-in and import tests need: a UK and a German account, one account for which eBay
// asks for a captcha, and auctions on the watching list.
inline QByteArray scenario() {
    return R"({"clockOffsetSeconds": 0,
      "users": [{"username": "sniper_uk", "password": "secret", "watching": ["110000000002", "110000000001"]},
                {"username": "sniper_de", "password": "geheim"},
                {"username": "robot_check", "password": "secret", "challenge": true}],
      "auctions": [{"itemNumber": "110000000001", "endsInSeconds": 3600},
                   {"itemNumber": "110000000002", "endsInSeconds": 3600},
                   {"itemNumber": "110000000003", "endsInSeconds": 3600},
                   {"itemNumber": "110000000004", "endsInSeconds": 3600}]})";
}

// Starts the sandbox with that scenario and points the program's network at it.
inline bool startSandbox(SandboxProcess& sandbox) {
    if (!sandbox.start({QStringLiteral("--scenario"), SandboxProcess::scenarioPath(QStringLiteral("demo"))}))
        return false;
    int status = 0;
    sandbox.control("POST", QStringLiteral("/_sandbox/scenario"), scenario(), &status);
    qputenv("TOLLIMER_SANDBOX", sandbox.proxyUrl().toUtf8());
    return status == 200;
}

// A fresh store for one test, its setting row loaded into the application object as start-up does; null when the
// store could not be prepared.
inline StoreFixture* openStore() {
    auto* store = new StoreFixture;
    QSqlRecord setting = StoreFixture::record(QStringLiteral("setting"));
    if (!store->open() || !DbHelper::getSetting(setting)) {
        delete store;
        return nullptr;
    }
    TollimerApp::instance()->setSetting(setting);
    return store;
}

// The endpoints of the requests the sandbox has seen, in order.
inline QStringList endpoints(const SandboxProcess& sandbox) {
    QStringList names;
    const QVariantList requests = ClientSession::requests(sandbox);
    for (const QVariant& request : requests)
        names << request.toMap().value(QStringLiteral("endpoint")).toString();
    return names;
}

// Answers every modal dialog of class T that appears while it lives: the handler gets the dialog and must close
// it (or leave it open, to be asked again on the next turn).
template <typename T> class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<void(T*)> handler)
        : m_handler(std::move(handler)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                ++seen;
                m_handler(dialog);
            }
        });
        m_timer.start(20);
    }
    int seen = 0;

private:
    std::function<void(T*)> m_handler;
    QTimer m_timer;
};

// Signs in inside an embedded view showing a sign-in page, as a person would: waits for the whole form, fills it,
// submits it and waits for eBay's answer; true when it is the welcome page.
inline bool signInOnPage(QWebView* view, const QString& user, const QString& password) {
    QWebFrame* frame = view->page()->mainFrame();
    auto waitFor = [](const std::function<bool()>& condition) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 20000)
            QTest::qWait(20);
        return condition();
    };
    if (!waitFor([frame] { return !frame->findFirstElement(QStringLiteral("#sgnBt")).isNull(); }))
        return false;
    frame->evaluateJavaScript(QStringLiteral("document.getElementById('userid').value = '%1';"
                                             "document.getElementById('pass').value = '%2';"
                                             "document.getElementById('SignInForm').submit();")
                                  .arg(user, password));
    // eBay answers with the welcome page, or with the form again and its error line.
    waitFor([frame] {
        return !frame->findFirstElement(QStringLiteral("#errf")).isNull() ||
               frame->toHtml().contains(QStringLiteral("<h1>Welcome</h1>"));
    });
    return frame->toHtml().contains(QStringLiteral("<h1>Welcome</h1>"));
}

} // namespace DialogTesting
