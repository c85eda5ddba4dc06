#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// One module window per instance name ("Module:" + model + address).
// A lock file held for the life of the process plays the named mutex: the
// system drops it with the process, and a lock left by a crashed instance is
// recognised as stale. The first instance listens on a local socket; a later
// one connects, asks it to raise its window and ends.
class CSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstance(const QString& instanceName, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // true: this process is the first and now owns the name.
    // false: another instance runs; it has been asked to raise its window.
    bool Acquire();

    static QString SocketName(const QString& instanceName);

signals:
    void ActivateRequested();

private:
    void OnNewConnection();
    bool SignalRunningInstance() const;

    QString m_strName;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
