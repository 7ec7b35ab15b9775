// libFuzzer target: the LZW decoder on arbitrary bytes. Whatever it accepts must fit the output
// bound and come back unchanged through the encoder and the decoder again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lzw_encode.h"
#include "quiz/lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    LzwOutput output;
    int status = lzwDecode(data, size, output);
    if (output.outputBufferFailed) {
        std::abort();  // nothing here runs out of memory
    }
    if (status != kLzwOk) {
        // Nine bits make a first code: only inputs of fewer than two bytes lack one.
        if (status != (size < 2 ? kLzwNoFirstCode : kLzwCorrupt)) {
            std::abort();
        }
        return 0;
    }
    if (output.bytes.empty() || output.bytes.size() > kLzwMaxOutput) {
        std::abort();
    }
    std::vector<unsigned char> stream = lzwEncode(output.bytes.data(), output.bytes.size());
    LzwOutput again;
    if (lzwDecode(stream.data(), stream.size(), again) != kLzwOk || again.bytes != output.bytes) {
        std::abort();
    }
    return 0;
}
