#pragma once

#include <QString>

// Where the sniping engine and the watch-list refresh show their tray messages. The main window is the one
// outlet of the running program; it shows nothing where the platform has no tray. Tests record the messages.
class TrayMessenger {
public:
    enum Icon { Information, Warning, Critical };

    virtual ~TrayMessenger() = default;
    virtual void showTrayMessage(const QString& title, const QString& text, Icon icon) = 0;
};
