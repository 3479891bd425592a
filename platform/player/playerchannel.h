#pragma once

#include <QByteArray>
#include <QObject>
#include <QVariantList>

class QSocketNotifier;

namespace kivora {

// One end of the socket between the program and its player process: numbered messages with
// a few arguments each, in order. Both ends are the same executable, so they always speak
// the same messages.
class PlayerChannel : public QObject
{
    Q_OBJECT
public:
    enum Message : qint32 {
        // From the program.
        Attach,      // width, height: the player's window sits in a view of that size
        Resize,      // width, height
        Detach,      // the page goes; the window stays for the next holder
        Load,        // generation, address, settings (JSON)
        Stop,
        Pause,       // generation
        Resume,      // generation
        Prepare,     // settings (JSON)
        Recycle,
        AddMovie,    // the program's address for it, the movie
        RemoveMovie, // the program's address
        Key,         // event type, key, modifiers, text, auto-repeat
        // From the player process.
        Window,      // the id of the X window the page is drawn in
        Loaded,      // generation
        Failed,      // generation, reason
        PageLost,    // reason
        ResumeRefused, // generation: the page no longer had that movie
    };
    Q_ENUM(Message)

    // Takes over descriptor, one end of a connected stream socket.
    PlayerChannel(int descriptor, QObject *parent);
    ~PlayerChannel() override;

    void send(Message message, const QVariantList &arguments = {});
    bool connected() const;

Q_SIGNALS:
    void received(kivora::PlayerChannel::Message message, const QVariantList &arguments);
    void disconnected();

private:
    void readMessages();
    void writePending();
    void close();

    int m_descriptor;
    QSocketNotifier *m_readable;
    QSocketNotifier *m_writable;
    QByteArray m_received; // what has come of messages not yet whole
    QByteArray m_pending;  // what the socket has not taken yet
};

} // namespace kivora
