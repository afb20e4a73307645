# Per switch logged by play_switches.lua, from the recorded output (left channel): the peak and the
# largest second difference |x[n] - 2x[n-1] + x[n-2]| in the switch stretch against the steady
# stretches before and after it, and the most energy above 2 kHz in 5 ms, in the switch stretch and
# in the steady ones.
# Usage: judge.py PLAY.log AUDIOFILES_FOLDER
import glob
import re
import sys

import numpy as np
import scipy.io.wavfile as wavfile
import scipy.signal as signal

log, folder = open(sys.argv[1]).read(), sys.argv[2]
rate, raw = wavfile.read(glob.glob(folder + "/*%L.wav")[0])
x = raw.astype(np.float64) / (2**31 if raw.dtype.kind == "i" else 1)
above2k = signal.sosfilt(signal.butter(4, 2000 / (rate / 2), "high", output="sos"), x)


def second_difference(s):
    return np.max(np.abs(s[2:] - 2 * s[1:-1] + s[:-2]))


def loudest_5ms_db(s):
    n = int(0.005 * rate)
    return 10 * np.log10(np.max(np.convolve(s * s, np.ones(n) / n, "valid")) + 1e-30)


print(f"{'switch':26s} {'peak/steady':>11s} {'step/steady':>11s} {'>2k switch':>11s} {'>2k steady':>11s}")
for m in re.finditer(r"SWITCH (\d+) \d+ (.*)", log):
    at, name = int(m.group(1)), m.group(2)
    # The change lands at the next block boundary; the stretch covers warm-up and fade.
    switch = slice(at - 2048, at + int(0.25 * rate))
    before = slice(at - int(0.6 * rate), at - int(0.1 * rate))
    after = slice(at + int(0.5 * rate), at + int(1.2 * rate))
    steady_peak = max(np.max(np.abs(x[before])), np.max(np.abs(x[after])))
    steady_step = max(second_difference(x[before]), second_difference(x[after]))
    print(f"{name:26s} {np.max(np.abs(x[switch])) / steady_peak:11.3f} "
          f"{second_difference(x[switch]) / steady_step:11.2f} {loudest_5ms_db(above2k[switch]):8.1f} dB "
          f"{max(loudest_5ms_db(above2k[before]), loudest_5ms_db(above2k[after])):8.1f} dB")
