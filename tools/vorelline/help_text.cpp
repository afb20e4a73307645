#include "tools/vorelline/help_text.h"

#include "vst3/module_identity.h"

namespace {

constexpr std::size_t kLineWidth = 100;

// Prints `text` in words after a first column of `indent` characters, wrapping at kLineWidth.
void PrintWrapped(std::FILE* out, const std::string& text, std::size_t indent) {
    std::size_t column = indent;
    std::size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(at, end - at);
        if (!first && column + 1 + word.size() > kLineWidth) {
            std::fprintf(out, "\n%*s", static_cast<int>(indent), "");
            column = indent;
        } else if (!first) {
            std::fputc(' ', out);
            ++column;
        }
        std::fputs(word.c_str(), out);
        column += word.size();
        first = false;
        at = end + 1;
    }
    std::fputc('\n', out);
}

const OptionHelp kQuiet{"--quiet", "no progress display (default: progress while stderr is a terminal)"};

} // namespace

const std::vector<CommandHelp>& CommandHelps() {
    static const std::vector<CommandHelp> helps = {
        {"analyze",
         "vorelline analyze --reference REF --target TGT [--swap] [--high] [--calibration CAL] "
         "[--save-alg OUT.alg] [--png OUT.png] [--json] [--exact] [--max-boost DB]",
         "measure a correction from two recordings of the same sound",
         "Plays two recordings made at the same time, one by the reference (measurement) microphone and one\n"
         "by the microphone to correct, through the plug-in as a host would, and presses Start: the plug-in\n"
         "records 2^19 samples of both (10.9 s at 48 kHz, 11.9 s at 44.1 kHz; a longer file is cut there),\n"
         "analyses them and designs the correction, which is printed band by band. The first channel of\n"
         "each file is used (WAV, FLAC, AIFF); both must have the same sample rate.\n"
         "It also prints how far each band can be trusted (the coherence of the two recordings), what the\n"
         "capture checks found (clipping, a silent input, inverted polarity, the delay between the mics),\n"
         "and the protection the wanted response got: no correction where the microphones share little,\n"
         "no boost above the limit. A measurement with a silent input is refused (exit status 1).",
         {{"--reference FILE", "recording of the reference microphone (required)"},
          {"--target FILE", "recording of the microphone to correct (required)"},
          {"--swap", "feed the target to the first input and switch the plug-in's Inputs to match "
                     "(default: reference on the first input)"},
          {"--high", "high resolution: 120 semitone bands (default: normal resolution, 33 bands)"},
          {"--calibration FILE", "calibration file of the reference microphone, .frd, .cal or .txt (default: "
                                 "the first one in ~/Documents/Tessivane Vorelline/, as the plug-in does)"},
          {"--save-alg FILE", "also save the correction as a .alg file (default: not saved)"},
          {"--png FILE",
           "also write a picture of the plug-in's editor after the measurement (default: none)"},
          {"--json", "print JSON instead of a table (default: table)"},
          {"--exact", "the exact correction, without protection (default: protected)"},
          {"--max-boost DB",
           "largest boost of the protected correction in a band, 0 for no limit (default: 12)"},
          kQuiet},
         "vorelline analyze --reference measure-mic.wav --target vocal-mic.wav --save-alg vocal.alg"},
        {"design",
         "vorelline design --alg FILE [--rate R] [--png OUT.png] [--json]",
         "redesign the correction stored in a .alg file",
         "Loads a .alg correction file as the editor's Load button does and prints the correction the\n"
         "plug-in designs from it at the given sample rate.",
         {{"--alg FILE", "the correction file (required)"},
          {"--rate R", "host sample rate in Hz, a whole number from 8000 to 768000 (default: 48000)"},
          {"--png FILE",
           "also write a picture of the plug-in's editor with the loaded correction (default: none)"},
          {"--json", "print JSON instead of a table (default: table)"},
          kQuiet},
         "vorelline design --alg vocal.alg --rate 44100"},
        {"apply",
         "vorelline apply FILE.alg IN... -o OUT [--output reference|target|corrected] [--allow-clipping]",
         "play audio files through a correction",
         "Loads a .alg correction file and plays audio through the plug-in on both of its inputs. With one\n"
         "input and OUT a file name: the first channel of IN, written to OUT, mono, at IN's sample rate;\n"
         "OUT's name picks the format: .flac gives 24-bit FLAC, .aif or .aiff 32-bit float AIFF, anything\n"
         "else 32-bit float WAV. With several inputs, or OUT an existing folder: every file is written into\n"
         "the folder OUT (made when missing) under its own name, in its own format, sample rate and channel\n"
         "count, every channel corrected on its own; one line per file and a summary are printed, and\n"
         "nothing is written when an output would replace an input or two inputs share a name (exit\n"
         "status 2). An output of integer samples (24-bit FLAC, or a batch input's 16- or 24-bit format)\n"
         "cannot hold a boost beyond full scale: such a file is not written unless --allow-clipping is\n"
         "given; the tool prints how many samples would clip and the peak in dBFS, so that a float file\n"
         "(.wav, .aif) or a lower Gain can be chosen instead. Float outputs never clip.",
         {{"FILE.alg", "the correction file (required)"},
          {"IN...", "the audio files to play, one or more (required)"},
          {"-o OUT", "the audio file to write, or the folder for several (required)"},
          {"--output WHAT", "what the plug-in plays: reference (the first input through the calibration "
                            "correction), target (the second input, scaled by the file's gain) or corrected "
                            "(default: corrected)"},
          {"--allow-clipping", "write an integer output even when samples clip at full scale, with a warning "
                               "that counts them (default: such an output is refused, exit status 1)"},
          kQuiet},
         "vorelline apply vocal.alg take1.wav take2.flac -o corrected/"},
        {"export",
         "vorelline export FILE.alg [--ir OUT.wav] [--length N] [--peq OUT.txt] [--rate R]",
         "write a correction as an impulse response or as parametric-EQ lines",
         "Loads a .alg correction file as `apply` does and writes the corrected target's filter for other\n"
         "programs: --ir as an impulse response (what the plug-in plays for a single click: minimum phase,\n"
         "mono, 32-bit float WAV) for a convolver, --peq as text lines that parametric equalizers read\n"
         "(a first line \"# Sample rate: R Hz...\", which they skip as a comment, \"Preamp: G dB\", then\n"
         "\"Filter n: ON PK Fc F Hz Gain G dB Q Q\"). Each of the plug-in's sections is a standard peaking\n"
         "filter, so the lines are exact up to their printed digits; the tool prints how close they come.\n"
         "Both are made for one sample rate: the plug-in designs its filters for the rate it runs at. The\n"
         "impulse response ends where the energy left after it is below -120 dB of the whole unless\n"
         "--length says otherwise; the tool prints the level error at 20 Hz, where the filters ring\n"
         "longest, for that length and for shorter powers of two.",
         {{"FILE.alg", "the correction file (required)"},
          {"--ir OUT.wav", "write the impulse response (default: not written; --ir or --peq is required)"},
          {"--length N",
           "impulse response length in samples (default: until it has decayed below -120 dB, the energy "
           "after its end against the whole)"},
          {"--peq OUT.txt",
           "write the parametric-EQ lines (default: not written; --ir or --peq is required)"},
          {"--rate R",
           "sample rate in Hz the filter is made for, a whole number from 8000 to 768000 (default: "
           "48000)"},
          kQuiet},
         "vorelline export vocal.alg --ir vocal-ir.wav --peq vocal-peq.txt --rate 44100"},
        {"calibration",
         "vorelline calibration FILE [--json]",
         "show a calibration file as the plug-in reads it",
         "Reads a calibration file (.frd, .cal or .txt: lines of frequency and level) as the plug-in\n"
         "does and prints its gain in each band.",
         {{"FILE", "the calibration file (required)"},
          {"--json", "print JSON instead of a table (default: table)"},
          kQuiet},
         "vorelline calibration measure-mic.frd"},
        {"info",
         "vorelline info FILE.alg [--json]",
         "show what a .alg file holds",
         "Prints the contents of a .alg correction file: the selections, the gain, both microphones'\n"
         "band levels, the measured difference and the drawn curve, in the 33 normal bands and the 120\n"
         "semitone bands of high resolution. The measured difference is what the correction works on: the\n"
         "target against the reference, level-matched (the gain is printed); \"-\" marks a band without a\n"
         "usable level, which the correction leaves alone. For a profile (a file measured against a\n"
         "measurement microphone) it is the microphone's own response.",
         {{"FILE.alg", "the correction file (required)"},
          {"--json", "print JSON instead of a table (default: table)"},
          kQuiet},
         "vorelline info vocal.alg --json"},
        {"combine",
         "vorelline combine A.alg --like B.alg -o OUT.alg [--exact] [--max-boost DB]",
         "make one microphone sound like another from their two profiles",
         "Makes the correction that turns microphone A into microphone B without having both in the room.\n"
         "Measure each microphone once against a measurement microphone, with that microphone's calibration\n"
         "file (vorelline analyze --calibration CAL ... --save-alg MIC.alg): each such .alg file is a\n"
         "profile of its microphone alone. Keep the files; any two of them combine into an ordinary .alg\n"
         "file whose measured difference is A's response against B's, band by band at both resolutions,\n"
         "level-matched as a measurement is, with a flat wanted response. It loads in the plug-in like any\n"
         "correction file, which then draws A against B; Inputs, Outputs and Resolution are those of A.alg,\n"
         "the gain is neutral.\n"
         "Both files must come from the same measurement microphone with its calibration file. A .alg file\n"
         "does not record how it was measured, so the tool cannot check this.\n"
         "What cannot be known is not corrected: a band where either file has no usable level (silent, or\n"
         "outside the recorded range) is left alone, and the command lists those bands. The boost limit\n"
         "applies as for analyze; the protection of bands where the microphones shared little needs the\n"
         "coherence of a recording, which a .alg file does not keep, so that part is not applied.",
         {{"A.alg", "profile of the microphone to correct (required)"},
          {"--like B.alg", "profile of the microphone it should sound like (required)"},
          {"-o OUT.alg", "the combined correction file to write (required)"},
          {"--exact", "the exact correction, without the boost limit (default: limited)"},
          {"--max-boost DB", "largest boost of the correction in a band, 0 for no limit (default: 12)"},
          kQuiet},
         "vorelline combine vocal-mic.alg --like studio-mic.alg -o vocal-like-studio.alg"},
        {"demo",
         "vorelline demo [--png OUT.png] [--json]",
         "measure and correct two built-in microphones",
         "Measures two simulated microphones (a flat reference and a target with a known response),\n"
         "corrects the target and measures again, and prints how closely the correction matches.",
         {{"--png FILE",
           "picture of the plug-in's editor after the measurement (default: vorelline-demo.png)"},
          {"--json", "print JSON instead of a table (default: table)"},
          kQuiet},
         "vorelline demo --png demo.png"},
    };
    return helps;
}

const CommandHelp* FindCommandHelp(const std::string& name) {
    for (const CommandHelp& h : CommandHelps())
        if (name == h.name) return &h;
    return nullptr;
}

const char* ToolVersion() {
    return module_identity::kVersion;
}

void PrintToolHelp(std::FILE* out) {
    std::fprintf(out,
                 "vorelline %s: measure, design, apply and inspect microphone corrections with the\n"
                 "Tessivane Vorelline plug-in's own engine and editor.\n\n"
                 "usage: vorelline COMMAND [OPTIONS]\n"
                 "       vorelline COMMAND --help     what COMMAND does, its options and an example\n"
                 "       vorelline --help | --version\n\ncommands:\n",
                 ToolVersion());
    for (const CommandHelp& h : CommandHelps())
        std::fprintf(out, "  %-12s %s\n", h.name, h.summary);
    std::fprintf(
        out,
        "\noptions of every command:\n  --quiet      no progress display (default: progress while "
        "stderr is a terminal)\n"
        "  --help, -h   help for the command\n\n"
        "microphone profiles:\n"
        "  Measure each microphone once against a measurement microphone with its calibration file and keep\n"
        "  the .alg files; `vorelline combine A.alg --like B.alg -o A-like-B.alg` then makes microphone A\n"
        "  sound like microphone B, neither of them measured against the other. Both files must come from\n"
        "  the same measurement microphone with its calibration file: the files cannot show it.\n\n"
        "exit status: 0 done, 1 a file was refused, could not be written or a measurement failed, 2 a\n"
        "usage error, or an output that is an input or another output of the command (nothing is written)\n\n"
        "every file is written whole or not at all: beside its target first, then put in its place; on a\n"
        "failure the old file is kept as it was and the reason is printed\n\n"
        "example:\n  vorelline analyze --reference measure-mic.wav --target vocal-mic.wav --save-alg "
        "vocal.alg\n  vorelline apply vocal.alg take1.wav -o take1-corrected.wav\n");
}

void PrintCommandHelp(const CommandHelp& h, std::FILE* out) {
    std::fprintf(out, "usage: %s\n\n%s\n\noptions:\n", h.usage, h.description);
    std::size_t width = 0;
    for (const OptionHelp& o : h.options)
        width = std::string(o.name).size() > width ? std::string(o.name).size() : width;
    for (const OptionHelp& o : h.options) {
        std::fprintf(out, "  %-*s  ", static_cast<int>(width), o.name);
        PrintWrapped(out, o.text, width + 4);
    }
    std::fprintf(out, "\nexample:\n  %s\n", h.example);
}

void PrintVersion(std::FILE* out) {
    std::fprintf(out, "vorelline %s\n", ToolVersion());
}
