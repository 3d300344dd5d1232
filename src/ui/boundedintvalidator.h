#pragma once

#include <QIntValidator>

// A whole-number validator that refuses, while the user types, any number above its top, so that a field for
// 0 to 14400 cannot hold 14401 (Qt's own validator lets such a number stand as unfinished input).
// Owned by the line edit's dialog.
class BoundedIntValidator : public QIntValidator {
    Q_OBJECT

public:
    BoundedIntValidator(int bottom, int top, QObject* parent);

    State validate(QString& input, int& position) const override;
};
