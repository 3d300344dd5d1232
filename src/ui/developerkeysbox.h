#pragma once

#include <QGroupBox>

class QLabel;
class QLineEdit;

// The "eBay developer keys" section of the preferences: the client id and secret of the user's eBay application
// keyset, with which item data comes from the Browse API, and how many of eBay's daily calls are left. Saved when
// its dialog is accepted, discarded when it is cancelled. A child of the preferences dialog.
class DeveloperKeysBox : public QGroupBox {
    Q_OBJECT

public:
    explicit DeveloperKeysBox(QWidget* parent = nullptr);

public slots:
    void save();

private:
    void showCallsLeft();

    QLineEdit* m_clientId = nullptr;
    QLineEdit* m_clientSecret = nullptr;
    QLabel* m_callsLeft = nullptr;
};
