// The WAV check on arbitrary file bytes, for the usual device format and two odd ones. A
// refusal (BlitzfangError) is expected; a crash or a sanitizer report is a finding.

#include "media/WavCheck.h"
#include "platform/BlitzfangError.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const SoundDeviceFormat devices[] = {{}, {192000, 8, 4}, {8000, 1, 1}};
    for (const SoundDeviceFormat& device : devices) {
        try {
            const WavFormat format = checkWavBytes(bytes, "fuzz.wav", [&device] { return device; });
            playedFromFile(format, device);
        } catch (const BlitzfangError&) {
            // a refused sound: the player shows the message
        }
    }
    return 0;
}
