#include "messagerecorder.h"
#include "messages.h"

#include <QtTest>

// The message seam: every kind of box reaches the handler with its icon, title, text and buttons, and the
// handler's answer is what the caller sees.
class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { MessageRecorder::uninstall(); }

    void boxesReachHandler() {
        MessageRecorder recorder;
        recorder.answer = QMessageBox::Cancel;
        recorder.install();
        QCOMPARE(Messages::critical(nullptr, "Network Error", "Failed to x.\nboom"), QMessageBox::Cancel);
        QCOMPARE(Messages::warning(nullptr, "Network Error", "Failed to x.\nboom"), QMessageBox::Cancel);
        QCOMPARE(Messages::information(nullptr, "Network Error", "Failed to x.\nboom"), QMessageBox::Cancel);
        QCOMPARE(Messages::question(nullptr, "Network Error", "Failed to x.\nboom"), QMessageBox::Cancel);
        const QMessageBox::Icon icons[] = {QMessageBox::Critical, QMessageBox::Warning, QMessageBox::Information,
                                           QMessageBox::Question};
        QCOMPARE(recorder.boxes.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(recorder.boxes[i].icon, icons[i]);
            QCOMPARE(recorder.boxes[i].title, QString("Network Error"));
            QCOMPARE(recorder.boxes[i].text, QString("Failed to x.\nboom"));
            QCOMPARE(recorder.boxes[i].buttons, i == 3 ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
        }
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
