#pragma once

#include "tests/common/logcapture.h"
#include "tests/common/testsysroot.h"

#include <QString>

// A sudo stand-in that records like the fixture's, and carries out cp, mv
// and rm when every path it is given lies inside the sysroot; anything else
// is only recorded.
void installPassThroughSudo(const TestSysroot &root);

// A small valid JPEG, and the same file cut short (its header still reads
// as JPEG, the picture does not load).
QByteArray smallJpeg();
QByteArray truncatedJpeg();

// A stand-in at <sysroot>/sbin/ifconfig that prints `output`, recording its
// calls as "ifconfig".
void installSbinIfconfig(const TestSysroot &root, const QByteArray &output);
