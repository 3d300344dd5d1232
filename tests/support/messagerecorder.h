#pragma once

#include "messages.h"

#include <QList>

// Records every message box the code under test shows and answers it without blocking.
// Install in init(), uninstall in cleanup().
class MessageRecorder {
public:
    QList<Messages::Box> boxes;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    void install() {
        boxes.clear();
        Messages::setHandler([this](const Messages::Box& box) {
            boxes.append(box);
            return answer;
        });
    }
    // Between cases a box is answered with Cancel at once and said in the log, never shown: a late box (one held
    // back past its case's end) would otherwise stand modal, unseen offscreen, until the suite's time-out.
    static void uninstall() {
        Messages::setHandler([](const Messages::Box& box) {
            qWarning("message box outside a test case: %s: %s", qPrintable(box.title), qPrintable(box.text));
            return QMessageBox::Cancel;
        });
    }
};
