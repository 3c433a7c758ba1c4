// The converter shim: preloaded (LD_PRELOAD) into a process that should meet
// a simulated I2C converter where the unit has its bus device.
//
// The simulated converter (SimConverter) listens on a SOCK_SEQPACKET socket
// placed where the bus device would be, for example <sysroot>/dev/i2c-1.
// Opening a path whose name starts with "i2c-" and that is such a socket
// connects to it instead of failing; from then on the shim serves the
// descriptor: the slave-select ioctl, write() and read() become one request
// and one reply each, with the errors a real bus gives (EREMOTEIO for a
// missing acknowledgement, ETIMEDOUT when the peer does not answer within a
// second, EIO when it went away). Every other descriptor and path passes
// straight to the C library, so the panel's own open/ioctl/write/read code
// is what runs.
//
// Built as a shared object on its own (not part of the simulated unit's
// static library), because its definitions of open, read, write, ioctl and
// close must replace the C library's only in processes that preload it.

#undef _FORTIFY_SOURCE

#include "sim/simconvwire.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <gpiod.h>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/types.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#define SHIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using OpenFn = int (*)(const char *, int, ...);
using Open2Fn = int (*)(const char *, int);
using ReadFn = ssize_t (*)(int, void *, size_t);
using ReadChkFn = ssize_t (*)(int, void *, size_t, size_t);
using WriteFn = ssize_t (*)(int, const void *, size_t);
using IoctlFn = int (*)(int, unsigned long, ...);
using CloseFn = int (*)(int);

template <typename Fn>
Fn nextSymbol(std::atomic<Fn> &cache, const char *name)
{
    Fn f = cache.load(std::memory_order_acquire);
    if (!f) {
        f = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
        cache.store(f, std::memory_order_release);
    }
    return f;
}

std::atomic<OpenFn> realOpen{nullptr};
std::atomic<OpenFn> realOpen64{nullptr};
std::atomic<Open2Fn> realOpen2{nullptr};
std::atomic<Open2Fn> realOpen64_2{nullptr};
std::atomic<ReadFn> realRead{nullptr};
std::atomic<ReadChkFn> realReadChk{nullptr};
std::atomic<WriteFn> realWrite{nullptr};
std::atomic<IoctlFn> realIoctl{nullptr};
std::atomic<CloseFn> realClose{nullptr};

// i2c-dev request numbers (linux/i2c-dev.h), spelled out so the shim does
// not depend on kernel headers.
constexpr unsigned long kI2cSlave = 0x0703;
constexpr unsigned long kI2cSlaveForce = 0x0706;
constexpr unsigned long kI2cFuncs = 0x0705;
constexpr unsigned long kI2cFuncI2c = 0x00000001;

// A handful of simulated buses at once is plenty; the common case (none
// open) costs one relaxed load per read or write of the whole process.
constexpr int kSlots = 8;
std::atomic<int> slotFd[kSlots] = {{-1}, {-1}, {-1}, {-1}, {-1}, {-1}, {-1}, {-1}};
std::atomic<int> trackedCount{0};
struct SlotState
{
    std::mutex lock;
    std::uint32_t seq = 0;
};
SlotState slotState[kSlots];

int findSlot(int fd)
{
    if (fd < 0 || trackedCount.load(std::memory_order_relaxed) == 0)
        return -1;
    for (int i = 0; i < kSlots; ++i)
        if (slotFd[i].load(std::memory_order_acquire) == fd)
            return i;
    return -1;
}

bool track(int fd)
{
    for (int i = 0; i < kSlots; ++i) {
        int expected = -1;
        if (slotFd[i].compare_exchange_strong(expected, fd)) {
            trackedCount.fetch_add(1);
            return true;
        }
    }
    return false;
}

void untrack(int slot)
{
    slotFd[slot].store(-1, std::memory_order_release);
    trackedCount.fetch_sub(1);
}

bool looksLikeBusDevice(const char *path)
{
    if (!path)
        return false;
    const char *base = std::strrchr(path, '/');
    base = base ? base + 1 : path;
    if (std::strncmp(base, "i2c-", 4) != 0)
        return false;
    struct stat st;
    return ::stat(path, &st) == 0 && S_ISSOCK(st.st_mode);
}

// Returns the connected descriptor, or -1 with errno set.
int connectBus(const char *path, int flags)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (std::strlen(path) >= sizeof(addr.sun_path)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::strcpy(addr.sun_path, path);
    const int type = SOCK_SEQPACKET | ((flags & O_CLOEXEC) ? SOCK_CLOEXEC : 0);
    const int fd = ::socket(AF_UNIX, type, 0);
    if (fd < 0)
        return -1;
    // A real adapter gives up on a transfer after about a second.
    timeval tv{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        const int e = errno;
        nextSymbol(realClose, "close")(fd);
        // The node is there but nothing serves it, as a device node without
        // its driver.
        errno = (e == ECONNREFUSED || e == ENOENT) ? ENXIO : e;
        return -1;
    }
    if (!track(fd)) {
        nextSymbol(realClose, "close")(fd);
        errno = EMFILE;
        return -1;
    }
    return fd;
}

// One request and its reply. Returns the reply's result (>= 0) or -1 with
// errno set.
ssize_t transact(int slot, int fd, SimConvWire::Op op, std::int32_t arg, const void *data, size_t len,
                 void *out, size_t outCap)
{
    using namespace SimConvWire;
    if (len > size_t(kMaxData) || outCap > size_t(kMaxData)) {
        errno = EINVAL;
        return -1;
    }
    std::lock_guard<std::mutex> guard(slotState[slot].lock);
    const std::uint32_t seq = ++slotState[slot].seq;

    unsigned char packet[sizeof(Request) + kMaxData];
    Request req{};
    req.seq = seq;
    req.op = op;
    req.arg = arg;
    std::memcpy(packet, &req, sizeof req);
    if (len)
        std::memcpy(packet + sizeof req, data, len);
    ssize_t sent;
    do {
        sent = ::send(fd, packet, sizeof req + len, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) {
        errno = (errno == EAGAIN || errno == EWOULDBLOCK) ? ETIMEDOUT : EIO;
        return -1;
    }

    for (;;) {
        unsigned char reply[sizeof(Reply) + kMaxData];
        const ssize_t got = ::recv(fd, reply, sizeof reply, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            errno = ETIMEDOUT;
            return -1;
        }
        if (got < ssize_t(sizeof(Reply))) {
            errno = EIO; // peer gone or a malformed packet
            return -1;
        }
        Reply rep;
        std::memcpy(&rep, reply, sizeof rep);
        if (rep.seq != seq)
            continue; // a late answer to a request that already timed out
        if (rep.result < 0) {
            errno = -rep.result;
            return -1;
        }
        const size_t carried = size_t(got) - sizeof rep;
        size_t n = size_t(rep.result);
        if (op == OpRead) {
            if (n > outCap)
                n = outCap;
            if (n > carried)
                n = carried;
            if (n)
                std::memcpy(out, reply + sizeof rep, n);
        }
        return ssize_t(n);
    }
}

// The shim should not follow the panel into the programs it starts, nor
// should the sanitizer runtime that was put ahead of it only for its sake
// (TVK_SIMCONV_RUNTIME names that one).
void removeSelfFromPreload()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void *>(&removeSelfFromPreload), &info) || !info.dli_fname)
        return;
    const char *self = std::strrchr(info.dli_fname, '/');
    self = self ? self + 1 : info.dli_fname;
    const char *preload = std::getenv("LD_PRELOAD");
    if (!preload)
        return;
    const char *runtimeEnv = std::getenv("TVK_SIMCONV_RUNTIME");
    const std::string runtime = runtimeEnv ? runtimeEnv : "";
    std::string kept;
    std::string entry;
    auto flush = [&] {
        if (entry.empty())
            return;
        const size_t slash = entry.rfind('/');
        const std::string base = slash == std::string::npos ? entry : entry.substr(slash + 1);
        if (base != self && (runtime.empty() || entry != runtime)) {
            if (!kept.empty())
                kept += ' ';
            kept += entry;
        }
        entry.clear();
    };
    for (const char *p = preload; *p; ++p) {
        if (*p == ' ' || *p == ':')
            flush();
        else
            entry += *p;
    }
    flush();
    ::unsetenv("TVK_SIMCONV_RUNTIME");
    if (kept.empty())
        ::unsetenv("LD_PRELOAD");
    else
        ::setenv("LD_PRELOAD", kept.c_str(), 1);
}

__attribute__((constructor)) void initShim()
{
    nextSymbol(realOpen, "open");
    nextSymbol(realRead, "read");
    nextSymbol(realWrite, "write");
    nextSymbol(realIoctl, "ioctl");
    nextSymbol(realClose, "close");
    removeSelfFromPreload();
}

int modeArgument(int flags, va_list ap)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(ap, int) : 0;
}

// The bus device goes to the simulated converter, every other path to the
// C library's own entry point `name`.
template <typename Fn, typename... Mode>
int openOrConnect(const char *path, int flags, std::atomic<Fn> &real, const char *name, Mode... mode)
{
    if (looksLikeBusDevice(path))
        return connectBus(path, flags);
    return nextSymbol(real, name)(path, flags, mode...);
}

} // namespace

// Lets a process see that the shim is loaded (SimConverter::preloadActive).
SHIM_EXPORT int tvk_simconv_shim_active()
{
    return 1;
}

SHIM_EXPORT int open(const char *path, int flags, ...)
{
    va_list ap;
    va_start(ap, flags);
    const int mode = modeArgument(flags, ap);
    va_end(ap);
    return openOrConnect(path, flags, realOpen, "open", mode);
}

SHIM_EXPORT int open64(const char *path, int flags, ...)
{
    va_list ap;
    va_start(ap, flags);
    const int mode = modeArgument(flags, ap);
    va_end(ap);
    return openOrConnect(path, flags, realOpen64, "open64", mode);
}

// The fortified entry points a compiler may call instead of open().
SHIM_EXPORT int __open_2(const char *path, int flags)
{
    return openOrConnect(path, flags, realOpen2, "__open_2");
}

SHIM_EXPORT int __open64_2(const char *path, int flags)
{
    return openOrConnect(path, flags, realOpen64_2, "__open64_2");
}

SHIM_EXPORT ssize_t read(int fd, void *buf, size_t count)
{
    const int slot = findSlot(fd);
    if (slot < 0)
        return nextSymbol(realRead, "read")(fd, buf, count);
    return transact(slot, fd, SimConvWire::OpRead, std::int32_t(count), nullptr, 0, buf, count);
}

SHIM_EXPORT ssize_t __read_chk(int fd, void *buf, size_t count, size_t buflen)
{
    const int slot = findSlot(fd);
    if (slot < 0)
        return nextSymbol(realReadChk, "__read_chk")(fd, buf, count, buflen);
    if (count > buflen)
        std::abort(); // what the C library does on this overflow
    return transact(slot, fd, SimConvWire::OpRead, std::int32_t(count), nullptr, 0, buf, count);
}

SHIM_EXPORT ssize_t write(int fd, const void *buf, size_t count)
{
    const int slot = findSlot(fd);
    if (slot < 0)
        return nextSymbol(realWrite, "write")(fd, buf, count);
    return transact(slot, fd, SimConvWire::OpWrite, std::int32_t(count), buf, count, nullptr, 0);
}

SHIM_EXPORT int ioctl(int fd, unsigned long request, ...)
{
    va_list ap;
    va_start(ap, request);
    void *arg = va_arg(ap, void *);
    va_end(ap);
    const int slot = findSlot(fd);
    if (slot < 0)
        return nextSymbol(realIoctl, "ioctl")(fd, request, arg);
    switch (request) {
    case kI2cSlave:
    case kI2cSlaveForce:
        return int(transact(slot, fd, SimConvWire::OpSelect, std::int32_t(reinterpret_cast<unsigned long>(arg)),
                            nullptr, 0, nullptr, 0));
    case kI2cFuncs:
        if (!arg) {
            errno = EFAULT;
            return -1;
        }
        *static_cast<unsigned long *>(arg) = kI2cFuncI2c;
        return 0;
    default:
        errno = ENOTTY;
        return -1;
    }
}

SHIM_EXPORT int close(int fd)
{
    const int slot = findSlot(fd);
    if (slot >= 0) {
        // Wait for a transfer another thread may still have in flight.
        std::lock_guard<std::mutex> guard(slotState[slot].lock);
        untrack(slot);
    }
    return nextSymbol(realClose, "close")(fd);
}

// ---------------------------------------------------------------------------
// The GPIO chip. A simulated unit that offers one (SimUnit::setGpioChip)
// places a plain file where the chip's device node would be, holding the
// power button's level ("0" pressed, "1" released). libgpiod's calls on that
// path meet a chip whose lines read that level and whose edge waits sleep
// until the file is rewritten (inotify); every other chip passes through to
// libgpiod. So the panel's own libgpiod code runs against the simulated unit.

namespace {
struct SimChip
{
    std::string file;
    int watch = -1; // inotify descriptor, while the line is requested
    unsigned char line; // what gpiod_chip_get_line hands out
};
std::mutex simChipsLock;
std::vector<SimChip *> simChips;

SimChip *simChipOf(const void *chipOrLine)
{
    std::lock_guard<std::mutex> g(simChipsLock);
    for (SimChip *c : simChips)
        if (chipOrLine == c || chipOrLine == &c->line)
            return c;
    return nullptr;
}

template <typename Fn>
Fn realGpiod(const char *name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

bool isSimChip(const char *path)
{
    struct stat st;
    const char *base = path ? std::strrchr(path, '/') : nullptr;
    return base && std::strncmp(base + 1, "gpiochip", 8) == 0 && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}
} // namespace

SHIM_EXPORT gpiod_chip *gpiod_chip_open(const char *path)
{
    if (!isSimChip(path))
        return realGpiod<gpiod_chip *(*)(const char *)>("gpiod_chip_open")(path);
    auto *chip = new SimChip{path, -1, 0};
    std::lock_guard<std::mutex> g(simChipsLock);
    simChips.push_back(chip);
    return reinterpret_cast<gpiod_chip *>(chip);
}

SHIM_EXPORT void gpiod_chip_close(gpiod_chip *chip)
{
    SimChip *c = simChipOf(chip);
    if (!c)
        return realGpiod<void (*)(gpiod_chip *)>("gpiod_chip_close")(chip);
    if (c->watch >= 0)
        ::close(c->watch);
    {
        std::lock_guard<std::mutex> g(simChipsLock);
        simChips.erase(std::find(simChips.begin(), simChips.end(), c));
    }
    delete c;
}

SHIM_EXPORT unsigned int gpiod_chip_num_lines(gpiod_chip *chip)
{
    if (!simChipOf(chip))
        return realGpiod<unsigned int (*)(gpiod_chip *)>("gpiod_chip_num_lines")(chip);
    return 54; // as the Pi's main chip
}

SHIM_EXPORT gpiod_line *gpiod_chip_get_line(gpiod_chip *chip, unsigned int offset)
{
    SimChip *c = simChipOf(chip);
    if (!c)
        return realGpiod<gpiod_line *(*)(gpiod_chip *, unsigned int)>("gpiod_chip_get_line")(chip, offset);
    return reinterpret_cast<gpiod_line *>(&c->line);
}

SHIM_EXPORT int gpiod_line_request_both_edges_events(gpiod_line *line, const char *consumer)
{
    SimChip *c = simChipOf(line);
    if (!c)
        return realGpiod<int (*)(gpiod_line *, const char *)>("gpiod_line_request_both_edges_events")(line, consumer);
    c->watch = inotify_init1(IN_CLOEXEC);
    if (c->watch < 0 || inotify_add_watch(c->watch, c->file.c_str(), IN_CLOSE_WRITE | IN_MODIFY) < 0)
        return -1;
    return 0;
}

SHIM_EXPORT void gpiod_line_release(gpiod_line *line)
{
    SimChip *c = simChipOf(line);
    if (!c)
        return realGpiod<void (*)(gpiod_line *)>("gpiod_line_release")(line);
    if (c->watch >= 0)
        ::close(c->watch);
    c->watch = -1;
}

SHIM_EXPORT int gpiod_line_get_value(gpiod_line *line)
{
    SimChip *c = simChipOf(line);
    if (!c)
        return realGpiod<int (*)(gpiod_line *)>("gpiod_line_get_value")(line);
    const int fd = ::open(c->file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    char level = '1';
    const ssize_t got = ::read(fd, &level, 1);
    ::close(fd);
    return got == 1 && level == '0' ? 0 : 1;
}

SHIM_EXPORT int gpiod_line_event_wait(gpiod_line *line, const timespec *timeout)
{
    SimChip *c = simChipOf(line);
    if (!c)
        return realGpiod<int (*)(gpiod_line *, const timespec *)>("gpiod_line_event_wait")(line, timeout);
    pollfd p{c->watch, POLLIN, 0};
    const int ms = timeout ? int(timeout->tv_sec * 1000 + timeout->tv_nsec / 1000000) : -1;
    const int r = ::poll(&p, 1, ms);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

SHIM_EXPORT int gpiod_line_event_read_multiple(gpiod_line *line, gpiod_line_event *events, unsigned int num)
{
    SimChip *c = simChipOf(line);
    if (!c)
        return realGpiod<int (*)(gpiod_line *, gpiod_line_event *, unsigned int)>("gpiod_line_event_read_multiple")(
            line, events, num);
    char buf[4096];
    const ssize_t got = ::read(c->watch, buf, sizeof buf);
    if (got < 0 || num == 0)
        return -1;
    events[0] = gpiod_line_event{};
    return 1;
}
