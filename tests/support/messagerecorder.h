#pragma once

#include "messages.h"

#include <QList>

// Records every message box the code under test shows and answers it without blocking.
// Install in init(), uninstall in cleanup().
class MessageRecorder {
public:
    QList<Messages::Box> boxes;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

    void install()
    {
        boxes.clear();
        Messages::setHandler([this](const Messages::Box& box) {
            boxes.append(box);
            return answer;
        });
    }
    static void uninstall() { Messages::resetHandler(); }
};
