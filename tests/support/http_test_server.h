#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QTcpServer>

class QTcpSocket;

namespace quillmere::testing {

// A small HTTP/1.1 server for tests, on 127.0.0.1 and a free port, answering each GET as the
// test's handler says, including the ways real servers go wrong.
class HttpTestServer : public QObject {
    Q_OBJECT
public:
    struct Reply {
        enum class Mode {
            Normal,       // the whole reply, then the connection closes
            NeverAnswer,  // reads the request and says nothing
            Slow,         // the body in chunks of `chunk` bytes every `intervalMs`
            ResetMidBody, // headers and half the body, then a connection reset
            ShortBody,    // Content-Length promises more than the body, then a clean close
            Deflated,     // the body sent with Content-Encoding: deflate, its length the deflated one
        };
        int status = 200;
        QByteArray body;
        Mode mode = Mode::Normal;
        int chunk = 0;
        int intervalMs = 0;
    };
    using Handler = std::function<Reply(const QByteArray& path)>;

    explicit HttpTestServer(Handler handler);
    ~HttpTestServer() override;

    quint16 port() const { return server_.serverPort(); }
    QByteArray hostAndPort() const { return "127.0.0.1:" + QByteArray::number(port()); }
    // The paths requested so far, in order.
    const QList<QByteArray>& requests() const { return requests_; }
    void setHandler(Handler handler) { handler_ = std::move(handler); }

private:
    void serve(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QByteArray& path);

    QTcpServer server_;
    Handler handler_;
    QList<QByteArray> requests_;
};

} // namespace quillmere::testing
