#include "snipedialog.h"
#include "ui_snipedialog.h"

#include "clockmanager.h"
#include "groupcombobox.h"
#include "hosts.h"
#include "messages.h"
#include "texthelpers.h"
#include "tollimerapp.h"
#include "watchlisttexts.h"

#include <QDoubleValidator>
#include <QIntValidator>
#include <QPushButton>

namespace {
QSqlRecord appUser() {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->user() : QSqlRecord();
}
} // namespace

SnipeDialog::SnipeDialog(const QSqlRecord& item, QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::SnipeDialog)
    , m_item(item) {
    m_ui->setupUi(this);
    auto* bidValidator = new QDoubleValidator(0.01, 1e12, 2, this);
    bidValidator->setNotation(QDoubleValidator::StandardNotation);
    // Amounts are written with a point whatever the user's locale, as eBay takes them.
    bidValidator->setLocale(QLocale::c());
    m_ui->lineEditUserBidAmount->setValidator(bidValidator);
    m_ui->lineEditLeadTime->setValidator(new QIntValidator(1, 60, this));

    connect(m_ui->buttonBox, SIGNAL(accepted()), this, SLOT(acceptReceived()));
    connect(m_ui->buttonBox, SIGNAL(rejected()), this, SLOT(reject()));
    connect(m_ui->radioButtonAutoDetect, SIGNAL(toggled(bool)), this, SLOT(enableDisableLeadTimeEdit()));
    connect(m_ui->radioButtonUserSpecified, SIGNAL(toggled(bool)), this, SLOT(enableDisableLeadTimeEdit()));

    const QString itemNumber = m_item.value(QStringLiteral("item_number")).toString();
    m_ui->labelItemImage->load(Hosts::origin(Hosts::Picture) + QStringLiteral("/pict/") + encodeForQuery(itemNumber) +
                               QStringLiteral(".jpg"));
    fillItemFacts();
    fillInitialValues();
}

SnipeDialog::~SnipeDialog() = default;

void SnipeDialog::fillItemFacts() {
    const QString currency = m_item.value(QStringLiteral("currency")).toString();
    m_ui->labelItemName->setText(QStringLiteral("<font size='+1'>") +
                                 m_item.value(QStringLiteral("name")).toString().toHtmlEscaped() +
                                 QStringLiteral("</font>"));
    m_ui->labelItemNumber->setText(m_item.value(QStringLiteral("item_number")).toString());
    m_ui->labelCurrentBid->setText(
        WatchListTexts::amountText(currency, m_item.value(QStringLiteral("current_bid")).toDouble()));
    m_ui->labelMinimumBid->setText(
        WatchListTexts::amountText(currency, m_item.value(QStringLiteral("next_bid")).toDouble()));
    const QVariant shipping = m_item.value(QStringLiteral("shipping"));
    m_ui->labelShipping->setText(
        WatchListTexts::shippingText(currency, shipping.isNull() ? -1.0 : shipping.toDouble()));
    const int bids = m_item.value(QStringLiteral("bid_count")).toInt();
    m_ui->labelBids->setText(bids < 0 ? tr("Unknown") : QString::number(bids));
    m_ui->labelTimeLeft->setText(
        WatchListTexts::timeLeftHtml(ClockManager::parseEbayTime(m_item.value(QStringLiteral("end_time")).toString()),
                                     ClockManager::instance()->currentDateTime()));
    m_ui->labelBidHint->setText(
        tr("%1 (%2 or more)")
            .arg(currency, QString::number(m_item.value(QStringLiteral("next_bid")).toDouble(), 'f', 2)));

    m_ui->comboBoxGroup->addItem(tr("- None -"), 0);
    for (const auto& group : GroupComboBox::readGroups(appUser().value(QStringLiteral("id")).toInt()))
        m_ui->comboBoxGroup->addItem(group.first, group.second);
}

void SnipeDialog::fillInitialValues() {
    const QSqlRecord user = appUser();
    const double userBid = m_item.value(QStringLiteral("user_bid")).toDouble();
    double bid = 0;
    int lead = user.value(QStringLiteral("default_lead_time")).toInt();
    bool automatic = user.value(QStringLiteral("auto_detect_lead_time")).toBool();
    if (userBid <= 0) {
        bid = m_item.value(QStringLiteral("next_bid")).toDouble();
    } else {
        bid = userBid;
        const int stored = m_item.value(QStringLiteral("lead_time")).toInt();
        automatic = stored == 0;
        if (!automatic)
            lead = stored;
    }
    m_ui->lineEditUserBidAmount->setText(QString::number(bid, 'f', 2));
    m_ui->radioButtonAutoDetect->setChecked(automatic);
    m_ui->radioButtonUserSpecified->setChecked(!automatic);
    m_ui->lineEditLeadTime->setText(QString::number(lead));
    m_ui->lineEditLeadTime->setEnabled(!automatic);
    m_ui->comboBoxGroup->setCurrentIndex(
        qMax(0, m_ui->comboBoxGroup->findData(m_item.value(QStringLiteral("group_id")).toInt())));
}

double SnipeDialog::bid() const {
    return m_ui->lineEditUserBidAmount->text().toDouble();
}

int SnipeDialog::leadTime() const {
    return m_ui->radioButtonAutoDetect->isChecked() ? 0 : m_ui->lineEditLeadTime->text().toInt();
}

int SnipeDialog::groupId() const {
    return m_ui->comboBoxGroup->currentData().toInt();
}

void SnipeDialog::enableDisableLeadTimeEdit() {
    const bool userSpecified = m_ui->radioButtonUserSpecified->isChecked();
    m_ui->lineEditLeadTime->setEnabled(userSpecified);
    if (userSpecified)
        m_ui->lineEditLeadTime->setFocus();
}

void SnipeDialog::acceptReceived() {
    const double nextBid = m_item.value(QStringLiteral("next_bid")).toDouble();
    // An empty or unreadable field is no bid at all, whatever the minimum.
    bool readable = false;
    const double amount = m_ui->lineEditUserBidAmount->text().toDouble(&readable);
    if (nextBid > amount || !readable || amount <= 0) {
        Messages::critical(
            this, tr("Bid Too Low"),
            tr("Pleae enter a bid that is %1 or more.").arg(QString::number(qMax(nextBid, 0.01), 'g', 6)));
        m_ui->lineEditUserBidAmount->setFocus();
        return;
    }
    const int lead = leadTime();
    if (m_ui->radioButtonUserSpecified->isChecked() && (lead < 1 || lead > 60)) {
        Messages::critical(this, tr("Incorrect Lead Time"),
                           tr("Pleae enter a lead time that is between 1 and 60 seconds."));
        m_ui->lineEditLeadTime->setFocus();
        return;
    }
    accept();
}
