// The main window's slots that open the other dialogs of the program.
#include "mainwindow.h"

#include "aboutdialog.h"
#include "groupdialog.h"
#include "importdialog.h"
#include "logindialog.h"
#include "preferencesdialog.h"
#include "versionchecker.h"

void MainWindow::group() {
    GroupDialog dialog(this);
    dialog.exec();
    // Whatever happened in the dialog, the chosen group stays selected and the rows show the groups as stored.
    loadGroupFilter(currentGroupFilter());
    loadItemsFromDb();
}

void MainWindow::import() {
    ImportDialog dialog(this);
    dialog.setMainWindow(this);
    dialog.exec();
}

bool MainWindow::runLoginDialog() {
    // The dialog preselects the automatic sign-in user but waits for the user.
    LoginDialog dialog;
    dialog.setAutoLogin(false);
    return dialog.exec() == QDialog::Accepted;
}

void MainWindow::aboutTollimer() {
    AboutDialog dialog;
    dialog.exec();
}

void MainWindow::preferences() {
    // The dialog stores the preferences and puts them into the application's user record.
    PreferencesDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        applyPreferences();
}

void MainWindow::checkUpdate() {
    VersionChecker::checkForUpdate(this);
}
