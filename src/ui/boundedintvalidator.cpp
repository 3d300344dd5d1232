#include "boundedintvalidator.h"

BoundedIntValidator::BoundedIntValidator(int bottom, int top, QObject* parent)
    : QIntValidator(bottom, top, parent) {}

QValidator::State BoundedIntValidator::validate(QString& input, int& position) const {
    const State state = QIntValidator::validate(input, position);
    bool number = false;
    const qlonglong value = input.trimmed().toLongLong(&number);
    if (state == Intermediate && number && value > top())
        return Invalid;
    return state;
}
