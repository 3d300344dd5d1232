#pragma once

// The dialog tests' helpers live with the window test base; this name, and the web and JSON classes it brought
// along, stay for tests written against it.
#include "guitestbase.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

#define TOLLIMER_DIALOG_TEST_MAIN(TestClass) TOLLIMER_GUITEST_MAIN(TestClass)
