#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// One auction as eBay reports it: a field per column of the watch-list table plus whether eBay lists it as an
// auction. Made by ItemHelper::getItems and kept by the bid engine; a plain value, copied freely.
class Item {
public:
    Item();
    // What eBay's answer puts in place of a number it does not know: an ended non-auction with -1 amounts.
    static Item invalid(const QString& itemNumber);
    // The seller cell's text: the feedback score, and " | P%" when eBay gives a positive percentage.
    static QString sellerScoreText(int score, const QVariant& positivePercent);

    int id() const { return m_id; }
    void setId(int value) { m_id = value; }
    QString itemNumber() const { return m_itemNumber; }
    void setItemNumber(const QString& value) { m_itemNumber = value; }
    QString name() const { return m_name; }
    void setName(const QString& value) { m_name = value; }
    int userId() const { return m_userId; }
    void setUserId(int value) { m_userId = value; }
    QString userRelation() const { return m_userRelation; }
    void setUserRelation(const QString& value) { m_userRelation = value; }
    bool isEnded() const { return m_isEnded; }
    void setIsEnded(bool value) { m_isEnded = value; }
    int bidCount() const { return m_bidCount; }
    void setBidCount(int value) { m_bidCount = value; }
    double currentBid() const { return m_currentBid; }
    void setCurrentBid(double value) { m_currentBid = value; }
    double nextBid() const { return m_nextBid; }
    void setNextBid(double value) { m_nextBid = value; }
    QString currency() const { return m_currency; }
    void setCurrency(const QString& value) { m_currency = value; }
    QDateTime endTime() const { return m_endTime; }
    void setEndTime(const QDateTime& value) { m_endTime = value; }
    bool isReserve() const { return m_isReserve; }
    void setIsReserve(bool value) { m_isReserve = value; }
    bool isReserveMet() const { return m_isReserveMet; }
    void setIsReserveMet(bool value) { m_isReserveMet = value; }
    double userBid() const { return m_userBid; }
    void setUserBid(double value) { m_userBid = value; }
    int leadTime() const { return m_leadTime; }
    void setLeadTime(int value) { m_leadTime = value; }
    QDateTime actualBidTime() const { return m_actualBidTime; }
    void setActualBidTime(const QDateTime& value) { m_actualBidTime = value; }
    int bidStatus() const { return m_bidStatus; }
    void setBidStatus(int value) { m_bidStatus = value; }
    int groupId() const { return m_groupId; }
    void setGroupId(int value) { m_groupId = value; }
    double shipping() const { return m_shipping; }
    void setShipping(double value) { m_shipping = value; }
    QString seller() const { return m_seller; }
    void setSeller(const QString& value) { m_seller = value; }
    QString sellerScore() const { return m_sellerScore; }
    void setSellerScore(const QString& value) { m_sellerScore = value; }
    QString notes() const { return m_notes; }
    void setNotes(const QString& value) { m_notes = value; }
    bool isAuction() const { return m_isAuction; }
    void setIsAuction(bool value) { m_isAuction = value; }
    // The listing's main picture where eBay names one (the Browse API does); not a column of the store.
    QString pictureUrl() const { return m_pictureUrl; }
    void setPictureUrl(const QString& value) { m_pictureUrl = value; }

private:
    int m_id = 0;
    QString m_itemNumber;
    QString m_name;
    int m_userId = 0;
    QString m_userRelation;
    bool m_isEnded = false;
    int m_bidCount = 0;
    double m_currentBid = 0.0;
    double m_nextBid = 0.0;
    QString m_currency;
    QDateTime m_endTime;
    bool m_isReserve = false;
    bool m_isReserveMet = false;
    double m_userBid = 0.0;
    int m_leadTime = 0;
    QDateTime m_actualBidTime;
    int m_bidStatus = 0;
    int m_groupId = 0;
    double m_shipping = 0.0;
    QString m_seller;
    QString m_sellerScore;
    QString m_notes;
    bool m_isAuction = false;
    QString m_pictureUrl;
};
