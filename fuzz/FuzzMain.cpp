// SPDX-License-Identifier: GPL-3.0-or-later
// A libFuzzer entry for one property of FuzzProperties, chosen at build time.
#include "FuzzProperties.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = (FuzzProperties::setUp(), true);
    Q_UNUSED(ready);
    const QString broken = FuzzProperties::PW_FUZZ_PROPERTY(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "property broken: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
