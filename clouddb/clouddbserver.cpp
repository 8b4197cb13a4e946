#include "clouddb/clouddbserver.h"

#include <QLockFile>

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using ms = std::chrono::milliseconds;

namespace {

// After refusing a request whose body is still coming, read and drop at
// most this much of it so the client sees the answer instead of a reset.
constexpr std::size_t kLingerBytes = 4 * 1024 * 1024;
constexpr int kLingerMs = 2000;

std::string lower(beast::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

} // namespace

struct CloudDbServer::Engine
{
    Engine(const QString &dataFile, const CloudDbServerLimits &limits)
        : limits(limits)
        , store(dataFile, limits.quota)
    {
    }

    ~Engine()
    {
        ioc.stop();
        if (thread.joinable())
            thread.join();
        // Closures waiting for a flush hold connections; they go before the
        // I/O context they belong to.
        waiting.clear();
        QString error;
        store.sync(&error);
    }

    void accept();
    // Runs `send` once every write made so far is on disk: writes that
    // arrive together share one flush.
    void afterDurable(std::function<void(bool)> send);

    CloudDbServerLimits limits;
    CloudDbStore store;
    std::vector<std::string> allowedHosts;  // lower case; empty: any
    std::atomic<int> connections{0};
    std::map<asio::ip::address, int> perPeer;
    std::vector<std::function<void(bool)>> waiting;
    bool flushPosted = false;
    asio::io_context ioc{1};
    tcp::acceptor acceptor{ioc};
    asio::steady_timer retryTimer{ioc};
    std::thread thread;
};

namespace {

class Session : public std::enable_shared_from_this<Session>
{
public:
    Session(CloudDbServer::Engine &engine, tcp::socket socket, const asio::ip::address &peer)
        : m_engine(engine)
        , m_stream(std::move(socket))
        , m_buffer(64 * 1024)
        , m_peer(peer)
    {
        ++m_engine.connections;
        ++m_engine.perPeer[m_peer];
    }

    ~Session()
    {
        --m_engine.connections;
        auto it = m_engine.perPeer.find(m_peer);
        if (it != m_engine.perPeer.end() && --it->second <= 0)
            m_engine.perPeer.erase(it);
    }

    void start() { waitForRequest(); }

private:
    const CloudDbServerLimits &limits() const { return m_engine.limits; }

    void waitForRequest()
    {
        if (m_buffer.size() > 0)
            return readHeader();
        m_stream.expires_after(ms(limits().idleTimeoutMs));
        m_stream.async_read_some(m_buffer.prepare(4096),
                                 [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                                     if (ec)
                                         return;
                                     self->m_buffer.commit(n);
                                     self->readHeader();
                                 });
    }

    void readHeader()
    {
        m_parser.emplace();
        m_parser->header_limit(std::uint32_t(limits().maxHeaderBytes));
        m_parser->body_limit(std::uint64_t(limits().maxBodyBytes));
        m_stream.expires_after(ms(limits().headerTimeoutMs));
        http::async_read_header(m_stream, m_buffer, *m_parser,
                                [self = shared_from_this()](beast::error_code ec, std::size_t) {
                                    self->onHeader(ec);
                                });
    }

    void onHeader(beast::error_code ec)
    {
        if (ec == http::error::body_limit)
            return refuse(http::status::payload_too_large, "Request body too large");
        if (ec == http::error::header_limit || ec == http::error::buffer_overflow)
            return refuse(http::status::request_header_fields_too_large, "Request header too large");
        if (ec)
            return failed(ec);
        const auto &req = m_parser->get();
        if (!m_engine.allowedHosts.empty()) {
            const std::string host = lower(req[http::field::host]);
            bool known = false;
            for (const std::string &allowed : m_engine.allowedHosts)
                known = known || host == allowed;
            if (!known)
                return refuse(http::status::forbidden, "Host not allowed");
        }
        if (lower(req[http::field::expect]) == "100-continue") {
            auto cont = std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
            m_stream.expires_after(ms(limits().transferTimeoutMs));
            return http::async_write(m_stream, *cont,
                                     [self = shared_from_this(), cont](beast::error_code wec, std::size_t) {
                                         if (!wec)
                                             self->readBody();
                                     });
        }
        readBody();
    }

    void readBody()
    {
        m_stream.expires_after(ms(limits().transferTimeoutMs));
        http::async_read(m_stream, m_buffer, *m_parser, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec == http::error::body_limit)
                return self->refuse(http::status::payload_too_large, "Request body too large");
            if (ec)
                return self->failed(ec);
            self->answer();
        });
    }

    // A malformed request is answered; a closed or timed-out one is not.
    void failed(beast::error_code ec)
    {
        if (ec.category() == http::make_error_code(http::error::bad_method).category()
            && ec != http::error::end_of_stream && ec != http::error::partial_message) {
            return refuse(http::status::bad_request, "Bad request");
        }
    }

    void answer()
    {
        const auto &req = m_parser->get();
        std::string target(req.target());
        const auto query = target.find('?');
        if (query != std::string::npos)
            target.resize(query);
        const QByteArray method(req.method_string().data(), qsizetype(req.method_string().size()));
        const QByteArray body(req.body().data(), qsizetype(req.body().size()));
        const CloudDbReply reply = handleCloudDbRequest(m_engine.store, method, QByteArray::fromStdString(target),
                                                        body, CloudDbSync::Deferred);
        const bool wrote = reply.status == 200 && method != "GET";
        const bool keepAlive = req.keep_alive();
        m_engine.afterDurable([self = shared_from_this(), reply, wrote, keepAlive](bool durable) {
            if (wrote && !durable)
                self->send(500, cloudDbErrorBody(QStringLiteral("Write not stored")), keepAlive);
            else
                self->send(reply.status, reply.body, keepAlive);
        });
    }

    void prepare(int status, const QByteArray &body, bool keepAlive)
    {
        m_response = {};
        m_response.version(11);
        m_response.result(unsigned(status));
        m_response.set(http::field::content_type, "application/json; charset=utf-8");
        m_response.body().assign(body.constData(), std::size_t(body.size()));
        m_response.keep_alive(keepAlive);
        m_response.prepare_payload();
    }

    void send(int status, const QByteArray &body, bool keepAlive)
    {
        prepare(status, body, keepAlive);
        m_stream.expires_after(ms(limits().transferTimeoutMs));
        http::async_write(m_stream, m_response,
                          [self = shared_from_this(), keepAlive](beast::error_code ec, std::size_t) {
                              if (ec)
                                  return;
                              if (keepAlive)
                                  return self->waitForRequest();
                              beast::error_code ignored;
                              self->m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
                          });
    }

    // Answers and closes without reading the rest of the request.
    void refuse(http::status status, const char *text)
    {
        prepare(int(status), cloudDbErrorBody(QString::fromLatin1(text)), false);
        m_stream.expires_after(ms(limits().transferTimeoutMs));
        http::async_write(m_stream, m_response, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec)
                return;
            beast::error_code ignored;
            self->m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
            self->m_stream.expires_after(ms(kLingerMs));
            self->linger();
        });
    }

    void linger()
    {
        m_stream.async_read_some(asio::buffer(m_drain), [self = shared_from_this()](beast::error_code ec, std::size_t n) {
            self->m_drained += n;
            if (!ec && self->m_drained < kLingerBytes)
                self->linger();
        });
    }

    CloudDbServer::Engine &m_engine;
    beast::tcp_stream m_stream;
    beast::flat_buffer m_buffer;
    asio::ip::address m_peer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    http::response<http::string_body> m_response;
    std::array<char, 16 * 1024> m_drain{};
    std::size_t m_drained = 0;
};

} // namespace

void CloudDbServer::Engine::accept()
{
    acceptor.async_accept([this](beast::error_code ec, tcp::socket socket) {
        if (ec == asio::error::operation_aborted)
            return;
        if (ec) {
            // Out of descriptors, for instance: try again shortly rather
            // than spin.
            retryTimer.expires_after(ms(50));
            retryTimer.async_wait([this](beast::error_code wec) {
                if (!wec)
                    accept();
            });
            return;
        }
        beast::error_code peerError;
        const tcp::endpoint peer = socket.remote_endpoint(peerError);
        auto it = perPeer.find(peer.address());
        const int fromPeer = it == perPeer.end() ? 0 : it->second;
        if (!peerError && connections < limits.maxConnections && fromPeer < limits.maxConnectionsPerPeer) {
            socket.set_option(tcp::no_delay(true), peerError);
            std::make_shared<Session>(*this, std::move(socket), peer.address())->start();
        }
        accept();
    });
}

void CloudDbServer::Engine::afterDurable(std::function<void(bool)> send)
{
    if (!store.hasUnsyncedWrites()) {
        send(true);
        return;
    }
    waiting.push_back(std::move(send));
    if (flushPosted)
        return;
    flushPosted = true;
    // Posted behind the requests already read, so they join this flush.
    asio::post(ioc, [this]() {
        flushPosted = false;
        QString error;
        const bool durable = store.sync(&error);
        if (!durable)
            std::fprintf(stderr, "clouddb: %s\n", qPrintable(error));
        std::vector<std::function<void(bool)>> ready;
        ready.swap(waiting);
        for (auto &send : ready)
            send(durable);
    });
}

CloudDbServer::CloudDbServer(const QString &dataFile, QObject *parent)
    : CloudDbServer(dataFile, CloudDbServerLimits(), parent)
{
}

CloudDbServer::CloudDbServer(const QString &dataFile, const CloudDbServerLimits &limits, QObject *parent)
    : QObject(parent)
    , m_dataFile(dataFile)
    , m_limits(limits)
{
}

CloudDbServer::~CloudDbServer()
{
    m_engine.reset();
    m_lock.reset();
}

bool CloudDbServer::start(const QHostAddress &address, quint16 port, QString *error)
{
    m_inUse = false;
    m_engine.reset();
    if (!m_dataFile.isEmpty()) {
        m_lock = std::make_unique<QLockFile>(m_dataFile + QStringLiteral(".lock"));
        m_lock->setStaleLockTime(0);
        if (!m_lock->tryLock(0)) {
            m_inUse = m_lock->error() == QLockFile::LockFailedError;
            *error = m_inUse ? QStringLiteral("%1 is in use by another server").arg(m_dataFile)
                             : QStringLiteral("cannot lock %1").arg(m_dataFile);
            m_lock.reset();
            return false;
        }
    }
    auto engine = std::make_unique<Engine>(m_dataFile, m_limits);
    if (!engine->store.load(error)) {
        m_lock.reset();
        return false;
    }
    beast::error_code ec;
    const auto ip = asio::ip::make_address(address.toString().toStdString(), ec);
    tcp::endpoint endpoint(ip, port);
    if (!ec)
        engine->acceptor.open(endpoint.protocol(), ec);
#ifndef _WIN32
    // On Windows this option would let another program take the port too.
    if (!ec)
        engine->acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
#endif
    if (!ec)
        engine->acceptor.bind(endpoint, ec);
    if (!ec)
        engine->acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(QString::fromStdString(ec.message()));
        m_lock.reset();
        return false;
    }
    m_port = engine->acceptor.local_endpoint().port();
    m_address = address;
    if (address.isLoopback()) {
        const std::string p = std::to_string(m_port);
        engine->allowedHosts = {"127.0.0.1:" + p, "localhost:" + p, "[::1]:" + p};
    }
    engine->accept();
    Engine *raw = engine.get();
    engine->thread = std::thread([raw]() { raw->ioc.run(); });
    m_engine = std::move(engine);
    return true;
}

QString CloudDbServer::baseUrl() const
{
    QString host = m_address.toString();
    if (m_address.protocol() == QAbstractSocket::IPv6Protocol)
        host = QLatin1Char('[') + host + QLatin1Char(']');
    return QStringLiteral("http://%1:%2").arg(host).arg(m_port);
}

int CloudDbServer::openConnections() const
{
    return m_engine ? m_engine->connections.load() : 0;
}
