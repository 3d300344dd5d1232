#include "guitestbase.h"

#include "clockmanager.h"
#include "dbhelper.h"
#include "failurebox.h"
#include "itemhelper.h"
#include "networkmanager.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QItemSelectionModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlQuery>
#include <QTableView>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>
#include <QtTest>

QJsonObject GuiTestBase::auction(const QString& itemNumber, int endsInSeconds, const QVariantMap& extra) {
    QJsonObject result{{"itemNumber", itemNumber}, {"title", "Lot " + itemNumber}, {"endsInSeconds", endsInSeconds},
                       {"startPrice", 5.0},        {"shippingText", "£3.50"},      {"shippingMarkup", 1}};
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        result[it.key()] = QJsonValue::fromVariant(it.value());
    return result;
}

QJsonObject GuiTestBase::scenarioOf(const QList<QJsonObject>& auctions) {
    QJsonArray list;
    for (const QJsonObject& entry : auctions)
        list.append(entry);
    return {{"users", QJsonArray{QJsonObject{{"username", "sniper_uk"}, {"password", "secret"}}}}, {"auctions", list}};
}

void GuiTestBase::initTestCase() {
    m_store = std::make_unique<StoreFixture>();
    QVERIFY(m_store->open());
    QVERIFY2(m_sandbox.start({QStringLiteral("--scenario"), SandboxProcess::scenarioPath(QStringLiteral("tests"))}),
             m_sandbox.output().constData());
    qputenv("TOLLIMER_SANDBOX", m_sandbox.proxyUrl().toUtf8());
    NetworkManager::instance();
    ClockManager::instance()->syncTimeAndWait();
    QVERIFY(ClockManager::instance()->isTicking());

    m_userId = StoreFixture::addUser(QStringLiteral("sniper_uk"));
    QVERIFY(m_userId > 0);
    QSqlRecord user = StoreFixture::record(QStringLiteral("users"), {{"id", m_userId}});
    QVERIFY(DbHelper::getUser(user));
    QSqlRecord country = StoreFixture::record(QStringLiteral("countries"), {{"id", 19}});
    QVERIFY(DbHelper::getCountry(country));
    TollimerApp::instance()->setUser(user);
    TollimerApp::instance()->setCountry(country);
}

void GuiTestBase::cleanupTestCase() {
    m_store.reset();
}

void GuiTestBase::init() {
    QVERIFY(ClientSession::loadScenario(m_sandbox, QJsonDocument(scenario()).toJson()));
    QVERIFY(ClientSession::signInUser());
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("DELETE FROM items")) && query.exec(QStringLiteral("DELETE FROM groups")));
    ClientSession::beginCase(m_sandbox, m_boxes);
    if (wantsWindow())
        openWindow();
}

void GuiTestBase::cleanup() {
    delete m_window;
    m_window = nullptr;
    FailureBox::instance()->flush();
    ClientSession::endCase(m_sandbox);
}

void GuiTestBase::openWindow() {
    delete m_window;
    m_window = new MainWindow;
    m_window->show();
}

bool GuiTestBase::triggerAction(const QString& name) {
    auto* action = find<QAction>(name);
    if (!action)
        return false;
    action->trigger();
    return true;
}

bool GuiTestBase::triggerDialogAction(const QString& name) {
    DialogTesting::ModalAnswerer<QDialog> closer([](QDialog* dialog) { dialog->reject(); });
    return triggerAction(name);
}

QTableView* GuiTestBase::table() const {
    return find<QTableView>(QStringLiteral("watchList"));
}

int GuiTestBase::rowOf(const QString& itemNumber) const {
    return m_window ? m_window->findRow(itemNumber) : -1;
}

QString GuiTestBase::cellText(const QString& itemNumber, int column) const {
    const int row = rowOf(itemNumber);
    return row < 0 ? QStringLiteral("<no row>") : table()->model()->index(row, column).data().toString();
}

QStringList GuiTestBase::columnTexts(int column) const {
    QStringList texts;
    for (int row = 0; row < table()->model()->rowCount(); ++row)
        texts << table()->model()->index(row, column).data().toString();
    return texts;
}

void GuiTestBase::selectItems(const QStringList& itemNumbers) {
    QTableView* view = table();
    view->clearSelection();
    for (const QString& number : itemNumbers)
        view->selectionModel()->select(view->model()->index(rowOf(number), 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

bool GuiTestBase::waitForRequests(int timeoutMs) {
    QTest::qWait(20); // requests started by queued calls exist only after the first turn of the event loop
    return QTest::qWaitFor([this] { return m_window->findChildren<ItemHelper*>().isEmpty(); }, timeoutMs);
}

QSqlRecord GuiTestBase::storedItem(const QString& itemNumber) const {
    QSqlRecord item =
        StoreFixture::record(QStringLiteral("items"), {{"item_number", itemNumber}, {"user_id", m_userId}});
    return DbHelper::getItem(item) ? item : QSqlRecord();
}

QList<int> GuiTestBase::storeItems(const QStringList& itemNumbers, const QString& endTime) {
    QList<int> ids;
    const QString end = endTime.isEmpty()
                            ? ClockManager::storeText(ClockManager::instance()->currentDateTime().addSecs(3600))
                            : endTime;
    for (const QString& number : itemNumbers)
        ids << StoreFixture::addItem(number, m_userId, QStringLiteral("NONE"), end);
    return ids;
}

int GuiTestBase::requestCount(const QString& endpoint) const {
    return ClientSession::requestsTo(m_sandbox, endpoint).size();
}

namespace DialogTesting {

QByteArray scenario() {
    return R"({"clockOffsetSeconds": 0,
      "users": [{"username": "sniper_uk", "password": "secret", "watching": ["110000000002", "110000000001"]},
                {"username": "sniper_de", "password": "geheim"},
                {"username": "robot_check", "password": "secret", "challenge": true}],
      "auctions": [{"itemNumber": "110000000001", "endsInSeconds": 3600},
                   {"itemNumber": "110000000002", "endsInSeconds": 3600},
                   {"itemNumber": "110000000003", "endsInSeconds": 3600},
                   {"itemNumber": "110000000004", "endsInSeconds": 3600}]})";
}

bool startSandbox(SandboxProcess& sandbox, const QStringList& options) {
    if (!sandbox.start(QStringList{QStringLiteral("--scenario"), SandboxProcess::scenarioPath(QStringLiteral("demo"))} +
                       options))
        return false;
    qputenv("TOLLIMER_SANDBOX", sandbox.proxyUrl().toUtf8());
    return ClientSession::loadScenario(sandbox, scenario());
}

StoreFixture* openStore() {
    auto store = std::make_unique<StoreFixture>();
    QSqlRecord setting = StoreFixture::record(QStringLiteral("setting"));
    if (!store->open() || !DbHelper::getSetting(setting))
        return nullptr;
    TollimerApp::instance()->setSetting(setting);
    return store.release();
}

QStringList endpoints(const SandboxProcess& sandbox) {
    QStringList names;
    for (const QVariant& request : ClientSession::requests(sandbox))
        names << request.toMap().value(QStringLiteral("endpoint")).toString();
    return names;
}

bool signInOnPage(QWebView* view, const QString& user, const QString& password) {
    QWebFrame* frame = view->page()->mainFrame();
    const auto signedIn = [frame] { return frame->toHtml().contains(QStringLiteral("<h1>Welcome</h1>")); };
    if (!QTest::qWaitFor([frame] { return !frame->findFirstElement(QStringLiteral("#sgnBt")).isNull(); }, 20000))
        return false;
    frame->evaluateJavaScript(QStringLiteral("document.getElementById('userid').value = '%1';"
                                             "document.getElementById('pass').value = '%2';"
                                             "document.getElementById('SignInForm').submit();")
                                  .arg(user, password));
    // eBay answers with the welcome page, or with the form again and its error line.
    (void)QTest::qWaitFor([&] { return !frame->findFirstElement(QStringLiteral("#errf")).isNull() || signedIn(); },
                          20000);
    return signedIn();
}

} // namespace DialogTesting
