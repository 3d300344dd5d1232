#pragma once

#include <QWebView>

// The embedded browser of the main window. Its page takes the program's network session (proxy choice and the
// shared sign-in cookies); a page's request for a new window opens another such view as a window of its own,
// which deletes itself when closed, goes with the view that opened it and never keeps the program running.
class MyQWebView : public QWebView {
    Q_OBJECT

public:
    explicit MyQWebView(QWidget* parent = nullptr);

protected:
    QWebView* createWindow(QWebPage::WebWindowType type) override;
};
