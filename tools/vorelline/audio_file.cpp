#include "tools/vorelline/audio_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sndfile.h>

namespace {
std::string LowerExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}
} // namespace

bool ReadFirstChannel(const std::string& path, MonoAudio& audio, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read audio file \"" + path + "\": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate <= 0) {
        sf_close(file);
        error = "audio file \"" + path + "\" has no channels or no sample rate";
        return false;
    }
    audio.sampleRate = info.samplerate;
    audio.samples.clear();
    const std::size_t channels = static_cast<std::size_t>(info.channels);
    std::vector<double> block(4096 * channels);
    for (;;) {
        const sf_count_t got = sf_readf_double(file, block.data(), 4096);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i)
            audio.samples.push_back(block[static_cast<std::size_t>(i) * channels]);
    }
    sf_close(file);
    // Float files can carry NaN or infinity; no microphone records them, and the engine must not see them.
    for (double v : audio.samples)
        if (!std::isfinite(v)) {
            error = "audio file \"" + path + "\" contains samples that are not finite numbers";
            return false;
        }
    return true;
}

bool WriteMono(const std::string& path, const MonoAudio& audio, std::string& error) {
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = static_cast<int>(audio.sampleRate);
    const std::string ext = LowerExtension(path);
    if (ext == "flac")
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    else if (ext == "aif" || ext == "aiff")
        info.format = SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
    else
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write audio file \"" + path + "\": " + sf_strerror(nullptr);
        return false;
    }
    // FLAC holds integers: keep full-scale peaks from wrapping.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const sf_count_t frames = static_cast<sf_count_t>(audio.samples.size());
    const bool ok = sf_writef_double(file, audio.samples.data(), frames) == frames;
    sf_close(file);
    if (!ok) error = "could not write all of \"" + path + "\"";
    return ok;
}
