// One libFuzzer program per target; QUADRELA_FUZZ_TARGET names the entry it drives.
#include "entries.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

quadrela::fuzz::Entry g_entry = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_entry = quadrela::fuzz::entryFor(QStringLiteral(QUADRELA_FUZZ_TARGET));
    if (!g_entry) {
        std::fprintf(stderr, "unknown fuzz target %s\n", QUADRELA_FUZZ_TARGET);
        std::abort();
    }
    quadrela::fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_entry(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
