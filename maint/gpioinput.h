#pragma once

#include <QString>

#include <memory>

struct gpiod_chip;
struct gpiod_line;

// One GPIO input line through the kernel's GPIO character device (libgpiod),
// requested for edge events, so a watcher sleeps in the kernel until the
// line changes instead of running a tool to sample it. Used only by the
// thread that opened it.
class GpioInput
{
public:
    virtual ~GpioInput() = default;

    // The level now: 0 or 1, or -1 when the line cannot be read.
    virtual int level() = 0;
    // Sleeps until the line changes or `timeoutMs` passes; the edges seen are
    // consumed, the caller reads level() for where the line is now. False
    // when waiting failed (the chip went away).
    virtual bool waitForChange(int timeoutMs) = 0;

    // Line `offset` of the chip at `chipPath`; nullptr (with `why` filled in)
    // when the chip is missing or refuses the line.
    static std::unique_ptr<GpioInput> open(const QString &chipPath, unsigned offset, const char *consumer,
                                           QString *why);
};
