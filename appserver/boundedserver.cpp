#include "boundedserver.h"

#include <httplib.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace appserver {

namespace {

using Clock = std::chrono::steady_clock;

// TLS 1.2 with ephemeral elliptic-curve key exchange only (TLS 1.3 has nothing else).
const char* const tls12Ciphers = "ECDHE+AESGCM:ECDHE+CHACHA20:!aNULL:!eNULL";

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::clamp<long long>(left, 0, INT_MAX));
}

bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, millisecondsUntil(deadline));
        if (ready != -1 || errno != EINTR)
            return ready > 0;
    }
}

// One client connection's bytes: plain TCP, or TLS over it.
class Link {
public:
    explicit Link(int fd) : m_fd(fd) {}
    virtual ~Link() = default;
    int fd() const { return m_fd; }
    // Some bytes (> 0); 0 when the client closed; -1 on an error or when the deadline passed.
    virtual ssize_t receive(char* data, size_t size, Clock::time_point deadline) = 0;
    virtual ssize_t send(const char* data, size_t size, Clock::time_point deadline) = 0;
    // Bytes already received and decoded, which the socket no longer shows.
    virtual bool holdsBytes() const { return false; }

private:
    int m_fd;
};

class PlainLink : public Link {
public:
    using Link::Link;

    ssize_t receive(char* data, size_t size, Clock::time_point deadline) override
    {
        if (!waitFor(fd(), POLLIN, deadline))
            return -1;
        ssize_t n;
        do
            n = ::recv(fd(), data, size, 0);
        while (n < 0 && errno == EINTR);
        return n;
    }

    ssize_t send(const char* data, size_t size, Clock::time_point deadline) override
    {
        if (!waitFor(fd(), POLLOUT, deadline))
            return -1;
        ssize_t n;
        do
            n = ::send(fd(), data, size, MSG_NOSIGNAL);
        while (n < 0 && errno == EINTR);
        return n;
    }
};

// TLS on a non-blocking socket, so that no read inside OpenSSL waits past the deadline for the
// rest of a record that a client trickles.
class TlsLink : public Link {
public:
    TlsLink(int fd, SSL_CTX* context) : Link(fd), m_ssl(SSL_new(context))
    {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        SSL_set_fd(m_ssl, fd);
    }
    ~TlsLink() override
    {
        if (m_sound)
            SSL_shutdown(m_ssl); // one attempt at telling the client; it need not answer
        SSL_free(m_ssl);
    }

    bool handshake(Clock::time_point deadline)
    {
        for (;;) {
            ERR_clear_error();
            const int done = SSL_accept(m_ssl);
            if (done == 1)
                return m_sound = true;
            if (!retry(SSL_get_error(m_ssl, done), deadline))
                return false;
        }
    }

    ssize_t receive(char* data, size_t size, Clock::time_point deadline) override
    {
        for (;;) {
            ERR_clear_error();
            const int n = SSL_read(m_ssl, data, int(std::min<size_t>(size, INT_MAX)));
            if (n > 0)
                return n;
            const int error = SSL_get_error(m_ssl, n);
            if (error == SSL_ERROR_ZERO_RETURN)
                return 0;
            if (!retry(error, deadline))
                return -1;
        }
    }

    ssize_t send(const char* data, size_t size, Clock::time_point deadline) override
    {
        for (;;) {
            ERR_clear_error();
            const int n = SSL_write(m_ssl, data, int(std::min<size_t>(size, INT_MAX)));
            if (n > 0)
                return n;
            if (!retry(SSL_get_error(m_ssl, n), deadline))
                return -1;
        }
    }

    bool holdsBytes() const override { return SSL_pending(m_ssl) > 0; }

private:
    bool retry(int error, Clock::time_point deadline)
    {
        if (error == SSL_ERROR_WANT_READ && waitFor(fd(), POLLIN, deadline))
            return true;
        if (error == SSL_ERROR_WANT_WRITE && waitFor(fd(), POLLOUT, deadline))
            return true;
        if (error == SSL_ERROR_SYSCALL || error == SSL_ERROR_SSL)
            m_sound = false;
        return false;
    }

    SSL* m_ssl;
    bool m_sound = false;
};

// What cpp-httplib reads a request from and writes its answer to: the link's bytes, buffered,
// each read bounded by the request's deadline and each write by the write timeout.
class BoundedStream : public httplib::Stream {
public:
    BoundedStream(Link& link, const RequestLimits& limits, std::chrono::seconds writeTimeout)
        : m_link(link), m_limits(limits), m_writeTimeout(writeTimeout)
    {
    }

    // Whether a request starts within the idle time.
    bool awaitRequest(std::chrono::milliseconds idle) const
    {
        return m_begin < m_end || m_link.holdsBytes() || waitFor(m_link.fd(), POLLIN, Clock::now() + idle);
    }
    void startRequest()
    {
        m_start = Clock::now();
        m_deadline = m_start + m_limits.headers;
        m_closing = false;
    }
    void allowBody(qint64 bytes)
    {
        const auto forBody = std::chrono::milliseconds(std::max<qint64>(0, bytes) * 1000 / m_limits.slowestBodyRate);
        m_deadline = std::max(m_deadline, m_start + m_limits.headers + forBody);
    }
    void closeAfterAnswer() { m_closing = true; }
    // Whether the connection must close after this answer: asked for, or a read failed (the
    // client was too slow or went away, and what follows in the socket is no request).
    bool closing() const { return m_closing || m_broken; }

    bool is_readable() const override
    {
        return m_begin < m_end || m_link.holdsBytes() || waitFor(m_link.fd(), POLLIN, m_deadline);
    }
    bool is_writable() const override { return waitFor(m_link.fd(), POLLOUT, Clock::now() + m_writeTimeout); }

    ssize_t read(char* data, size_t size) override
    {
        if (m_begin == m_end) {
            const bool direct = size >= sizeof m_buffer;
            const ssize_t n = m_link.receive(direct ? data : m_buffer, direct ? size : sizeof m_buffer, m_deadline);
            if (n <= 0)
                m_broken = true;
            if (n <= 0 || direct)
                return n;
            m_begin = 0;
            m_end = size_t(n);
        }
        const size_t n = std::min(size, m_end - m_begin);
        std::memcpy(data, m_buffer + m_begin, n);
        m_begin += n;
        return ssize_t(n);
    }

    ssize_t write(const char* data, size_t size) override
    {
        for (size_t done = 0; done < size;) {
            const ssize_t n = m_link.send(data + done, size - done, Clock::now() + m_writeTimeout);
            if (n <= 0)
                return -1;
            done += size_t(n);
        }
        return ssize_t(size);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (::getpeername(m_link.fd(), reinterpret_cast<sockaddr*>(&address), &length) == 0)
            describe(address, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (::getsockname(m_link.fd(), reinterpret_cast<sockaddr*>(&address), &length) == 0)
            describe(address, ip, port);
    }
    socket_t socket() const override { return m_link.fd(); }

private:
    static void describe(const sockaddr_storage& address, std::string& ip, int& port)
    {
        char text[INET6_ADDRSTRLEN] = {};
        if (address.ss_family == AF_INET) {
            const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
            ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
            port = ntohs(v4.sin_port);
        } else if (address.ss_family == AF_INET6) {
            const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
            ::inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
            port = ntohs(v6.sin6_port);
        }
        ip = text;
    }

    Link& m_link;
    const RequestLimits& m_limits;
    std::chrono::seconds m_writeTimeout;
    Clock::time_point m_start{}, m_deadline{};
    bool m_closing = false;
    bool m_broken = false;
    char m_buffer[4096];
    size_t m_begin = 0, m_end = 0;
};

thread_local BoundedStream* serving = nullptr;

// cpp-httplib's keep-alive loop over a BoundedStream: each request on the connection gets its
// own deadline; after stop() only a request already sent is answered.
class ListenQueue {
public:
    virtual ~ListenQueue() = default;
    virtual void widen() = 0;
};

template <class Base>
class Bounded : public Base, public ListenQueue {
public:
    template <class... Args>
    explicit Bounded(const RequestLimits& limits, Args&&... args) : Base(std::forward<Args>(args)...), m_limits(limits)
    {
    }

    // Listening again on a bound socket only changes the length of its queue.
    void widen() override
    {
        if (this->svr_sock_ != INVALID_SOCKET)
            ::listen(this->svr_sock_, SOMAXCONN);
    }

protected:
    void serve(Link& link)
    {
        BoundedStream stream(link, m_limits, std::chrono::seconds(this->write_timeout_sec_));
        serving = &stream;
        for (size_t left = this->keep_alive_max_count_; left > 0; --left) {
            const bool stopping = this->svr_sock_ == INVALID_SOCKET;
            // A new connection is given the time its headers are given: on a busy machine the
            // client's first bytes may be retransmitted after the keep-alive time has gone by.
            const bool first = left == this->keep_alive_max_count_;
            const std::chrono::milliseconds idle = stopping ? std::chrono::milliseconds(0)
                                                 : first    ? m_limits.headers
                                                            : std::chrono::seconds(this->keep_alive_timeout_sec_);
            if (!stream.awaitRequest(idle))
                break;
            stream.startRequest();
            bool closed = false;
            if (!this->process_request(stream, left == 1 || stopping, closed, nullptr) || closed || stopping
                || stream.closing())
                break;
        }
        serving = nullptr;
    }

    static void hangUp(socket_t sock)
    {
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
    }

    const RequestLimits m_limits;
};

class PlainServer : public Bounded<httplib::Server> {
public:
    using Bounded::Bounded;

private:
    bool process_and_close_socket(socket_t sock) override
    {
        {
            PlainLink link(sock);
            serve(link);
        }
        hangUp(sock);
        return true;
    }
};

class TlsServer : public Bounded<httplib::SSLServer> {
public:
    TlsServer(const RequestLimits& limits, const QString& certificateFile, const QString& keyFile)
        : Bounded(limits, certificateFile.toLocal8Bit().constData(), keyFile.toLocal8Bit().constData())
    {
        if (SSL_CTX* context = ssl_context()) {
            SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
            SSL_CTX_set_cipher_list(context, tls12Ciphers);
            SSL_CTX_set_options(context, SSL_OP_CIPHER_SERVER_PREFERENCE | SSL_OP_NO_RENEGOTIATION);
        }
    }

private:
    bool process_and_close_socket(socket_t sock) override
    {
        {
            TlsLink link(sock, ssl_context());
            if (link.handshake(Clock::now() + m_limits.headers))
                serve(link);
        }
        hangUp(sock);
        return true;
    }
};

} // namespace

std::unique_ptr<httplib::Server> makeBoundedServer(const RequestLimits& limits, const QString& certificateFile,
                                                   const QString& keyFile)
{
    if (certificateFile.isEmpty() || keyFile.isEmpty())
        return std::make_unique<PlainServer>(limits);
    return std::make_unique<TlsServer>(limits, certificateFile, keyFile);
}

void widenListenQueue(httplib::Server& server)
{
    if (auto* queue = dynamic_cast<ListenQueue*>(&server))
        queue->widen();
}

namespace currentConnection {

void allowBody(qint64 bytes)
{
    if (serving)
        serving->allowBody(bytes);
}

void closeAfterAnswer()
{
    if (serving)
        serving->closeAfterAnswer();
}

} // namespace currentConnection

} // namespace appserver
