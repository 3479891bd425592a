#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>

class QTcpServer;
class QTcpSocket;

// A tiny HTTP/1.0 server on 127.0.0.1 for the player tests: answers GET with the bodies
// it was given, records the raw request paths, and can hold a path's answer back.
class LoopbackServer : public QObject
{
    Q_OBJECT
public:
    explicit LoopbackServer(QObject *parent = nullptr);

    quint16 port() const;
    void setBody(const QByteArray &rawPath, const QByteArray &body);
    // Requests for rawPath wait (connection open, nothing sent) until release().
    void hold(const QByteArray &rawPath);
    void release(const QByteArray &rawPath);

    QList<QByteArray> requestedPaths() const { return m_requestedPaths; }
    int connections() const { return m_connections; }
    int heldOpen() const;

private:
    void onConnection();
    void onReadable(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &rawPath);

    QTcpServer *m_server;
    QHash<QByteArray, QByteArray> m_bodies;
    QSet<QByteArray> m_held;
    QList<QPair<QTcpSocket *, QByteArray>> m_waiting;
    QList<QByteArray> m_requestedPaths;
    int m_connections = 0;
};
