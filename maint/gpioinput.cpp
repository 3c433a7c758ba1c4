#include "maint/gpioinput.h"

#include <gpiod.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {
class LibgpiodInput final : public GpioInput
{
public:
    LibgpiodInput(gpiod_chip *chip, gpiod_line *line) : chip_(chip), line_(line) {}
    ~LibgpiodInput() override
    {
        gpiod_line_release(line_);
        gpiod_chip_close(chip_);
    }

    int level() override { return gpiod_line_get_value(line_); }

    bool waitForChange(int timeoutMs) override
    {
        timespec timeout{timeoutMs / 1000, long(timeoutMs % 1000) * 1000000L};
        const int r = gpiod_line_event_wait(line_, &timeout);
        if (r < 0)
            return errno == EINTR;
        if (r == 0)
            return true;
        // Drain every queued edge (a bouncing contact queues many), or the
        // next wait would return at once and the watcher would spin.
        gpiod_line_event events[16];
        return gpiod_line_event_read_multiple(line_, events, 16) >= 0;
    }

private:
    gpiod_chip *chip_;
    gpiod_line *line_;
};
} // namespace

std::unique_ptr<GpioInput> GpioInput::open(const QString &chipPath, unsigned offset, const char *consumer,
                                           QString *why)
{
    gpiod_chip *chip = gpiod_chip_open(chipPath.toLocal8Bit().constData());
    if (!chip) {
        *why = QStringLiteral("%1: %2").arg(chipPath, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    gpiod_line *line = offset < gpiod_chip_num_lines(chip) ? gpiod_chip_get_line(chip, offset) : nullptr;
    // Bias as it is: the pull-up is set at construction, as on every unit.
    if (!line || gpiod_line_request_both_edges_events(line, consumer) < 0) {
        *why = QStringLiteral("%1 line %2: %3").arg(chipPath).arg(offset).arg(QString::fromLocal8Bit(std::strerror(errno)));
        gpiod_chip_close(chip);
        return nullptr;
    }
    return std::make_unique<LibgpiodInput>(chip, line);
}
