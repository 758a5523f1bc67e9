// xm2wav: renders an extended module to a WAV file with the intro's player.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/xm2wav/options.h"
#include "tools/xm2wav/render.h"
#include "tools/xm2wav/terminal.h"
#include "tools/xm2wav/wav_sink.h"

namespace {

// The memory file counts in 32 bits; no real module comes near this.
constexpr long kLargestModule = 256L * 1024 * 1024;

int Fail(const std::string& message) {
    std::fprintf(stderr, "xm2wav: %s\n", message.c_str());
    return 1;
}

bool ReadModule(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes->insert(bytes->end(), chunk, chunk + got);
        if (static_cast<long>(bytes->size()) > kLargestModule) {
            *error = "'" + path + "' is too large to be a module";
            ok = false;
            break;
        }
        if (got < sizeof chunk) {
            if (std::ferror(file)) {
                *error = "cannot read '" + path + "': " + std::strerror(errno);
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "xm2wav: %s (try 'xm2wav --help')\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    std::vector<std::uint8_t> module;
    if (!ReadModule(options.input, &module, &error)) return Fail(error);

    WavSink sink;
    if (!sink.open(options.output, options.rate, &error)) return Fail(error);
    RenderRequest request;
    request.module = &module;
    request.rate = options.rate;
    request.frames = options.seconds < 0.0 ? -1 : std::llround(options.seconds * options.rate);
    request.progress = !options.quiet && IsTerminal(stderr);
    bool rendered = RenderModule(request, &sink, &error);
    std::string closeError;
    bool closed = sink.close(&closeError);
    if (!rendered) {
        if (options.output != "-") std::remove(options.output.c_str());
        return Fail("'" + options.input + "': " + error);
    }
    if (!closed) return Fail(closeError);
    return 0;
}
