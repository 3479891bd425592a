#include "platform/player/playerchannel.h"

#include <QDataStream>
#include <QIODevice>
#include <QSocketNotifier>
#include <QtEndian>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace kivora {

namespace {

// Each message goes as its length (4 bytes, big-endian) and its body.
constexpr qsizetype headerSize = 4;
// Orders and reports are small; anything larger is not from the other end.
constexpr quint32 largestMessage = 1 << 20;

} // namespace

PlayerChannel::PlayerChannel(int descriptor, QObject *parent)
    : QObject(parent)
    , m_descriptor(descriptor)
    , m_readable(new QSocketNotifier(descriptor, QSocketNotifier::Read, this))
    , m_writable(new QSocketNotifier(descriptor, QSocketNotifier::Write, this))
{
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | O_NONBLOCK);
    ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
    m_writable->setEnabled(false);
    connect(m_readable, &QSocketNotifier::activated, this, &PlayerChannel::readMessages);
    connect(m_writable, &QSocketNotifier::activated, this, &PlayerChannel::writePending);
}

PlayerChannel::~PlayerChannel()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool PlayerChannel::connected() const
{
    return m_descriptor >= 0;
}

void PlayerChannel::send(Message message, const QVariantList &arguments)
{
    if (!connected())
        return;
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << qint32(message) << arguments;
    char header[headerSize];
    qToBigEndian(quint32(body.size()), header);
    m_pending.append(header, headerSize).append(body);
    writePending();
}

void PlayerChannel::writePending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t written = ::send(m_descriptor, m_pending.constData(), size_t(m_pending.size()), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writable->setEnabled(true);
            return;
        }
        if (written < 0) {
            close();
            return;
        }
        m_pending.remove(0, written);
    }
    m_writable->setEnabled(false);
}

void PlayerChannel::readMessages()
{
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(m_descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (got <= 0) {
            close();
            return;
        }
        m_received.append(buffer, got);
    }
    while (m_received.size() >= headerSize) {
        const quint32 size = qFromBigEndian<quint32>(m_received.constData());
        if (size > largestMessage) {
            close();
            return;
        }
        if (m_received.size() < headerSize + qsizetype(size))
            return;
        QDataStream in(m_received.mid(headerSize, size));
        in.setVersion(QDataStream::Qt_6_4);
        m_received.remove(0, headerSize + size);
        qint32 message = 0;
        QVariantList arguments;
        in >> message >> arguments;
        if (in.status() == QDataStream::Ok)
            Q_EMIT received(static_cast<Message>(message), arguments);
    }
}

void PlayerChannel::close()
{
    if (m_descriptor < 0)
        return;
    m_readable->setEnabled(false);
    m_writable->setEnabled(false);
    ::close(m_descriptor);
    m_descriptor = -1;
    m_pending.clear();
    Q_EMIT disconnected();
}

} // namespace kivora
