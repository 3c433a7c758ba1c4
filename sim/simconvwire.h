#pragma once

// Messages between the converter shim (sim/simconv_preload, loaded into the
// panel's process) and the simulated converter (SimConverter). The shim turns
// each transfer the panel makes on an I2C bus device into one request packet
// on a SOCK_SEQPACKET socket and waits for the matching reply. Both ends run
// on the same machine, so fields travel in native byte order.

#include <cstdint>

namespace SimConvWire {

enum Op : std::uint8_t {
    OpSelect = 'S', // slave select (I2C_SLAVE / I2C_SLAVE_FORCE); arg = address
    OpWrite = 'W',  // write transfer; data follows the header
    OpRead = 'R',   // read transfer; arg = byte count
};

struct Request
{
    std::uint32_t seq;   // echoed in the reply
    std::uint8_t op;
    std::uint8_t pad[3];
    std::int32_t arg;
};

struct Reply
{
    std::uint32_t seq;
    std::int32_t result; // >= 0: bytes transferred (or 0 for a select); < 0: -errno
};

// The most bytes one transfer carries; the panel's largest is three.
constexpr int kMaxData = 256;

} // namespace SimConvWire
