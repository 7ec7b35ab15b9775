// libFuzzer target: the LZW decoder on arbitrary bytes. Whatever it accepts must fit the output
// bound and come back unchanged through the encoder and the decoder again.
#include <cstdlib>

#include "lzw_encode.h"
#include "quiz/lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    LzwOutput output, again;
    const int status = lzwDecode(data, size, output);
    // Nothing here runs out of memory; nine bits make a first code, so only inputs under two bytes lack one.
    if (output.outputBufferFailed || (status != kLzwOk && status != (size < 2 ? kLzwNoFirstCode : kLzwCorrupt)))
        std::abort();
    if (status != kLzwOk) return 0;
    const std::vector<unsigned char> stream = lzwEncode(output.bytes.data(), output.bytes.size());
    if (output.bytes.empty() || output.bytes.size() > kLzwMaxOutput ||
        lzwDecode(stream.data(), stream.size(), again) != kLzwOk || again.bytes != output.bytes)
        std::abort();
    return 0;
}
