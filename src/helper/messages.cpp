#include "messages.h"

#include <QScopedPointer>

namespace {
Messages::Handler& currentHandler() {
    static Messages::Handler handler;
    return handler;
}
} // namespace

QMessageBox* Messages::build(const Box& box) {
    auto* messageBox = new QMessageBox(box.icon, box.title, box.text, box.buttons, box.parent);
    messageBox->setTextFormat(Qt::PlainText);
    return messageBox;
}

QMessageBox::StandardButton Messages::show(const Box& box) {
    if (currentHandler())
        return currentHandler()(box);
    QScopedPointer<QMessageBox> messageBox(build(box));
    return static_cast<QMessageBox::StandardButton>(messageBox->exec());
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
