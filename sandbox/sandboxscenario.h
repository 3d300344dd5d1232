#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// A scenario file: the users who may sign in and the auctions the sandbox runs. Times are relative to the moment
// the scenario is loaded; amounts are kept in cents so that the increment arithmetic is exact.
class SandboxScenario {
public:
    struct User {
        QString username;
        QString password;
        QStringList watching;
        bool challenge = false; // a right password is answered with a verification page instead of a session
    };
    struct ScriptedBid {
        QString bidder;
        qint64 amountCents = 0;
        double atSeconds = 0.0;
    };
    struct Auction {
        QString itemNumber;
        QString title;
        QString seller;
        int feedbackScore = 0;
        double positiveFeedbackPercent = 0.0;
        QString listingType = QStringLiteral("Chinese");
        int site = 3;
        QString currency = QStringLiteral("GBP");
        qint64 startCents = 100;
        qint64 reserveCents = -1; // -1: no reserve
        QString shippingText;
        int shippingMarkup = 1; // 1..4, 0: no shipping markup on the item page
        double endsInSeconds = 300.0;
        QList<ScriptedBid> bids;
        QString step1Answer = QStringLiteral("form"); // "form", "formNoKey", "redirect" or "bidError"
        QString refusal;
        QString htmlValueFirst = QStringLiteral("stok"); // inputs of the HTML bid form written value-first
        bool omitRelation = false;                       // ViewItemLite answers without a ViewerItemRelation field
        bool itemGroup = false;                          // the Browse API calls the number an item group's

        bool isAuction() const { return listingType.compare(QStringLiteral("Chinese"), Qt::CaseInsensitive) == 0; }
    };

    double clockOffsetSeconds = 0.0;
    QString publishedVersion = QStringLiteral("4.2.0.0");
    QList<User> users;
    QList<Auction> auctions;

    // Reads a scenario; on failure returns false and says which entry is at fault.
    static bool parse(const QByteArray& json, SandboxScenario* scenario, QString* error);
    static bool loadFile(const QString& path, SandboxScenario* scenario, QString* error);
    static qint64 toCents(double amount);
    static double fromCents(qint64 cents) { return double(cents) / 100.0; }
};
