#include "importdialog.h"

#include "itemhelper.h"
#include "messages.h"
#include "ui_importdialog.h"

#include <QDebug>
#include <QMetaObject>

ImportDialog::ImportDialog(QWidget* parent)
    : QDialog(parent)
    , m_ui(new Ui::ImportDialog)
    , m_itemHelper(new ItemHelper(this)) {
    m_ui->setupUi(this);
    m_ui->progressBar->hide();
}

ImportDialog::~ImportDialog() = default;

void ImportDialog::setMainWindow(QObject* window) {
    m_mainWindow = window;
    connect(window, SIGNAL(importFinished()), this, SLOT(finishImport()), Qt::UniqueConnection);
}

void ImportDialog::enableDisableImportButton(int) {
    m_ui->pushButtonImport->setEnabled(m_ui->checkBoxImportWatching->isChecked() ||
                                       m_ui->checkBoxImportBidding->isChecked());
}

void ImportDialog::importMyeBay() {
    m_ui->checkBoxImportWatching->setEnabled(false);
    m_ui->checkBoxImportBidding->setEnabled(false);
    m_ui->pushButtonImport->setEnabled(false);
    m_ui->progressBar->setValue(0);
    m_ui->progressBar->show();
    // A cancelled import let go of the window; a new one on the same dialog takes it up again.
    if (m_mainWindow)
        setMainWindow(m_mainWindow);
    const bool watching = m_ui->checkBoxImportWatching->isChecked();
    const bool bidding = m_ui->checkBoxImportBidding->isChecked();
    m_progressStep = watching && bidding ? 20 : 33;
    m_itemNumbers.clear();
    if (watching) {
        connect(m_itemHelper, SIGNAL(setWatchingCountPerPageFinished()), this, SLOT(setWatchingCountPerPageFinished()),
                Qt::UniqueConnection);
        m_itemHelper->setWatchingCountPerPage();
    } else {
        importBidding();
    }
}

void ImportDialog::advance() {
    m_ui->progressBar->setValue(qMin(m_ui->progressBar->value() + m_progressStep, 100));
}

void ImportDialog::setWatchingCountPerPageFinished() {
    advance();
    connect(m_itemHelper, SIGNAL(getMyeBayWatchingItemNumbersFinished(bool, QStringList)), this,
            SLOT(getMyeBayWatchingItemNumbersFinished(bool, QStringList)), Qt::UniqueConnection);
    m_itemHelper->getMyeBayWatchingItemNumbers();
}

bool ImportDialog::stoppedSignedOut() {
    if (!m_itemHelper->lastListSignedOut())
        return false;
    m_ui->progressBar->hide();
    m_ui->checkBoxImportWatching->setEnabled(true);
    m_ui->checkBoxImportBidding->setEnabled(true);
    m_ui->pushButtonImport->setEnabled(true);
    Messages::warning(this, tr("Not Signed In"),
                      tr("My eBay showed its sign-in page: you are not signed in to eBay UK, so nothing was "
                         "imported. Choose Logout, sign in again and import once more."));
    return true;
}

void ImportDialog::getMyeBayWatchingItemNumbersFinished(bool, const QStringList& watchingItemNumbers) {
    if (stoppedSignedOut())
        return;
    advance();
    m_itemNumbers.append(watchingItemNumbers);
    if (m_ui->checkBoxImportBidding->isChecked())
        importBidding();
    else
        watchCollected();
}

void ImportDialog::importBidding() {
    connect(m_itemHelper, SIGNAL(setBiddingCountPerPageFinished()), this, SLOT(setBiddingCountPerPageFinished()),
            Qt::UniqueConnection);
    m_itemHelper->setBiddingCountPerPage();
}

void ImportDialog::setBiddingCountPerPageFinished() {
    advance();
    connect(m_itemHelper, SIGNAL(getMyeBayBiddingItemNumbersFinished(bool, QStringList)), this,
            SLOT(getMyeBayBiddingItemNumbersFinished(bool, QStringList)), Qt::UniqueConnection);
    m_itemHelper->getMyeBayBiddingItemNumbers();
}

void ImportDialog::getMyeBayBiddingItemNumbersFinished(bool, const QStringList& biddingItemNumbers) {
    if (stoppedSignedOut())
        return;
    advance();
    m_itemNumbers.append(biddingItemNumbers);
    watchCollected();
}

void ImportDialog::watchCollected() {
    if (!m_mainWindow) {
        qCritical() << "ImportDialog: no main window to add the imported items to";
        return;
    }
    const QStringList numbers = m_itemNumbers;
    QMetaObject::invokeMethod(m_mainWindow, "watchItems", Q_ARG(QStringList, numbers), Q_ARG(bool, true));
}

void ImportDialog::reject() {
    // Whatever is still under way must not add items after the user gave up, even while the dialog lingers.
    m_itemHelper->disconnect(this);
    if (m_mainWindow)
        disconnect(m_mainWindow, nullptr, this, nullptr);
    QDialog::reject();
}

void ImportDialog::finishImport() {
    m_ui->progressBar->setValue(100);
    accept();
}
