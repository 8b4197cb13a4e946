#include "link/linkmanager.h"

#include "core/settings.h"
#include "link/linkpayload.h"
#include "rest/rest.h"
#include "mail/mailrecords.h"

#include <QFile>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>
#include <QUuid>

#include <algorithm>

namespace {

const QString kLinkRoot = QStringLiteral("/mirelo_link/");

QString sessionPath(const QString &sid)
{
    return kLinkRoot + sid;
}

QString codeHashPath(const QString &sid)
{
    return kLinkRoot + sid + QStringLiteral("/codeHash");
}

QString inboxPath(const QString &sid)
{
    return kLinkRoot + sid + QStringLiteral("/inbox");
}

} // namespace

LinkManager::LinkManager(QObject *parent, const QString &databaseBaseUrl)
    : LinkManager(parent, LinkOptions{databaseBaseUrl, {}, {}, kPairTickMs, kPairPollMs, {}})
{
}

LinkManager::LinkManager(QObject *parent, const LinkOptions &options)
    : QObject(parent),
      m_nam(new QNetworkAccessManager(this)),
      m_databaseBaseUrl(options.databaseBaseUrl),
      m_tick(new QTimer(this)),
      m_poll(new QTimer(this)),
      m_clock(options.clock),
      m_random(options.random ? options.random : systemLinkRandom()),
      m_devicesFile(options.devicesFile)
{
    qRegisterMetaType<LinkCode>();
    qRegisterMetaType<PairedDevice>();
    m_tick->setInterval(options.tickMs);
    m_poll->setInterval(options.pollMs);
    connect(m_tick, &QTimer::timeout, this, &LinkManager::onPairTick);
    connect(m_poll, &QTimer::timeout, this, &LinkManager::onPairPoll);
    loadDevices();
}

void LinkManager::cleanUpLeftSessions()
{
    for (const QString &sid : storedCleanups()) {
        if (!(m_isPairing && m_sessionId == sid))
            cleanUpSession(sid);
    }
}

LinkManager::~LinkManager()
{
    // Replies still on their way would otherwise finish (aborted) while the
    // QObject base is torn down and call back into members already gone.
    const auto replies = m_nam->findChildren<QNetworkReply *>();
    for (QNetworkReply *reply : replies)
        reply->disconnect();
    delete m_nam;
    m_nam = nullptr;
}

qint64 LinkManager::nowSecs() const
{
    return m_clock().toSecsSinceEpoch();
}

QString LinkManager::pairingUri() const
{
    return m_isPairing ? ::pairingUri(m_sessionId, m_pairingCode) : QString();
}

qint64 LinkManager::secondsLeft() const
{
    return m_isPairing ? qMax<qint64>(0, m_expiry - nowSecs()) : 0;
}

// --- Host side ---------------------------------------------------------------

void LinkManager::startPairing()
{
    if (m_isPairing)
        cancelPairing();

    const QString sid = generateSessionId(m_random);
    m_sessionId = sid;
    m_pairingCode = generatePairingCode(m_random);
    m_linkKey = linkKeyFor(sid, m_pairingCode);
    m_expiry = nowSecs() + kPairingLifetimeSecs;

    const QJsonObject record = newSessionRecord(sha256Hex(m_pairingCode.toUtf8()), isoUtc(m_clock()));
    rememberCleanup(sid, true);
    m_creating.insert(sid);
    restPut(m_nam, this, m_databaseBaseUrl, sessionPath(sid), QJsonDocument(record),
            [this, sid](bool ok, const QByteArray &) {
                m_creating.remove(sid);
                // Ended while the write was on its way: its DELETE may have
                // overtaken it, so the record is cleaned up once more.
                if (!m_isPairing || m_sessionId != sid) {
                    cleanUpSession(sid);
                    return;
                }
                if (ok)
                    return;
                // A write that failed may still have landed.
                cleanUpSession(sid);
                m_isPairing = false;
                m_tick->stop();
                m_poll->stop();
                emit linkLog(QStringLiteral("Eslestirme baslatilamadi: ag hatasi."));
                emit pairingChanged();
            });

    m_isPairing = true;
    m_tick->start();
    m_poll->start();
    emit linkLog(QStringLiteral("QR + kod hazir (10 dk gecerli)."));
    emit pairingChanged();
}

void LinkManager::endSession()
{
    m_isPairing = false;
    m_tick->stop();
    m_poll->stop();
    m_sessionId.clear();
    m_pairingCode.clear();
    m_linkKey.clear();
}

void LinkManager::cancelPairing()
{
    if (!m_isPairing)
        return;
    const QString oldSid = m_sessionId;
    endSession();
    cleanUpSession(oldSid);
    emit pairingChanged();
}

void LinkManager::onPairTick()
{
    if (!m_isPairing)
        return;
    if (m_expiry - nowSecs() > 0) {
        emit pairingChanged();
        return;
    }
    emit linkLog(QStringLiteral("Sure doldu, yeni kod uret."));
    cancelPairing();
}

void LinkManager::onPairPoll()
{
    if (!m_isPairing)
        return;
    const QString sid = m_sessionId;
    restGet(m_nam, this, m_databaseBaseUrl, sessionPath(sid), [this, sid](bool ok, const QByteArray &body) {
        // The answer may belong to a session that was cancelled or replaced meanwhile.
        if (!ok || !m_isPairing || m_sessionId != sid)
            return;
        QJsonObject record;
        if (!parseSessionRecord(body, &record) || !sessionIsPaired(record))
            return;
        const QString name = sessionDeviceName(record);
        const PairedDevice device{sid, name, m_linkKey, isoLocal(m_clock())};
        addDevice(device);
        endSession();
        // The hash names the code the key is made of: six digits, found in
        // well under a second. It must not outlive the pairing.
        cleanUpSession(sid);
        emit linkLog(QStringLiteral("Eslesme tamam: ") + name);
        emit devicesChanged();
        emit pairingChanged();
    });
}

void LinkManager::cleanUpSession(const QString &sid)
{
    if (!isValidSessionId(sid))
        return;
    // Paired: the record is the device's mailbox and only loses its hash.
    // Otherwise the whole waiting session goes.
    const bool paired = std::any_of(m_devices.cbegin(), m_devices.cend(),
                                    [&sid](const PairedDevice &d) { return d.sid == sid; });
    const QString path = paired ? codeHashPath(sid) : sessionPath(sid);
    restDelete(m_nam, this, m_databaseBaseUrl, path, [this, sid](bool ok) {
        // A record still being written is cleaned up again when that ends.
        if (ok && !m_creating.contains(sid) && !(m_isPairing && m_sessionId == sid))
            rememberCleanup(sid, false);
    });
}

QStringList LinkManager::storedCleanups() const
{
    if (!m_devicesFile.isEmpty())
        return m_cleanups;
    return Settings::linkCleanups();
}

void LinkManager::rememberCleanup(const QString &sid, bool pending)
{
    QStringList list = storedCleanups();
    list.removeAll(sid);
    if (pending)
        list.append(sid);
    if (!m_devicesFile.isEmpty()) {
        m_cleanups = list;
        return;
    }
    Settings::setLinkCleanups(list);
}

// --- Joining side ------------------------------------------------------------

void LinkManager::joinSession(const QString &sessionId, const QString &code, const QString &deviceName)
{
    const QString c = code.trimmed();
    if (sessionId.trimmed().isEmpty() || c.isEmpty()) {
        emit joinFail(QStringLiteral("Oturum ve kod gerekli."));
        return;
    }
    // The id becomes part of a database path: anything but a well-formed id
    // could reach other records.
    const QString sid = normalizeSessionId(sessionId);
    if (sid.isEmpty()) {
        emit joinFail(QStringLiteral("Oturum gecersiz."));
        return;
    }
    const QString name = cutText(deviceName, kDeviceNameMax);
    restRequest(m_nam, this, m_databaseBaseUrl, sessionPath(sid), "GET", QByteArray(),
                [this, sid, c, name](const RestResult &r) {
        // An unreachable database is no missing session: say which it was.
        if (!r.networkOk && r.httpStatus == 0) {
            const QUrl base(m_databaseBaseUrl);
            emit joinFail(QStringLiteral("Veritabanina ulasilamadi: %1 (ag hatasi).")
                              .arg(base.port() > 0 ? base.host() + QLatin1Char(':') + QString::number(base.port())
                                                   : base.host()));
            return;
        }
        if (!r.networkOk) {
            emit joinFail(QStringLiteral("Veritabani hatasi: HTTP %1.").arg(r.httpStatus));
            return;
        }
        const QByteArray body = r.body;
        if (body.trimmed() == "null") {
            emit joinFail(QStringLiteral("Oturum bulunamadi (sure dolmus ya da oturum kimligi yanlis)."));
            return;
        }
        QJsonObject record;
        if (!parseSessionRecord(body, &record) || !record.value(QLatin1String("codeHash")).isString()) {
            emit joinFail(QStringLiteral("Oturum gecersiz."));
            return;
        }
        const QString codeHash = record.value(QLatin1String("codeHash")).toString();
        if (codeHash.compare(sha256Hex(c.toUtf8()), Qt::CaseInsensitive) != 0) {
            emit joinFail(QStringLiteral("Kod yanlis."));
            return;
        }
        const QString key = linkKeyFor(sid, c);
        const QDateTime now = m_clock();
        const QJsonObject joined = joinedSessionRecord(record, name, isoUtc(now));
        restPut(m_nam, this, m_databaseBaseUrl, sessionPath(sid), QJsonDocument(joined),
                [this, sid, name, key, now](bool putOk, const QByteArray &) {
                    if (!putOk) {
                        emit joinFail(QStringLiteral("Onay yazilamadi (ag)."));
                        return;
                    }
                    addDevice(PairedDevice{sid, name, key, isoLocal(now)});
                    emit devicesChanged();
                    emit joinOk(sid);
                });
    });
}

// --- Registry ----------------------------------------------------------------

void LinkManager::addDevice(const PairedDevice &device)
{
    m_devices.removeIf([&](const PairedDevice &d) { return d.sid == device.sid; });
    m_devices.append(device);
    saveDevices();
}

void LinkManager::unpair(const QString &sid)
{
    m_devices.removeIf([&](const PairedDevice &d) { return d.sid == sid; });
    saveDevices();
    if (!isValidSessionId(sid)) {
        // Never turn a malformed id into a path; the local removal stands.
        emit devicesChanged();
        emit linkLog(QStringLiteral("Oturum gecersiz. Liste temizlendi."));
        return;
    }
    restDelete(m_nam, this, m_databaseBaseUrl, sessionPath(sid), [this](bool ok) {
        emit linkLog(ok ? QStringLiteral("Cihaz baglantisi kesildi.")
                        : QStringLiteral("Silinemedi (ag). Liste temizlendi."));
    });
    emit devicesChanged();
}

void LinkManager::reloadDevices()
{
    if (m_isPairing)
        cancelPairing();
    loadDevices();
    emit devicesChanged();
}

void LinkManager::loadDevices()
{
    QByteArray json;
    if (m_devicesFile.isEmpty()) {
        json = Settings::linkDevicesJson();
    } else {
        QFile file(m_devicesFile);
        if (file.open(QIODevice::ReadOnly))
            json = file.readAll();
    }
    m_devices = parsePairedDevices(json);
}

void LinkManager::saveDevices()
{
    const QByteArray json = serializePairedDevices(m_devices);
    if (m_devicesFile.isEmpty()) {
        Settings::setLinkDevicesJson(json);
        return;
    }
    // The file holds the end-to-end keys: readable by its owner only.
    QSaveFile file(m_devicesFile);
    if (!file.open(QIODevice::WriteOnly)) {
        emit linkLog(QStringLiteral("Cihaz listesi yazilamadi: ") + file.errorString());
        return;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(json);
    if (!file.commit())
        emit linkLog(QStringLiteral("Cihaz listesi yazilamadi: ") + file.errorString());
}

// --- Push and inbox ----------------------------------------------------------

void LinkManager::pushCode(const MailItem &item)
{
    if (item.code.isEmpty() || m_devices.isEmpty())
        return;
    const QString ts = isoUtc(m_clock());
    const QByteArray payload = buildLinkPayload(item, ts);
    for (const PairedDevice &device : std::as_const(m_devices)) {
        const QString name = device.name;
        if (!isValidSessionId(device.sid)) {
            emit linkLog(name + QStringLiteral(": gonderilemedi (oturum gecersiz)."));
            continue;
        }
        const QJsonObject message = sealLinkMessage(payload, ts, device.key, generateLinkSalt(m_random));
        // Keys sort in the order sent (readers list an inbox by key); the
        // counter orders codes pushed within one millisecond.
        const QString id = QStringLiteral("%1-%2-%3")
                               .arg(m_clock().toMSecsSinceEpoch(), 13, 10, QLatin1Char('0'))
                               .arg(m_pushSequence++ % 1000000, 6, 10, QLatin1Char('0'))
                               .arg(QUuid::createUuid().toString(QUuid::Id128));
        restPut(m_nam, this, m_databaseBaseUrl, inboxPath(device.sid) + QLatin1Char('/') + id,
                QJsonDocument(message), [this, name](bool ok, const QByteArray &) {
                    if (!ok)
                        emit linkLog(name + QStringLiteral(": gonderilemedi (ag)."));
                });
    }
}

void LinkManager::pollInbox()
{
    for (const PairedDevice &device : std::as_const(m_devices)) {
        if (isValidSessionId(device.sid))
            pollDevice(device);
    }
}

void LinkManager::noteInboxUnreachable(const QString &reason)
{
    // Said at once, then once a minute while it lasts: a watcher left
    // running against a dead URL must not stay silent.
    const QDateTime now = m_clock();
    if (!m_unreachableSince.isValid())
        m_unreachableSince = now;
    else if (m_unreachableSaid.isValid() && m_unreachableSaid.secsTo(now) < kUnreachableRepeatSecs)
        return;
    m_unreachableSaid = now;
    emit linkLog(QStringLiteral("Veritabanina ulasilamadi: %1 (%2).").arg(m_databaseBaseUrl, reason));
}

void LinkManager::pollDevice(const PairedDevice &device)
{
    restRequest(m_nam, this, m_databaseBaseUrl, inboxPath(device.sid), "GET", {}, [this, device](const RestResult &r) {
        if (r.httpStatus == 0) {
            noteInboxUnreachable(r.errorText);
            return;
        }
        if (m_unreachableSince.isValid()) {
            m_unreachableSince = QDateTime();
            emit linkLog(QStringLiteral("Veritabanina yeniden ulasildi: ") + m_databaseBaseUrl);
        }
        if (!r.networkOk)
            return;
        for (const InboxEntry &entry : parseInbox(r.body)) {
            const QString pending = device.sid + QLatin1Char('/') + entry.key;
            if (m_deleting.contains(pending))
                continue;
            LinkCode code;
            if (!openLinkMessage(entry.box, device.key, &code))
                continue; // not ours or damaged: left where it is
            code.sessionId = device.sid;
            code.inboxKey = entry.key;
            m_deleting.insert(pending);
            emit codeReceived(code);
            restDelete(m_nam, this, m_databaseBaseUrl, inboxPath(device.sid) + QLatin1Char('/') + entry.key,
                       [this, pending](bool) { m_deleting.remove(pending); });
        }
    });
}
