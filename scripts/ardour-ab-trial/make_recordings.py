# Two takes of one sound for `vorelline analyze`: pink noise on the reference, and the same noise
# through a +6 dB presence peak at 3 kHz and a -8 dB cut at 150 Hz on the target.
import numpy as np
import scipy.io.wavfile as wavfile
import scipy.signal as signal

RATE = 48000


def peaking(frequency, gain_db, q):
    a = 10 ** (gain_db / 40)
    w = 2 * np.pi * frequency / RATE
    alpha = np.sin(w) / (2 * q)
    return [1 + alpha * a, -2 * np.cos(w), 1 - alpha * a], [1 + alpha / a, -2 * np.cos(w), 1 - alpha / a]


white = np.random.default_rng(7).standard_normal(int(11.5 * RATE))
pink = signal.lfilter([0.049922035, -0.095993537, 0.050612699, -0.004408786],
                      [1, -2.494956002, 2.017265875, -0.522189400], white)
reference = 0.3 * pink / np.max(np.abs(pink))
target = signal.lfilter(*peaking(150, -8, 0.7), signal.lfilter(*peaking(3000, 6, 1.0), reference))
wavfile.write("ref.wav", RATE, reference.astype(np.float32))
wavfile.write("tgt.wav", RATE, target.astype(np.float32))
