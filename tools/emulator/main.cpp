// l4686sdk-emulator: behaves like an L4686SDK bus interface on a serial line, so that the
// terminal can be tried and tested without the adapter.

#include "emulator.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <getopt.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kUsage[] =
    "Usage: l4686sdk-emulator [OPTION]...\n"
    "Behave like an L4686SDK bus interface on a serial line.\n"
    "\n"
    "Creates a pseudo-terminal and prints the path of the device to open as the first line\n"
    "on standard output; serves until SIGINT or SIGTERM. Each time the received text ends\n"
    "with \"##\", all of it is one frame, answered with \"*#*1##\" when it is well formed\n"
    "(starts with \"*\", holds only digits, \"*\" and \"#\") and with \"*#*0##\" otherwise.\n"
    "\n"
    "Options:\n"
    "  --device PATH      serve an existing serial device (115200 8N1, raw) instead\n"
    "  --link PATH        also create a symbolic link PATH to the device, removed on exit\n"
    "                     (replaces a symbolic link, never any other file)\n"
    "  --silent           never answer\n"
    "  --delay MS         wait MS milliseconds before each answer\n"
    "  --split            send everything one byte at a time, 2 ms apart\n"
    "  --events MS        send a bus event every MS milliseconds, alternating\n"
    "                     \"*1*1*11##\" and \"*1*0*11##\"\n"
    "  --hangup-after MS  close the line after MS milliseconds, like an unplugged\n"
    "                     adapter, and exit\n"
    "  --log              after the first line, print each frame received (<-) and\n"
    "                     sent (->) with a time stamp; other bytes than printable ASCII\n"
    "                     appear as \\xHH; notes start with --\n"
    "  -h, --help         show this help and exit\n"
    "\n"
    "Exit status: 0 after SIGINT, SIGTERM or --hangup-after; 1 on errors; 2 on bad usage.\n";

int usageError(const char *message, const char *arg = nullptr)
{
    if (message)
        std::fprintf(stderr, "l4686sdk-emulator: %s%s%s\n", message, arg ? ": " : "",
                     arg ? arg : "");
    std::fputs(kUsage, stderr);
    return 2;
}

bool parseMs(const char *text, int minimum, int &value)
{
    errno = 0;
    char *end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < minimum || v > 24L * 3600 * 1000)
        return false;
    value = static_cast<int>(v);
    return true;
}

// Returns -1 when the options are fine, otherwise the exit code.
int parseOptions(int argc, char **argv, Options &opts)
{
    enum { Device = 256, Link, Silent, Delay, Split, Events, Hangup, Log };
    static const option longOptions[] = {
        {"device", required_argument, nullptr, Device},
        {"link", required_argument, nullptr, Link},
        {"silent", no_argument, nullptr, Silent},
        {"delay", required_argument, nullptr, Delay},
        {"split", no_argument, nullptr, Split},
        {"events", required_argument, nullptr, Events},
        {"hangup-after", required_argument, nullptr, Hangup},
        {"log", no_argument, nullptr, Log},
        {"help", no_argument, nullptr, 'h'},
        {nullptr, 0, nullptr, 0},
    };
    int c;
    while ((c = getopt_long(argc, argv, "h", longOptions, nullptr)) != -1) {
        switch (c) {
        case Device:
            opts.device = optarg;
            break;
        case Link:
            opts.link = optarg;
            break;
        case Silent:
            opts.silent = true;
            break;
        case Delay:
            if (!parseMs(optarg, 0, opts.delayMs))
                return usageError("bad --delay", optarg);
            break;
        case Split:
            opts.split = true;
            break;
        case Events:
            if (!parseMs(optarg, 1, opts.eventsMs))
                return usageError("bad --events", optarg);
            break;
        case Hangup:
            if (!parseMs(optarg, 0, opts.hangupMs))
                return usageError("bad --hangup-after", optarg);
            break;
        case Log:
            opts.log = true;
            break;
        case 'h':
            std::fputs(kUsage, stdout);
            return 0;
        default:
            return usageError(nullptr); // getopt_long already said what is wrong
        }
    }
    if (optind < argc)
        return usageError("unexpected argument", argv[optind]);
    return -1;
}

bool makeLink(const std::string &link, const std::string &target)
{
    struct stat st
    {
    };
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "refusing to replace %s: not a symbolic link\n", link.c_str());
            return false;
        }
        if (unlink(link.c_str()) != 0 && errno != ENOENT) {
            std::fprintf(stderr, "cannot remove %s: %s\n", link.c_str(), strerror(errno));
            return false;
        }
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "cannot create %s: %s\n", link.c_str(), strerror(errno));
        return false;
    }
    return true;
}

// Removes the link only while it is still ours, i.e. still points to our device.
void removeLink(const std::string &link, const std::string &target)
{
    char buf[PATH_MAX];
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf);
    if (n >= 0 && std::string(buf, static_cast<std::size_t>(n)) == target)
        unlink(link.c_str());
}

int signalPipe[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    if (write(signalPipe[1], &byte, 1) < 0) {
        // the pipe is full: a stop request is pending already
    }
    errno = saved;
}

bool installSignals()
{
    if (pipe(signalPipe) != 0)
        return false;
    for (int fd : signalPipe) {
        if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK) != 0 ||
            fcntl(fd, F_SETFD, FD_CLOEXEC) != 0)
            return false;
    }
    struct sigaction sa
    {
    };
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        if (sigaction(sig, &sa, nullptr) != 0)
            return false;
    }
    // A reader of our stdout that goes away must not kill us.
    sa.sa_handler = SIG_IGN;
    return sigaction(SIGPIPE, &sa, nullptr) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options opts;
    const int rc = parseOptions(argc, argv, opts);
    if (rc >= 0)
        return rc;

    if (!installSignals()) {
        std::perror("l4686sdk-emulator: signals");
        return 1;
    }
    Emulator emulator(opts);
    if (!emulator.open())
        return 1;
    if (!opts.link.empty() && !makeLink(opts.link, emulator.devicePath()))
        return 1;

    std::printf("%s\n", emulator.devicePath().c_str());
    std::fflush(stdout);

    const int code = emulator.run(signalPipe[0]);
    if (!opts.link.empty())
        removeLink(opts.link, emulator.devicePath());
    return code;
}
