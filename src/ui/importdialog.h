#pragma once

#include <QDialog>
#include <QPointer>
#include <QScopedPointer>
#include <QStringList>

class ItemHelper;

namespace Ui {
class ImportDialog;
}

// Brings the auctions the user watches or bids on in My eBay into the watch list: runs the My eBay requests one
// after the other, hands the numbers to the main window's quiet watchItems and closes when the window reports
// them added. Opened modally by the main window's Import action, which attaches itself with setMainWindow.
class ImportDialog : public QDialog {
    Q_OBJECT

public:
    explicit ImportDialog(QWidget* parent = nullptr);
    ~ImportDialog() override;

    // The window that adds the numbers: it has the slot watchItems(QStringList, bool) and the signal
    // importFinished().
    void setMainWindow(QObject* window);

public slots:
    void reject() override;

private slots:
    void importMyeBay();
    void enableDisableImportButton(int state);
    void setWatchingCountPerPageFinished();
    void getMyeBayWatchingItemNumbersFinished(bool ok, const QStringList& watchingItemNumbers);
    void setBiddingCountPerPageFinished();
    void getMyeBayBiddingItemNumbersFinished(bool ok, const QStringList& biddingItemNumbers);
    void finishImport();

private:
    void advance();
    // Whether a list came back as the sign-in page; if so, says so and makes the dialog ready to try again.
    bool stoppedSignedOut();
    void importBidding();
    void watchCollected();

    QScopedPointer<Ui::ImportDialog> m_ui;
    QPointer<QObject> m_mainWindow;
    ItemHelper* m_itemHelper = nullptr;
    QStringList m_itemNumbers;
    int m_progressStep = 100;
};
