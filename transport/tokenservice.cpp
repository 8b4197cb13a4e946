#include "transport/tokenservice.h"

#include <QNetworkAccessManager>
#include <QSettings>
#include <QUrl>

#include "core/settings.h"
#include "oauth/oauthflow.h"

namespace {

QUrl urlSetting(const QString &set, const QString &fallback)
{
    return QUrl(set.trimmed().isEmpty() ? fallback : set.trimmed(), QUrl::StrictMode);
}

} // namespace

OAuthEndpoints signInEndpoints(const ProviderSignIn &signIn, const std::function<QString(const QString &)> &setting)
{
    OAuthEndpoints e;
    if (signIn.key.isEmpty())
        return e;
    e.authorizeUrl = urlSetting(setting(QStringLiteral("authorizeUrl")), signIn.authorizeUrl);
    e.tokenUrl = urlSetting(setting(QStringLiteral("tokenUrl")), signIn.tokenUrl);
    e.scopes = signIn.scopes;
    e.clientId = setting(QStringLiteral("clientId")).trimmed();
    e.clientSecret = setting(QStringLiteral("clientSecret")).trimmed();
    e.extraParameters = signIn.extraParameters;
    return e;
}

OAuthEndpoints accountSignInEndpoints(const EmailAccount &acc)
{
    const ProviderSignIn signIn = resolveProvider(acc.address, acc.provider).signIn;
    const QSettings settings = Settings::open();
    const QString prefix = oauthSettingsPrefix(signIn);
    return signInEndpoints(signIn,
                           [&](const QString &key) { return settings.value(prefix + key).toString(); });
}

TokenService::TokenService(const TokenServiceOptions &options, QObject *parent) : QObject(parent), m_opt(options)
{
    if (!m_opt.refresher) {
        m_opt.refresher = [this](const OAuthEndpoints &endpoints, const QString &refreshToken, QObject *context,
                                 std::function<void(const TokenReply &)> done) {
            if (!m_nam)
                m_nam = new QNetworkAccessManager(this);
            refreshAccessToken(m_nam, endpoints, refreshToken, context, done);
        };
    }
    if (!m_opt.endpoints)
        m_opt.endpoints = accountSignInEndpoints;
}

TokenService::~TokenService() = default;

QDateTime TokenService::now() const
{
    return m_opt.clock.now();
}

QString TokenService::heldToken(const EmailAccount &acc) const
{
    const auto it = m_states.constFind(acc.address.toLower());
    if (it == m_states.cend() || it->held.accessToken.isEmpty() || it->held.refreshToken != acc.refreshToken
        || now() >= it->held.renewAt)
        return QString();
    return it->held.accessToken;
}

void TokenService::withToken(const EmailAccount &acc, std::function<void(const EmailAccount &, const QString &)> ready)
{
    if (!usesOAuth(acc)) {
        ready(acc, QString());
        return;
    }
    if (acc.refreshToken.isEmpty()) {
        ready(acc, QStringLiteral("Yeniden oturum acilmali: hesabin oturumu yok."));
        return;
    }
    const QString key = acc.address.toLower();
    State &state = m_states[key];
    state.address = acc.address;
    if (state.held.refreshToken != acc.refreshToken)
        state.held = Held();
    if (state.refusedRefresh == acc.refreshToken) {
        // Asking again with a refused grant would only hammer the provider.
        const QString text = QStringLiteral("Yeniden oturum acilmali: saglayici oturumu sonlandirdi.");
        emit signInNeeded(acc.address, text);
        ready(acc, text);
        return;
    }
    const QString token = heldToken(acc);
    if (!token.isEmpty()) {
        EmailAccount withAccess = acc;
        withAccess.accessToken = token;
        ready(withAccess, QString());
        return;
    }
    if (state.retryAt.isValid() && now() < state.retryAt) {
        ready(acc, state.lastError + QStringLiteral(" Sonraki deneme: %1.")
                                         .arg(state.retryAt.toLocalTime().toString(QStringLiteral("HH:mm:ss"))));
        return;
    }
    state.waiters.append([acc, ready](const QString &accessToken, const QString &error) {
        EmailAccount withAccess = acc;
        withAccess.accessToken = accessToken;
        ready(withAccess, error);
    });
    if (!state.inFlight)
        refresh(acc, state);
}

void TokenService::refresh(const EmailAccount &acc, State &state)
{
    const OAuthEndpoints endpoints = m_opt.endpoints(acc);
    const QString key = acc.address.toLower();
    if (!endpoints.isUsable()) {
        finish(key, QStringLiteral("Oturum acma ayarli degil: bu saglayici icin istemci kimligi (client id) yok."));
        return;
    }
    state.inFlight = true;
    const QString refreshToken = acc.refreshToken;
    m_opt.refresher(endpoints, refreshToken, this, [this, key, refreshToken](const TokenReply &reply) {
        auto it = m_states.find(key);
        if (it == m_states.end())
            return;
        State &s = *it;
        s.inFlight = false;
        if (reply.refused) {
            s.refusedRefresh = refreshToken;
            s.held = Held();
            const QString text = QStringLiteral("Yeniden oturum acilmali: saglayici oturumu sonlandirdi.");
            emit signInNeeded(s.address, text);
            finish(key, text);
            return;
        }
        if (!reply.error.isEmpty()) {
            // No answer, a 500 or garbage: the grant may well be fine.
            ++s.failures;
            qint64 wait = qMax(1, m_opt.retryFirstSecs);
            for (int i = 1; i < s.failures && wait < m_opt.retryCapSecs; ++i)
                wait *= 2;
            s.retryAt = now().addSecs(qMin<qint64>(wait, m_opt.retryCapSecs));
            s.lastError = reply.error + QLatin1Char('.');
            finish(key, s.lastError);
            return;
        }
        hold(s, reply, refreshToken);
        finish(key, QString());
    });
}

void TokenService::hold(State &state, const TokenReply &tokens, const QString &refreshToken)
{
    // Renewed a margin before the end, or halfway for short-lived tokens.
    const qint64 margin = qMin<qint64>(m_opt.marginSecs, tokens.expiresIn / 2);
    state.held.accessToken = tokens.accessToken;
    state.held.renewAt = now().addSecs(tokens.expiresIn - margin);
    state.held.refreshToken = refreshToken;
    state.failures = 0;
    state.retryAt = QDateTime();
    state.lastError.clear();
    state.refusedRefresh.clear();
    if (!tokens.refreshToken.isEmpty() && tokens.refreshToken != refreshToken) {
        // Providers that rotate refresh tokens void the old one.
        state.held.refreshToken = tokens.refreshToken;
        emit refreshTokenChanged(state.address, tokens.refreshToken);
    }
    emit tokenRefreshed(state.address);
}

void TokenService::finish(const QString &key, const QString &error)
{
    auto it = m_states.find(key);
    if (it == m_states.end())
        return;
    const QString token = error.isEmpty() ? it->held.accessToken : QString();
    const auto waiters = std::exchange(it->waiters, {});
    for (const auto &waiter : waiters)
        waiter(token, error);
}

void TokenService::dropToken(const QString &address)
{
    auto it = m_states.find(address.toLower());
    if (it != m_states.end())
        it->held.accessToken.clear();
}

void TokenService::signedIn(const QString &address, const TokenReply &tokens)
{
    State &state = m_states[address.toLower()];
    state.address = address;
    const QString refreshToken = tokens.refreshToken;
    hold(state, tokens, refreshToken);
}
