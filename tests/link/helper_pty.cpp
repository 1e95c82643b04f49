#include "helper_pty.h"

#include <QDeadlineTimer>
#include <QThread>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyPeer::PtyPeer()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return;
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        ::close(m_master);
        m_master = -1;
        return;
    }
    m_path = QString::fromLocal8Bit(ptsname(m_master));
    // Held open so the line stays up between the port's opens and closes.
    m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_thread = std::thread([this] { run(); });
}

PtyPeer::~PtyPeer()
{
    hangUp();
}

void PtyPeer::hangUp()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
}

void PtyPeer::setResponder(Responder responder)
{
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
}

void PtyPeer::setReply(const QByteArray &reply)
{
    setResponder([reply](const QByteArray &) { return reply; });
}

QByteArray PtyPeer::received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

void PtyPeer::clearReceived()
{
    std::lock_guard lock(m_mutex);
    m_received.clear();
}

bool PtyPeer::waitForReceived(qsizetype bytes, int ms) const
{
    QDeadlineTimer deadline(ms);
    while (received().size() < bytes) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(2);
    }
    return true;
}

void PtyPeer::run()
{
    while (!m_stop) {
        if (!m_reading) {
            QThread::msleep(5);
            continue;
        }
        pollfd fd{m_master, POLLIN, 0};
        if (poll(&fd, 1, 10) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        Responder responder;
        QByteArray frames;
        {
            std::lock_guard lock(m_mutex);
            m_received.append(buffer, n);
            m_pending.append(buffer, n);
            responder = m_responder;
        }
        for (;;) {
            const qsizetype end = m_pending.indexOf('\r');
            if (end < 0)
                break;
            QByteArray frame = m_pending.left(end + 1);
            m_pending.remove(0, end + 1);
            // The LF of a CR LF frame comes before the next frame.
            while (frame.startsWith('\n'))
                frame.remove(0, 1);
            const QByteArray reply = responder ? responder(frame) : QByteArray();
            if (!reply.isEmpty()) {
                [[maybe_unused]] const ssize_t written =
                    ::write(m_master, reply.constData(), size_t(reply.size()));
            }
        }
    }
}
