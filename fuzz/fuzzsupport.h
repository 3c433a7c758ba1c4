#pragma once

// Shared by the fuzz targets: quiet logging (the parsers log what they drop,
// which would only slow the run down) and a check that stops the run with a
// finding when a parser breaks one of its own promises.

#include <QByteArray>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

inline void init()
{
    static const bool done = [] {
        qInstallMessageHandler(quiet);
        return true;
    }();
    (void)done;
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "broken promise: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

} // namespace fuzz
