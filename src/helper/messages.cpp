#include "messages.h"

namespace {
Messages::Handler& currentHandler() {
    static Messages::Handler handler;
    return handler;
}
} // namespace

QMessageBox::StandardButton Messages::show(const Box& box) {
    if (currentHandler())
        return currentHandler()(box);
    QMessageBox messageBox(box.icon, box.title, box.text, box.buttons, box.parent);
    return static_cast<QMessageBox::StandardButton>(messageBox.exec());
}

QMessageBox::StandardButton Messages::critical(QWidget* parent, const QString& title, const QString& text,
                                               QMessageBox::StandardButtons buttons) {
    return show({QMessageBox::Critical, parent, title, text, buttons});
}

QMessageBox::StandardButton Messages::warning(QWidget* parent, const QString& title, const QString& text,
                                              QMessageBox::StandardButtons buttons) {
    return show({QMessageBox::Warning, parent, title, text, buttons});
}

QMessageBox::StandardButton Messages::information(QWidget* parent, const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons) {
    return show({QMessageBox::Information, parent, title, text, buttons});
}

QMessageBox::StandardButton Messages::question(QWidget* parent, const QString& title, const QString& text,
                                               QMessageBox::StandardButtons buttons) {
    return show({QMessageBox::Question, parent, title, text, buttons});
}

void Messages::setHandler(Handler handler) {
    currentHandler() = std::move(handler);
}

void Messages::resetHandler() {
    currentHandler() = nullptr;
}
