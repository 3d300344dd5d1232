#include "snipedialog.h"
#include "ui_snipedialog.h"

#include "clockmanager.h"
#include "groupcombobox.h"
#include "hosts.h"
#include "leadtimechoice.h"
#include "messages.h"
#include "texthelpers.h"
#include "tollimerapp.h"
#include "watchlisttexts.h"

#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {
QSqlRecord appUser() {
    TollimerApp* app = TollimerApp::instance();
    return app ? app->user() : QSqlRecord();
}

DecimalMark appSiteMark() {
    TollimerApp* app = TollimerApp::instance();
    return decimalMarkOfSite(app ? app->country().value(QStringLiteral("site_id")).toInt() : 0);
}
} // namespace

SnipeDialog::SnipeDialog(const QSqlRecord& item, QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::SnipeDialog)
    , m_item(item)
    , m_mark(appSiteMark()) {
    m_ui->setupUi(this);
    // Digits and group marks, then at most two decimals after the site's decimal mark; whether the groups fit is
    // checked when the bid is read.
    m_ui->lineEditUserBidAmount->setValidator(new QRegularExpressionValidator(
        QRegularExpression(m_mark == DecimalMark::Comma ? QStringLiteral("[0-9.']*(,[0-9]{0,2})?")
                                                        : QStringLiteral("[0-9,']*(\\.[0-9]{0,2})?")),
        this));
    m_leadTime =
        new LeadTimeChoice(m_ui->radioButtonAutoDetect, m_ui->radioButtonUserSpecified, m_ui->lineEditLeadTime, this);

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
            .arg(currency, amountForEditing(m_item.value(QStringLiteral("next_bid")).toDouble(), m_mark)));

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
    m_ui->lineEditUserBidAmount->setText(amountForEditing(bid, m_mark));
    m_leadTime->set(automatic, QString::number(lead));
    m_ui->comboBoxGroup->setCurrentIndex(
        qMax(0, m_ui->comboBoxGroup->findData(m_item.value(QStringLiteral("group_id")).toInt())));
}

double SnipeDialog::bid() const {
    return readAmount(m_ui->lineEditUserBidAmount->text(), m_mark);
}

int SnipeDialog::leadTime() const {
    return m_leadTime->automatic() ? 0 : m_leadTime->seconds();
}

int SnipeDialog::groupId() const {
    return m_ui->comboBoxGroup->currentData().toInt();
}

void SnipeDialog::enableDisableLeadTimeEdit() {
    m_leadTime->enableField();
}

void SnipeDialog::acceptReceived() {
    const double nextBid = m_item.value(QStringLiteral("next_bid")).toDouble();
    // An empty or unreadable field is no bid at all, whatever the minimum.
    const double amount = bid();
    if (nextBid > amount || amount <= 0) {
        Messages::critical(
            this, tr("Bid Too Low"),
            tr("Pleae enter a bid that is %1 or more.").arg(QString::number(qMax(nextBid, 0.01), 'g', 6)));
        m_ui->lineEditUserBidAmount->setFocus();
        return;
    }
    if (!m_leadTime->acceptable()) {
        Messages::critical(this, tr("Incorrect Lead Time"),
                           tr("Pleae enter a lead time that is between 1 and 60 seconds."));
        m_ui->lineEditLeadTime->setFocus();
        return;
    }
    accept();
}
