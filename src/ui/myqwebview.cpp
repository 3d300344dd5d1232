#include "myqwebview.h"

#include "networkmanager.h"

#include <QNetworkAccessManager>

MyQWebView::MyQWebView(QWidget* parent)
    : QWebView(parent) {
    NetworkManager::instance()->configure(page()->networkAccessManager());
}

QWebView* MyQWebView::createWindow(QWebPage::WebWindowType type) {
    Q_UNUSED(type)
    auto* view = new MyQWebView;
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->show();
    return view;
}
