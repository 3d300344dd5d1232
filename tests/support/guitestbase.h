#pragma once

#include "clientsession.h"
#include "mainwindow.h"
#include "messagerecorder.h"
#include "sandboxprocess.h"
#include "storefixture.h"
#include "tollimerapp.h"

#include <QApplication>
#include <QJsonObject>
#include <QObject>
#include <QSqlRecord>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <memory>

class QTableView;
class QWebView;

// For the tests of single dialogs (sign-in, wizard, start-up, import, preferences, updates), which need no
// window: a sandbox with their own scenario and a fresh store per test.
namespace DialogTesting {
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

// The users and auctions the sign-in and import tests need: a UK and a German account, one account for which eBay
// asks for a captcha, and auctions on the watching list.
QByteArray scenario();
// Starts the sandbox with that scenario (and any further options) and points the program's network at it.
bool startSandbox(SandboxProcess& sandbox, const QStringList& options = {});
// A fresh store for one test, its setting row loaded into the application object as start-up does; null when the
// store could not be prepared.
StoreFixture* openStore();
// The endpoints of the requests the sandbox has seen, in order.
QStringList endpoints(const SandboxProcess& sandbox);
// Signs in inside an embedded view showing a sign-in page, as a person would: waits for the whole form, fills it,
// submits it and waits for eBay's answer; true when it is the welcome page.
bool signInOnPage(QWebView* view, const QString& user, const QString& password);
} // namespace DialogTesting

// What the window tests share: a sandbox and a private store for the whole run, the scenario user signed in
// and set on the application object, the clock synchronised with the sandbox, and a fresh main window (with
// its boxes recorded) for every test function. Derived tests name their scenario and use the helpers.
class GuiTestBase : public QObject {
    Q_OBJECT

protected:
    // The scenario the sandbox runs for every test function (reloaded before each one).
    virtual QJsonObject scenario() const = 0;
    // Whether init() opens a main window; tests of single dialogs need none.
    virtual bool wantsWindow() const { return true; }

    // An auction of the scenario format, ending in the given seconds.
    static QJsonObject auction(const QString& itemNumber, int endsInSeconds = 3600, const QVariantMap& extra = {});
    static QJsonObject scenarioOf(const QList<QJsonObject>& auctions);

    void openWindow();
    bool triggerAction(const QString& name);
    // Triggers an action that runs a modal dialog and leaves the dialog with Cancel as soon as it shows.
    bool triggerDialogAction(const QString& name);
    template <class T> T* find(const QString& name) const { return m_window ? m_window->findChild<T*>(name) : nullptr; }

    QTableView* table() const;
    int rowOf(const QString& itemNumber) const;
    // A cell's display text (rich text where the cell paints it), "<no row>" when the item is not shown.
    QString cellText(const QString& itemNumber, int column) const;
    // The texts of a column in the table's row order.
    QStringList columnTexts(int column) const;
    void selectItems(const QStringList& itemNumbers);
    // Waits until no request object of the window is left (every answer applied).
    bool waitForRequests(int timeoutMs = 20000);
    QSqlRecord storedItem(const QString& itemNumber) const;
    // Adds items straight to the store, as the watch action would have; returns their ids.
    QList<int> storeItems(const QStringList& itemNumbers, const QString& endTime = QString());
    // How many requests of an endpoint the sandbox saw since the test began.
    int requestCount(const QString& endpoint) const;

    SandboxProcess m_sandbox;
    MessageRecorder m_boxes;
    MainWindow* m_window = nullptr;
    int m_userId = 0;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

private:
    std::unique_ptr<StoreFixture> m_store;
};

// A test main whose application object is the program's own, which holds the signed-in user and settings.
#define TOLLIMER_GUITEST_MAIN(TestClass)                                                                               \
    int main(int argc, char* argv[]) {                                                                                 \
        TollimerApp app(argc, argv);                                                                                   \
        TollimerApp::setApplicationVersion(QStringLiteral("4.2.0.0"));                                                 \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestClass test;                                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
