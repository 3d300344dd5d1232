// The main window's slots that open the other dialogs of the program.
#include "mainwindow.h"

void MainWindow::group() {
    // opened once the dialog lands
    loadGroupFilter(currentGroupFilter());
    loadItemsFromDb();
}

void MainWindow::import() {
    // opened once the dialog lands
}

bool MainWindow::runLoginDialog() {
    // opened once the dialog lands
    return true;
}

void MainWindow::aboutTollimer() {
    // opened once the dialog lands
}

void MainWindow::preferences() {
    // opened once the dialog lands
}

void MainWindow::checkUpdate() {
    // opened once the dialog lands
}
