#include "tests/player/loopbackserver.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

LoopbackServer::LoopbackServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackServer::onConnection);
}

quint16 LoopbackServer::port() const
{
    return m_server->serverPort();
}

void LoopbackServer::setBody(const QByteArray &rawPath, const QByteArray &body)
{
    m_bodies.insert(rawPath, body);
}

void LoopbackServer::hold(const QByteArray &rawPath)
{
    m_held.insert(rawPath);
}

void LoopbackServer::release(const QByteArray &rawPath)
{
    m_held.remove(rawPath);
    const auto waiting = m_waiting;
    m_waiting.clear();
    for (const auto &[socket, path] : waiting) {
        if (path == rawPath)
            answer(socket, path);
        else
            m_waiting.append({socket, path});
    }
}

int LoopbackServer::heldOpen() const
{
    int open = 0;
    for (const auto &entry : m_waiting)
        open += entry.first->state() == QAbstractSocket::ConnectedState ? 1 : 0;
    return open;
}

void LoopbackServer::onConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        ++m_connections;
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
    }
}

void LoopbackServer::onReadable(QTcpSocket *socket)
{
    const QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", received);
    if (!received.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = received.left(received.indexOf("\r\n")).split(' ');
    const QByteArray rawPath = requestLine.value(1);
    m_requestedPaths.append(rawPath);
    if (m_held.contains(rawPath)) {
        m_waiting.append({socket, rawPath});
        return;
    }
    answer(socket, rawPath);
}

void LoopbackServer::answer(QTcpSocket *socket, const QByteArray &rawPath)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    const auto found = m_bodies.constFind(rawPath);
    const QByteArray status = found == m_bodies.constEnd() ? "404 Not Found" : "200 OK";
    const QByteArray body = found == m_bodies.constEnd() ? QByteArray("not here") : *found;
    socket->write("HTTP/1.0 " + status + "\r\nContent-Type: application/x-shockwave-flash\r\n"
                  "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}
