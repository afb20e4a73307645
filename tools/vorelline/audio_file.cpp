#include "tools/vorelline/audio_file.h"

#include "tools/vorelline/input_check.h"
#include "tools/vorelline/output_file.h"
#include "tools/vorelline/progress_reporter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
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

long long Frames(double count) {
    return std::isfinite(count) ? static_cast<long long>(std::clamp(count, 0.0, 1e15)) : 0;
}

// What the header of a cut file promised, from the library's log of its header: WAV-like files log
// "data : <bytes> (should be <bytes>)", AIFF "Frame count read from 'COMM' chunk (<frames>)".
long long FramesPromised(SNDFILE* file, long long framesInInfo) {
    std::string log(8192, '\0');
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    log.resize(std::min(log.find('\0'), log.size()));
    // Read as doubles: a hostile header's counts may be beyond any integer.
    double frames = 0.0, said = 0.0, real = 0.0;
    if (const std::size_t at = log.find("from 'COMM' chunk (");
        at != std::string::npos && std::sscanf(log.c_str() + at, "from 'COMM' chunk (%lf)", &frames) == 1)
        return Frames(frames);
    if (const std::size_t at = log.find("\ndata : ");
        at != std::string::npos &&
        std::sscanf(log.c_str() + at, "\ndata : %lf (should be %lf)", &said, &real) == 2 && real > 0.0 &&
        said > real)
        return Frames(static_cast<double>(framesInInfo) * said / real);
    return framesInInfo;
}

// Frames moved per library call (values, for interleaved reads): progress is updated between calls.
constexpr sf_count_t kChunkFrames = 1 << 18;
} // namespace

void WarnIfShorterThanHeader(const std::string& path, sf_private_tag* file, long long framesInInfo,
                             long long framesHeld, double sampleRate) {
    const long long promised = std::max(framesInInfo, FramesPromised(file, framesInInfo));
    if (framesHeld >= promised) return;
    ClearProgressLine();
    std::fprintf(stderr,
                 "vorelline: warning: %s is shorter than its header says: it holds %lld samples (%.2f s) of "
                 "the %lld (%.2f s) promised, and only those are used\n",
                 path.c_str(), framesHeld, static_cast<double>(framesHeld) / sampleRate, promised,
                 static_cast<double>(promised) / sampleRate);
}

bool ReadFirstChannel(const std::string& path, MonoAudio& audio, std::string& error,
                      const ReadOptions& options) {
    if (const std::string why = WhyUnreadable(path); !why.empty()) {
        error = "cannot read audio file \"" + path + "\": " + why;
        return false;
    }
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
    // What the file holds: all the library found, unless reading stopped before that.
    if (info.frames > 0)
        WarnIfShorterThanHeader(path, file, info.frames, done < limit ? done : info.frames, audio.sampleRate);
    sf_close(file);
    // Float files can carry NaN or infinity; no microphone records them, and the engine must not see them.
    for (double v : audio.samples)
        if (!std::isfinite(v)) {
            error = "audio file \"" + path + "\" contains samples that are not finite numbers";
            return false;
        }
    return true;
}

int MonoFormatFor(const std::string& path) {
    const std::string ext = LowerExtension(path);
    if (ext == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    if (ext == "aif" || ext == "aiff") return SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
    return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

namespace {
// libsndfile writing into memory: the file grows as it writes, and it seeks back for the header.
struct MemoryFile {
    std::vector<std::uint8_t>* bytes;
    sf_count_t at = 0;
};
sf_count_t MemoryLength(void* m) {
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(m)->bytes->size());
}
sf_count_t MemorySeek(sf_count_t offset, int whence, void* m) {
    auto* f = static_cast<MemoryFile*>(m);
    const sf_count_t base = whence == SEEK_CUR ? f->at : whence == SEEK_END ? MemoryLength(m) : 0;
    if (base + offset < 0) return -1;
    return f->at = base + offset;
}
sf_count_t MemoryRead(void* to, sf_count_t count, void* m) {
    auto* f = static_cast<MemoryFile*>(m);
    const sf_count_t n = std::clamp<sf_count_t>(MemoryLength(m) - f->at, 0, count);
    std::copy_n(f->bytes->data() + f->at, n, static_cast<std::uint8_t*>(to));
    f->at += n;
    return n;
}
sf_count_t MemoryWrite(const void* from, sf_count_t count, void* m) {
    auto* f = static_cast<MemoryFile*>(m);
    const auto end = static_cast<std::size_t>(f->at + count);
    if (end > f->bytes->size()) f->bytes->resize(end);
    std::copy_n(static_cast<const std::uint8_t*>(from), count, f->bytes->data() + f->at);
    f->at += count;
    return count;
}
sf_count_t MemoryTell(void* m) {
    return static_cast<MemoryFile*>(m)->at;
}
} // namespace

bool EncodeAudio(int format, int channels, int sampleRate, const std::vector<double>& interleaved,
                 std::vector<std::uint8_t>& encoded, std::string& error, ProgressReporter* progress,
                 const std::string& name) {
    encoded.clear();
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format;
    SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
    MemoryFile memory{&encoded};
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
    if (!file) {
        error = std::string("cannot make that audio format: ") + sf_strerror(nullptr);
        return false;
    }
    // Integer formats: a peak beyond full scale is clipped rather than wrapped around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
    if (progress) progress->Phase("writing " + name);
    bool ok = true;
    const sf_count_t chunk = std::max<sf_count_t>(1, kChunkFrames / channels);
    for (sf_count_t done = 0; ok && done < frames;) {
        const sf_count_t n = std::min(chunk, frames - done);
        ok = sf_writef_double(file, interleaved.data() + done * channels, n) == n;
        done += n;
        if (progress) progress->Update(static_cast<double>(done) / frames);
    }
    if (!ok) error = std::string("cannot encode the audio: ") + sf_strerror(file);
    ok = sf_close(file) == 0 && ok;
    return ok;
}

bool WriteMono(const std::string& path, const MonoAudio& audio, std::string& error,
               ProgressReporter* progress) {
    std::vector<std::uint8_t> encoded;
    return EncodeAudio(MonoFormatFor(path), 1, static_cast<int>(audio.sampleRate), audio.samples, encoded,
                       error, progress, BaseName(path)) &&
           WriteOutputFile(path, std::move(encoded), error);
}

ClippingCount CountClipping(const std::vector<double>& samples) {
    ClippingCount c;
    c.samples = static_cast<long long>(samples.size());
    for (double v : samples) {
        const double m = std::fabs(v);
        c.peak = std::max(c.peak, m);
        // Full scale itself is the largest integer, which is still exact.
        if (m > 1.0) ++c.clipped;
    }
    return c;
}

bool HoldsIntegers(int format) {
    const int subtype = format & SF_FORMAT_SUBMASK;
    return subtype != SF_FORMAT_FLOAT && subtype != SF_FORMAT_DOUBLE;
}
