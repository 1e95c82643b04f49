// What the simulated modem answers to each frame it receives: its own clock,
// its firmware and boot loader versions, the boot loader switch and the
// reply faults that live in the device itself.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QRandomGenerator>
#include <QString>

namespace devsim {

class Modem
{
public:
    struct Settings
    {
        QByteArray firmwareVersion = "1.0.4";
        QByteArray bootVersion = "1.2";
        int bootAfter = 1;            // boot requests needed to enter the boot loader
        bool wrongClockReply = false; // confirm the clock in lower case
        bool garbage = false;         // answer every frame with noise
    };

    explicit Modem(const Settings &settings);

    // The reply to one frame (its line end removed); empty for no reply.
    QByteArray answer(const QByteArray &frame);

    bool inBootLoader() const { return m_bootLoader; }
    // The application starts again (as after an update).
    void restart();
    QDateTime clock() const;

    static constexpr int kGarbageSize = 1000;

private:
    QByteArray statusReply() const;
    bool setClock(const QByteArray &frame);

    Settings m_settings;
    bool m_bootLoader = false;
    int m_bootRequests = 0;
    qint64 m_clockOffsetSecs = 0;
    QRandomGenerator m_noise{5819};
};

} // namespace devsim
