#pragma once

#include <QByteArray>

#include <cstdint>

// Rows of brenn_command_table: program-bus and preview-bus crosspoint
// selections, one per source BG, 1 to 6 and BK.
enum BRENN_COMMAND : int {
    BRENN_PGMBG = 0,
    BRENN_PGM1,
    BRENN_PGM2,
    BRENN_PGM3,
    BRENN_PGM4,
    BRENN_PGM5,
    BRENN_PGM6,
    BRENN_PGMBK,
    BRENN_PVWBG,
    BRENN_PVW1,
    BRENN_PVW2,
    BRENN_PVW3,
    BRENN_PVW4,
    BRENN_PVW5,
    BRENN_PVW6,
    BRENN_PVWBK,
    BRENN_COUNT,
};

struct brenn_command {
    int32_t cmd_id;
    int32_t cmd_length;
    unsigned char cmd_code[1024];
};

extern const brenn_command brenn_command_table[BRENN_COUNT + 1];

// Crosspoint commands of another switcher protocol, with its CRC-16
// (table-driven CRC-16/MODBUS). Carried beside the mainboard link; nothing in
// the panel sends these packets.
class CBrennProtocol
{
public:
    CBrennProtocol() = default;
    virtual ~CBrennProtocol();

    // The row's bytes plus a sum byte; empty for a row outside 0..15.
    QByteArray Get_BRENNCommandPacket(int row);
    // The same bytes written to `out` (room for cmd_length + 1 bytes);
    // returns their number, or 1 with nothing written for a row outside 0..15.
    int Get_BRENNCommandPacket_Code(int row, unsigned char *out);
    // Copies `len` bytes of `in` to `out` and applies Cal_Checksum there.
    int Get_BRENN_CalChecksumCode(int len, unsigned char *in, unsigned char *out);
    // CRC over data[0 .. len-3] starting from the register in data[len-2]
    // (high) and data[len-1] (low); `out` gets the data and the CRC low byte
    // first. `out` may be `data`. Returns 1, or 0 (nothing written) when
    // len < 2 or a pointer is null.
    int Cal_Checksum(unsigned char *data, int len, unsigned char *out);

    unsigned char CRC16_TABLE_HI(unsigned char index);
    unsigned char CRC16_TABLE_LO(unsigned char index);
};
