// trenov5x-devsim: a simulated modem on a pseudo-terminal, for tests,
// demonstrations and training. It prints the path of its device end, then
// answers the device's commands there until it is stopped.
#include "Modem.h"

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

const char kHelp[] = R"(Usage: trenov5x-devsim [OPTIONS]

A simulated alarm modem on a pseudo-terminal. The first line on stdout is the
path of the device end (e.g. /dev/pts/3): open it at 115200 8N1 like the modem.

The modem answers:
  "READSTATUS" CR LF       "ALARM-MODEM VER <version>" CR LF
                           "DATA E ORA: <hh.mm.ss dd/mm/yy>" CR LF (its own clock)
  "DATORA hh.mi.ss dd/mo/yy" CR LF, every field two digits and a valid date:
                           sets its clock, "IMPOSTATA DATA E ORA!!" CR LF
                           (any other DATORA frame: no answer)
  "GO_TO_BOOT" CR          switches into the boot loader (no answer)
  "00000000500000" CR      "BOOT VER <boot version>" CR LF, in the boot loader only
In the boot loader only the probe is answered. Every frame received is logged
as hex and text ("rx ..."), every reply sent as "tx ...".

Options:
  --link PATH          also make a symbolic link PATH to the device end
                       (replaces an existing link; removed on exit)
  --log FILE           log to FILE instead of stderr
  --fw-version TEXT    firmware version in the status reply (default 1.0.4)
  --boot-version TEXT  boot loader version in the probe reply (default 1.2)
  --silent             answer nothing
  --garbage            answer every frame with 1000 bytes of noise
  --slow MS            wait MS milliseconds before each reply
  --split              send each reply in pieces of 8 bytes, 10 ms apart
  --wrong-clock-reply  confirm a clock setting in lower case
  --boot-after N       enter the boot loader on the N-th boot request
                       (default 1; 0 starts in the boot loader)
  --help               show this text

While running:
  SIGUSR1              toggle --silent (silence the modem mid-session)
  SIGUSR2              leave the boot loader: the application starts again
  SIGTERM, SIGINT      remove the --link and exit
)";

volatile sig_atomic_t g_stop = 0;
volatile sig_atomic_t g_toggleSilent = 0;
volatile sig_atomic_t g_restart = 0;
int g_wakeWrite = -1;

void onSignal(int signal)
{
    const int saved = errno;
    if (signal == SIGUSR1)
        g_toggleSilent = g_toggleSilent + 1;
    else if (signal == SIGUSR2)
        g_restart = 1;
    else
        g_stop = 1;
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = ::write(g_wakeWrite, &byte, 1);
    errno = saved;
}

struct Options
{
    devsim::Modem::Settings modem;
    std::string linkPath;
    std::string logPath;
    bool silent = false;
    int slowMs = 0;
    bool split = false;
};

FILE *g_log = stderr;

void logBytes(const char *direction, const QByteArray &bytes)
{
    std::string hex;
    std::string text;
    char cell[8];
    for (const char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        std::snprintf(cell, sizeof cell, hex.empty() ? "%02X" : " %02X", u);
        hex += cell;
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (u >= 0x20 && u < 0x7F && c != '\\')
            text += c;
        else {
            std::snprintf(cell, sizeof cell, "\\x%02X", u);
            text += cell;
        }
    }
    std::fprintf(g_log, "%s %s \"%s\"\n", direction, hex.c_str(), text.c_str());
    std::fflush(g_log);
}

void logNote(const char *note)
{
    std::fprintf(g_log, "-- %s\n", note);
    std::fflush(g_log);
}

void sleepMs(int ms)
{
    if (ms <= 0)
        return;
    timespec left{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR && !g_stop) {
    }
}

// The peer may not read for a while; a full queue drops the rest of a reply
// instead of blocking the modem.
void sendBytes(int master, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            logNote("reply dropped: the line is full");
            return;
        }
        done += n;
    }
}

void reply(int master, const QByteArray &bytes, const Options &options)
{
    sleepMs(options.slowMs);
    logBytes("tx", bytes);
    if (!options.split) {
        sendBytes(master, bytes);
        return;
    }
    for (qsizetype at = 0; at < bytes.size(); at += 8) {
        if (at > 0)
            sleepMs(10);
        sendBytes(master, bytes.mid(at, 8));
    }
}

bool parseInt(const char *text, int *value)
{
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < 0 || v > 1000000)
        return false;
    *value = int(v);
    return true;
}

// 0 to go on, otherwise the exit code.
int parseOptions(int argc, char **argv, Options *options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char **out) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "trenov5x-devsim: %s needs a value\n", arg.c_str());
                return false;
            }
            *out = argv[++i];
            return true;
        };
        const char *v = nullptr;
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return -1;
        } else if (arg == "--silent") {
            options->silent = true;
        } else if (arg == "--garbage") {
            options->modem.garbage = true;
        } else if (arg == "--split") {
            options->split = true;
        } else if (arg == "--wrong-clock-reply") {
            options->modem.wrongClockReply = true;
        } else if (arg == "--slow" || arg == "--boot-after") {
            int number = 0;
            if (!value(&v))
                return 2;
            if (!parseInt(v, &number)) {
                std::fprintf(stderr, "trenov5x-devsim: %s needs a whole number, not '%s'\n", arg.c_str(), v);
                return 2;
            }
            if (arg == "--slow")
                options->slowMs = number;
            else
                options->modem.bootAfter = number;
        } else if (arg == "--link" || arg == "--log" || arg == "--fw-version" || arg == "--boot-version") {
            if (!value(&v))
                return 2;
            if (arg == "--link")
                options->linkPath = v;
            else if (arg == "--log")
                options->logPath = v;
            else if (arg == "--fw-version")
                options->modem.firmwareVersion = v;
            else
                options->modem.bootVersion = v;
        } else {
            std::fprintf(stderr, "trenov5x-devsim: unknown option '%s' (see --help)\n", arg.c_str());
            return 2;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (const int code = parseOptions(argc, argv, &options))
        return code < 0 ? 0 : code;

    if (!options.logPath.empty()) {
        g_log = std::fopen(options.logPath.c_str(), "a");
        if (!g_log) {
            std::fprintf(stderr, "trenov5x-devsim: cannot write %s: %s\n", options.logPath.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fprintf(stderr, "trenov5x-devsim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    const std::string devicePath = ptsname(master);
    // Holding the device end open ourselves keeps the line up while the peer
    // opens and closes it: otherwise the last close hangs it up and every read
    // here fails with EIO until someone opens it again.
    const int slave = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        std::fprintf(stderr, "trenov5x-devsim: cannot open %s: %s\n", devicePath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    // Raw from the start: an echo would hand our own replies back to us before
    // the peer has set up the line.
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    cfsetispeed(&raw, B115200);
    cfsetospeed(&raw, B115200);
    tcsetattr(slave, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    if (!options.linkPath.empty()) {
        struct stat info;
        if (lstat(options.linkPath.c_str(), &info) == 0) {
            if (!S_ISLNK(info.st_mode)) {
                std::fprintf(stderr, "trenov5x-devsim: %s exists and is not a link\n",
                             options.linkPath.c_str());
                return 1;
            }
            ::unlink(options.linkPath.c_str());
        }
        if (::symlink(devicePath.c_str(), options.linkPath.c_str()) != 0) {
            std::fprintf(stderr, "trenov5x-devsim: cannot make the link %s: %s\n", options.linkPath.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }

    int wake[2];
    if (pipe(wake) != 0)
        return 1;
    fcntl(wake[0], F_SETFL, O_NONBLOCK);
    fcntl(wake[1], F_SETFL, O_NONBLOCK);
    g_wakeWrite = wake[1];
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", devicePath.c_str());
    std::fflush(stdout);

    devsim::Modem modem(options.modem);
    QByteArray received;
    int silentToggles = 0;
    while (!g_stop) {
        pollfd fds[2] = {{master, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (::read(wake[0], drain, sizeof drain) > 0) {
            }
        }
        if (g_toggleSilent != silentToggles) {
            const int toggles = g_toggleSilent;
            if ((toggles - silentToggles) % 2 != 0) {
                options.silent = !options.silent;
                logNote(options.silent ? "silent" : "answering again");
            }
            silentToggles = toggles;
        }
        if (g_restart) {
            g_restart = 0;
            modem.restart();
            logNote("application restarted");
        }
        if (!(fds[0].revents & (POLLIN | POLLHUP)))
            continue;
        char buffer[512];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO)
                break;
            continue;
        }
        received.append(buffer, n);

        // A frame ends at CR or LF; a CR LF pair belongs to one frame.
        for (;;) {
            qsizetype end = -1;
            for (qsizetype i = 0; i < received.size(); ++i) {
                if (received.at(i) == '\r' || received.at(i) == '\n') {
                    end = i;
                    break;
                }
            }
            if (end < 0)
                break;
            qsizetype next = end + 1;
            if (received.at(end) == '\r' && next < received.size() && received.at(next) == '\n')
                ++next;
            const QByteArray raw = received.left(next);
            const QByteArray frame = received.left(end);
            received.remove(0, next);
            if (frame.isEmpty())
                continue;
            logBytes("rx", raw);
            const QByteArray answer = modem.answer(frame);
            if (answer.isEmpty() || options.silent)
                continue;
            reply(master, answer, options);
        }
        // A peer that never ends its line must not grow the buffer for ever.
        if (received.size() > 4096) {
            logBytes("rx", received);
            received.clear();
        }
    }

    if (!options.linkPath.empty())
        ::unlink(options.linkPath.c_str());
    ::close(slave);
    ::close(master);
    return 0;
}
