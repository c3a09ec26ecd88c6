#pragma once

#include <QString>


// One run that moves records at a time, windowed or not: a scheduled
// synchronisation and the operator's click would otherwise send the same
// payments twice and write one statement log over the other. The lock is the
// system's lock on a file beside the settings file ("quilvanor.verrou"),
// which names the job, its start and its process; the system releases it
// when the process ends, however it ends, so a lock left by a killed run is
// simply taken by the next one. A second run is refused at once.
// The jobs that move records, as the refusal names them.
inline const QString kSynchronisationJob = QStringLiteral("la synchronisation des paiements");
inline const QString kRollExportJob = QStringLiteral("l'envoi des rôles au portail");

class RunLock {
public:
    // Takes the lock for the job, named as the operator reads it ("la
    // synchronisation des paiements"); fails with a RunLockedError naming
    // what holds it and since when. A temporary settings file left by a run
    // that was killed goes at the same moment.
    explicit RunLock(const QString& job);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    static QString LockFilePath();

private:
#ifdef _WIN32
    void* m_handle; // HANDLE
#else
    int m_handle;
#endif
    bool m_ownFile; // false where the settings file itself is locked
};
