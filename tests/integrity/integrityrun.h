#pragma once

#include "integritychecker.h"
#include "sandboxprocess.h"
#include "traymessenger.h"

#include <QMap>
#include <QObject>
#include <QRandomGenerator>
#include <QSqlRecord>
#include <QStringList>

#include <memory>

class BidEngine;
class StoreFixture;

// The randomized scenario driver for snipe integrity: runs batches of random snipes through the real bid engine
// and bid threads against a tollimer-sandbox process, with the user's cancellations and edits and the sandbox's
// faults at random moments, and hands each batch's evidence to the IntegrityChecker. Everything random comes from
// one seed, so a failing run can be replayed (the plan is the same; the moments follow the machine's timing).
// Used by the integrity test and benchmark, which own it.
class IntegrityRun : public QObject, public TrayMessenger {
    Q_OBJECT

public:
    struct Options {
        quint32 seed = 1;
        int snipes = 100;
        int batchSize = 50;
        // Auctions end between a few seconds and this long after their batch begins.
        int windowSeconds = 20;
        int maxLeadSeconds = 10;
        // Mean number of sandbox faults injected per second of a batch.
        double faultsPerSecond = 0.6;
        // Every other batch uses a site of the page bid flow.
        bool alternateFlows = true;
        bool verbose = false;
    };

    struct Totals {
        int snipes = 0;
        int batches = 0;
        int faults = 0;
        int userActions = 0;
        QMap<QString, int> faultsByKind;
        QMap<QString, int> actionsByKind;
        QMap<QString, int> outcomes;
        QStringList violations;
        QList<qint64> lateness;
        QStringList late;
        qint64 wallMs = 0;
    };

    // The seed from TOLLIMER_INTEGRITY_SEED, else the fallback.
    static quint32 seedFromEnvironment(quint32 fallback);

    explicit IntegrityRun(const Options& options, QObject* parent = nullptr);
    ~IntegrityRun() override;

    // Starts the sandbox, a private store with the signed-in user and the program's proxy; false with a reason.
    bool setUp(QString* error);
    // Runs every batch; progress goes to the debug channel when verbose.
    Totals run();

    void showTrayMessage(const QString& title, const QString& text, Icon icon) override;

private:
    struct Action;
    struct Snipe;
    struct Batch;

    bool runBatch(int index, int count, Totals& totals, QString* error);
    QVariantMap planBatch(Batch& batch, int index, int count);
    bool storeSnipes(Batch& batch, QString* error);
    bool storeSnipe(Batch& batch, Snipe& snipe);
    void poll(Batch& batch);
    void perform(Batch& batch, Snipe& snipe, bool confirmationLeft);
    void forceReload();
    bool batchDone(const Batch& batch) const;
    BatchEvidence collect(Batch& batch);
    void useSite(int siteId);

    Options m_options;
    QRandomGenerator m_random;
    SandboxProcess m_sandbox;
    std::unique_ptr<StoreFixture> m_store;
    int m_userId = 0;
    QSqlRecord m_user;
    QSqlRecord m_otherUser;
    BidEngine* m_engine = nullptr;
    QList<TrayEntry> m_tray;
    QStringList m_boxes;
};
