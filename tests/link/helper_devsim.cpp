#include "helper_devsim.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <csignal>

QString DevSim::program()
{
    return QStringLiteral(TRENOV5X_PROGRAM_DIR "/trenov5x-devsim");
}

DevSim::DevSim(const QStringList &arguments, Plug plug)
{
    QStringList options{QStringLiteral("--log"), m_dir.filePath(QStringLiteral("devsim.log"))};
    if (plug == Plug::Pullable) {
        m_pulledPath = m_dir.filePath(QStringLiteral("ttyPULL"));
        options << QStringLiteral("--link") << m_pulledPath;
    }
    m_process.start(program(), options + arguments);
    if (!m_process.waitForStarted(5000))
        return;
    QDeadlineTimer deadline(5000);
    while (!m_process.canReadLine() && !deadline.hasExpired())
        m_process.waitForReadyRead(int(deadline.remainingTime()));
    m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    if (!m_pulledPath.isEmpty() && !m_path.isEmpty())
        m_path = m_pulledPath;
    // The fake update programs restart the device last started when they end
    // well, as a real update does.
    qputenv("TRENOV5X_TEST_DEVICE_PID", QByteArray::number(m_process.processId()));
}

DevSim::~DevSim()
{
    kill();
}

void DevSim::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    if (!m_pulledPath.isEmpty())
        QFile::remove(m_pulledPath);
}

void DevSim::sendSignal(int signal)
{
    if (m_process.state() == QProcess::Running)
        ::kill(pid_t(m_process.processId()), signal);
}

QString DevSim::log() const
{
    QFile file(m_dir.filePath(QStringLiteral("devsim.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}

bool DevSim::waitForFrames(int count, int ms) const
{
    QDeadlineTimer deadline(ms);
    for (;;) {
        const QStringList lines = log().split(u'\n');
        const auto frames = std::count_if(lines.begin(), lines.end(), [](const QString &line) {
            return line.startsWith(QLatin1String("rx "));
        });
        if (frames >= count)
            return true;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(5);
    }
}

devlink::BootAnswer probeBootLoader(devlink::DeviceLink &link)
{
    devlink::BootAnswer answer;
    answer.portError = link.sendBootProbe();
    if (!answer.portError.isEmpty())
        return answer;
    (void)QTest::qWaitFor([&] { return link.bootAnswerComplete(); }, 300);
    return link.readBootAnswer();
}

app::UpdateOutcome runUpdate(devlink::DeviceLink &link, const app::UpdateTimings &timings,
                             const app::UpdateRequest &request)
{
    app::UpdateService service(link);
    service.setTimings(timings);
    return service.runBlocking(request);
}
