#include "tools/vorelline/audio_file.h"

#include "tools/vorelline/progress_reporter.h"

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

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Frames moved per library call (values, for interleaved reads): progress is updated between calls.
constexpr sf_count_t kChunkFrames = 1 << 18;
} // namespace

bool ReadFirstChannel(const std::string& path, MonoAudio& audio, std::string& error,
                      const ReadOptions& options) {
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
    // A stream of unknown length (no frame count) is read to its end: limit -1.
    sf_count_t limit = info.frames > 0 ? info.frames : -1;
    if (options.framesWanted) {
        const long long usable = options.framesWanted(audio.sampleRate);
        if (usable >= 0 && (limit < 0 || usable < limit)) limit = usable;
    }
    // The header's count only sizes the first allocation, and not beyond reason.
    audio.samples.reserve(static_cast<std::size_t>(std::clamp<sf_count_t>(limit, 0, sf_count_t{1} << 24)));
    if (options.progress) options.progress->Phase("reading " + BaseName(path));
    // Interleaved blocks of at most kChunkFrames values, whatever the channel count.
    const std::size_t channels = static_cast<std::size_t>(info.channels);
    const sf_count_t chunk = std::max<sf_count_t>(1, kChunkFrames / info.channels);
    std::vector<double> block(static_cast<std::size_t>(chunk) * channels);
    sf_count_t done = 0;
    while (limit < 0 || done < limit) {
        const sf_count_t ask = limit < 0 ? chunk : std::min(chunk, limit - done);
        const sf_count_t got = sf_readf_double(file, block.data(), ask);
        if (got <= 0) break;
        for (sf_count_t i = 0; i < got; ++i)
            audio.samples.push_back(block[static_cast<std::size_t>(i) * channels]);
        done += got;
        if (options.progress && limit > 0) options.progress->Update(static_cast<double>(done) / limit);
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

bool WriteMono(const std::string& path, const MonoAudio& audio, std::string& error,
               ProgressReporter* progress) {
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
    if (progress) progress->Phase("writing " + BaseName(path));
    bool ok = true;
    for (sf_count_t done = 0; ok && done < frames;) {
        const sf_count_t n = std::min(kChunkFrames, frames - done);
        ok = sf_writef_double(file, audio.samples.data() + done, n) == n;
        done += n;
        if (progress) progress->Update(static_cast<double>(done) / frames);
    }
    sf_close(file);
    if (!ok) error = "could not write all of \"" + path + "\"";
    return ok;
}
