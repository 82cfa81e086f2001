#include "support/http_test_server.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace quillmere::testing {

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QByteArray header(int status, qsizetype length, const QByteArray& extra = {})
{
    return "HTTP/1.1 " + QByteArray::number(status) + " " + reasonPhrase(status)
           + "\r\nContent-Length: " + QByteArray::number(length) + "\r\nContent-Type: application/octet-stream\r\n"
           + extra + "Connection: close\r\n\r\n";
}

} // namespace

HttpTestServer::HttpTestServer(Handler handler) : handler_(std::move(handler))
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection())
            serve(socket);
    });
}

HttpTestServer::~HttpTestServer() = default;

void HttpTestServer::serve(QTcpSocket* socket)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        if (socket->property("answered").toBool())
            return;
        QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (!request.contains("\r\n\r\n"))
            return;
        socket->setProperty("answered", true);
        const QByteArray path = request.split(' ').value(1);
        requests_ << path;
        answer(socket, path);
    });
}

void HttpTestServer::answer(QTcpSocket* socket, const QByteArray& path)
{
    const Reply reply = handler_(path);
    switch (reply.mode) {
    case Reply::Mode::Normal:
        socket->write(header(reply.status, reply.body.size()) + reply.body);
        socket->disconnectFromHost();
        return;
    case Reply::Mode::NeverAnswer: return;
    case Reply::Mode::ResetMidBody:
        socket->write(header(reply.status, reply.body.size()) + reply.body.left(reply.body.size() / 2));
        socket->flush();
        socket->abort();
        return;
    case Reply::Mode::Deflated: {
        const QByteArray deflated = qCompress(reply.body).mid(4); // a zlib stream without Qt's length
        socket->write(header(reply.status, deflated.size(), "Content-Encoding: deflate\r\n") + deflated);
        socket->disconnectFromHost();
        return;
    }
    case Reply::Mode::ShortBody:
        socket->write(header(reply.status, reply.body.size() + 1000) + reply.body);
        socket->disconnectFromHost();
        return;
    case Reply::Mode::Slow: {
        socket->write(header(reply.status, reply.body.size()));
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, sent, reply] {
            socket->write(reply.body.mid(*sent, reply.chunk));
            *sent += reply.chunk;
            if (*sent >= reply.body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start(reply.intervalMs);
        return;
    }
    }
}

} // namespace quillmere::testing
