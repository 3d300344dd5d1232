#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkReply;
class QWidget;

// Asks the maker's web host which version is published. The start-up sequence owns one for the background check,
// which shows the update dialog when a different version is announced; the Help menu's check uses one of its own
// and waits for the answer.
class VersionChecker : public QObject {
    Q_OBJECT

public:
    explicit VersionChecker(QObject* parent = nullptr);

    // Starts the background check and returns at once.
    void checkVersion();
    // Whether the background check's answer is still awaited (or being shown).
    bool isChecking() const { return !m_reply.isNull(); }
    // The version file's body, fetched while a local event loop runs; empty when the request failed.
    QString downloadVersionXml();
    // Waits for the version file; true when it names a version other than the running one.
    bool isNewVersionAvailable();
    // Whether the last on-demand check found a version in the file at all.
    bool versionKnown() const { return m_versionKnown; }
    // The Help menu's whole check: waits for the answer, then shows the update dialog, the "No Update Available"
    // box, or, when the file could not be fetched or read, a box saying so.
    static void checkForUpdate(QWidget* parent);

    // The version a version file announces; empty when the file carries no version element.
    static QString publishedVersion(const QString& versionXml);

private slots:
    void versionXmlDownloaded();

private:
    QNetworkReply* requestVersionXml() const;

    QPointer<QNetworkReply> m_reply;
    bool m_versionKnown = false;
};
