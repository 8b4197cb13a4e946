#include "transport/idlewatcher.h"

#include <QHash>

// Lives on the watcher's thread and owns the sessions there.
class IdleHub : public QObject
{
    Q_OBJECT
public:
    explicit IdleHub(const IdleOptions &options) : m_options(options) {}

public slots:
    void setAccounts(QList<EmailAccount> accounts)
    {
        QSet<QString> wanted;
        for (const EmailAccount &acc : accounts) {
            if (!acc.enabled || !hasCredentials(acc) || acc.host.isEmpty())
                continue;
            const QString key = acc.address.toLower();
            if (wanted.contains(key))
                continue;
            auto it = m_sessions.find(key);
            // A browser sign-in starts once the token service has a token; a
            // running connection stays while its token is being renewed.
            if (usesOAuth(acc) && acc.accessToken.isEmpty()) {
                if (it != m_sessions.end() && sameSettings(it->account, acc) && !it->session->stopped())
                    wanted.insert(key);
                continue;
            }
            wanted.insert(key);
            if (it != m_sessions.end() && sameSettings(it->account, acc)) {
                // A fresh token serves the next login; a connection stopped
                // by a refused one starts again with it.
                if (it->account.accessToken != acc.accessToken) {
                    it->account.accessToken = acc.accessToken;
                    it->session->setAccessToken(acc.accessToken);
                    if (it->session->stopped())
                        it->session->start();
                }
                continue;
            }
            // New, or its settings changed: a refused login may work now.
            if (it != m_sessions.end())
                end(it->session);
            Entry entry{acc, new IdleSession(acc, m_options, this)};
            connect(entry.session, &IdleSession::newMail, this, &IdleHub::newMail);
            connect(entry.session, &IdleSession::mailsReady, this, &IdleHub::mailsReady);
            connect(entry.session, &IdleSession::instantChanged, this, &IdleHub::instantChanged);
            connect(entry.session, &IdleSession::log, this, &IdleHub::log);
            connect(entry.session, &IdleSession::tokenRefused, this, &IdleHub::tokenRefused);
            connect(entry.session, &IdleSession::actionsDone, this, &IdleHub::actionsDone);
            m_sessions.insert(key, entry);
            entry.session->start();
        }
        for (auto it = m_sessions.begin(); it != m_sessions.end();) {
            if (wanted.contains(it.key())) {
                ++it;
                continue;
            }
            end(it->session);
            it = m_sessions.erase(it);
        }
    }

    void runActions(QString address, QList<MailAction> actions)
    {
        const auto it = m_sessions.find(address.toLower());
        if (it != m_sessions.end()) {
            it->session->runActions(actions);
            return;
        }
        QList<MailActionResult> back;
        for (const MailAction &a : actions)
            back.append(MailActionResult{a, MailActionResult::Outcome::NotSent, {}, {}, {}});
        emit actionsDone(address, back);
    }

signals:
    void newMail(QString address);
    void mailsReady(QList<MailItem> items);
    void instantChanged(QString address, bool instant);
    void log(QString address, QString message);
    void tokenRefused(QString address);
    void actionsDone(QString address, QList<MailActionResult> results);

private:
    struct Entry
    {
        EmailAccount account;
        IdleSession *session = nullptr;
    };

    static bool sameSettings(const EmailAccount &a, const EmailAccount &b)
    {
        return a.address == b.address && a.host == b.host && a.port == b.port && a.user == b.user && a.pass == b.pass
            && a.auth == b.auth && a.refreshToken == b.refreshToken;
    }

    void end(IdleSession *session)
    {
        const bool wasInstant = session->instant();
        const QString address = session->address();
        session->dropActions();
        delete session;
        if (wasInstant)
            emit instantChanged(address, false);
    }

    IdleOptions m_options;
    QHash<QString, Entry> m_sessions;
};

IdleWatcher::IdleWatcher(const IdleOptions &options, QObject *parent) : QObject(parent), m_hub(new IdleHub(options))
{
    registerMailMetaTypes();
    m_hub->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_hub, &QObject::deleteLater);
    connect(m_hub, &IdleHub::newMail, this, &IdleWatcher::newMail, Qt::QueuedConnection);
    connect(m_hub, &IdleHub::mailsReady, this, &IdleWatcher::mailsReady, Qt::QueuedConnection);
    connect(m_hub, &IdleHub::log, this, &IdleWatcher::log, Qt::QueuedConnection);
    connect(m_hub, &IdleHub::tokenRefused, this, &IdleWatcher::tokenRefused, Qt::QueuedConnection);
    connect(m_hub, &IdleHub::actionsDone, this, &IdleWatcher::actionsDone, Qt::QueuedConnection);
    connect(
        m_hub, &IdleHub::instantChanged, this,
        [this](const QString &address, bool instant) {
            if (instant)
                m_instant.insert(address.toLower());
            else
                m_instant.remove(address.toLower());
            emit instantChanged(address, instant);
        },
        Qt::QueuedConnection);
    m_thread.start();
}

IdleWatcher::~IdleWatcher()
{
    // Every wait of the sessions is a timer or a socket signal, so the
    // thread ends at once; its sockets close with the hub.
    m_thread.quit();
    m_thread.wait();
}

void IdleWatcher::setAccounts(const QList<EmailAccount> &accounts)
{
    QMetaObject::invokeMethod(m_hub, "setAccounts", Qt::QueuedConnection, Q_ARG(QList<EmailAccount>, accounts));
}

void IdleWatcher::runActions(const QString &address, const QList<MailAction> &actions)
{
    QMetaObject::invokeMethod(m_hub, "runActions", Qt::QueuedConnection, Q_ARG(QString, address),
                              Q_ARG(QList<MailAction>, actions));
}

bool IdleWatcher::isInstant(const QString &address) const
{
    return m_instant.contains(address.toLower());
}

#include "idlewatcher.moc"
