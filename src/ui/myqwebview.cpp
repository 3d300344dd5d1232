#include "myqwebview.h"

#include "networkmanager.h"

#include <QNetworkAccessManager>

MyQWebView::MyQWebView(QWidget* parent)
    : QWebView(parent) {
    NetworkManager::instance()->configure(page()->networkAccessManager());
}

QWebView* MyQWebView::createWindow(QWebPage::WebWindowType type) {
    Q_UNUSED(type)
    // A window of its own, but owned by the view that opened it, and not one that keeps the program running:
    // Exit must end the program while pop-ups are open, and they go with the browser.
    auto* view = new MyQWebView(this);
    view->setWindowFlags(Qt::Window);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setAttribute(Qt::WA_QuitOnClose, false);
    view->show();
    return view;
}
