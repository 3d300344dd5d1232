#pragma once

#include <QLabel>

class QNetworkAccessManager;
class QNetworkReply;

// A label that shows a picture downloaded from a URL, through the program's proxy choice; a picture that
// cannot be downloaded or read leaves the label as it was. Owned by its dialog.
class RemotePixmapLabel : public QLabel {
    Q_OBJECT

public:
    explicit RemotePixmapLabel(QWidget* parent = nullptr);
    RemotePixmapLabel(const QString& text, QWidget* parent = nullptr);

    void load(const QString& url);

signals:
    // Emitted once a picture has been shown.
    void pixmapLoaded();

private slots:
    void pixmapReceived(QNetworkReply* reply);

private:
    QNetworkAccessManager* m_manager = nullptr;
};
