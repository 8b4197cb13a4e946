#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// One running program per user and desktop session: a later start hands its
// arguments to the first one over a local socket and ends. The socket name
// carries the user, so two users on one machine never meet.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // `key` names the program; tests pass their own so they never meet a
    // running copy of the real one.
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Becomes the first instance, or hands `arguments` to the one that
    // already runs. True when this process should go on running; false when
    // the arguments were delivered and it should exit.
    bool claim(const QStringList &arguments);

    // Why this process runs alone without being the first instance (the name
    // is held by another user's process, or by one that does not answer);
    // empty otherwise.
    QString problem() const { return m_problem; }

    // The local socket name for a key and the current user.
    static QString socketName(const QString &key);

signals:
    // Another start handed over its arguments.
    void activated(const QStringList &arguments);

private:
    bool deliver(const QStringList &arguments);
    bool listen();
    void onConnection();

    QString m_name;
    QString m_problem;
    QLocalServer *m_server = nullptr;
    void *m_firstMark = nullptr; // Windows: the named mutex of the first instance
};
