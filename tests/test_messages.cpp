#include "messagerecorder.h"
#include "messages.h"

#include <QtTest>

// The message seam: every box reaches the handler with its kind, title, text and buttons,
// and the handler's answer is what the caller sees.
class TestMessages : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { MessageRecorder::uninstall(); }

    void boxesReachHandler_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::newRow("critical") << 0 << int(QMessageBox::Critical) << int(QMessageBox::Ok);
        QTest::newRow("warning") << 1 << int(QMessageBox::Warning) << int(QMessageBox::Ok);
        QTest::newRow("information") << 2 << int(QMessageBox::Information) << int(QMessageBox::Ok);
        QTest::newRow("question") << 3 << int(QMessageBox::Question) << int(QMessageBox::Ok | QMessageBox::Cancel);
    }

    void boxesReachHandler()
    {
        QFETCH(int, kind);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        MessageRecorder recorder;
        recorder.answer = QMessageBox::Cancel;
        recorder.install();
        QMessageBox::StandardButton answer = QMessageBox::NoButton;
        switch (kind) {
        case 0: answer = Messages::critical(nullptr, "Network Error", "Failed to x.\nboom"); break;
        case 1: answer = Messages::warning(nullptr, "Network Error", "Failed to x.\nboom"); break;
        case 2: answer = Messages::information(nullptr, "Network Error", "Failed to x.\nboom"); break;
        default: answer = Messages::question(nullptr, "Network Error", "Failed to x.\nboom"); break;
        }
        QCOMPARE(answer, QMessageBox::Cancel);
        QCOMPARE(recorder.boxes.size(), 1);
        QCOMPARE(int(recorder.boxes.first().icon), icon);
        QCOMPARE(int(recorder.boxes.first().buttons), buttons);
        QCOMPARE(recorder.boxes.first().title, QString("Network Error"));
        QCOMPARE(recorder.boxes.first().text, QString("Failed to x.\nboom"));
    }
};

QTEST_MAIN(TestMessages)
#include "test_messages.moc"
