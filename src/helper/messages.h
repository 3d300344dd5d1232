#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every modal message box of the program goes through here. The program shows a real QMessageBox;
// tests install a handler that records the box and gives the answer instead of blocking.
// Every box shows its text as plain text: many carry eBay's words or a server's error string, which must never
// turn into markup with live links, and none of the program's own texts needs markup.
class Messages {
public:
    struct Box {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget* parent = nullptr;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    };
    // The real box for a Box, not yet shown.
    static QMessageBox* build(const Box& box);
    using Handler = std::function<QMessageBox::StandardButton(const Box&)>;

    static QMessageBox::StandardButton critical(QWidget* parent, const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static QMessageBox::StandardButton information(QWidget* parent, const QString& title, const QString& text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok);
    static QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok |
                                                                                       QMessageBox::Cancel);

    // Replaces the real boxes for the rest of the process (tests); an empty handler restores them.
    static void setHandler(Handler handler);
    static void resetHandler();

private:
    static QMessageBox::StandardButton show(const Box& box);
};
