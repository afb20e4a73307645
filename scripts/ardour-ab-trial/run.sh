#!/usr/bin/env bash
# A/B switching in a real host: Ardour 7 runs the release bundle headless on its dummy backend, a
# Lua source plays a sustained vowel into the reference input and a 440 Hz tone into the target
# input, the plug-in holds a measured correction, and a second track records the plug-in's output
# while the session script switches Outputs, Resolution, Gain, Inputs and the bypass as host
# automation would. judge.py then prints, per switch, the peak and the largest second difference
# against the steady stretches around it and the energy above 2 kHz.
# Needs: ardour (7), python3-numpy, python3-scipy, a release build (scripts/build.sh release-linux).
# Usage: scripts/ardour-ab-trial/run.sh [scratch folder]   (default: a new folder under /tmp)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
S="${1:-$(mktemp -d /tmp/ab-trial.XXXXXX)}"
python=/usr/bin/python3
bundle="$repo/build/release/TessivaneVorelline.vst3"
tool="$repo/build/release/tools/vorelline/vorelline"
[ -d "$bundle" ] && [ -x "$tool" ] || { echo "build the release first: scripts/build.sh release-linux" >&2; exit 1; }

# Everything Ardour writes stays in the scratch folder.
export HOME="$S/home" XDG_CONFIG_HOME="$S/home/.config" XDG_CACHE_HOME="$S/home/.cache"
export XDG_DATA_HOME="$S/home/.local/share" TRIAL_SESSION="$S/session"
mkdir -p "$HOME/.vst3" "$XDG_CONFIG_HOME/ardour7/scripts"
cp "$here/source.lua" "$XDG_CONFIG_HOME/ardour7/scripts/tv_source.lua"
rm -rf "$HOME/.vst3/TessivaneVorelline.vst3" "$TRIAL_SESSION"
cp -r "$bundle" "$HOME/.vst3/"
# Ardour counts its index only when it is newer than the module.
find "$HOME/.vst3/TessivaneVorelline.vst3" -exec touch -h -d '2 minutes ago' {} +
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f "$HOME/.vst3/TessivaneVorelline.vst3" >/dev/null

# A correction measured by the tool: pink noise against the same noise through a presence peak
# and a bass cut.
(cd "$S" && $python "$here/make_recordings.py" &&
 "$tool" analyze --reference ref.wav --target tgt.wav --save-alg trial.alg --quiet >/dev/null)

ardour7-lua "$here/make_session.lua" > "$S/make.log" 2>&1
# The project as the host keeps it, with the measured correction in the plug-in's state, playing
# the raw target.
$python "$here/put_correction.py" "$TRIAL_SESSION/ab.ardour" "$S/trial.alg" 0.5
ardour7-lua "$here/play_switches.lua" > "$S/play.log" 2>&1
$python "$here/judge.py" "$S/play.log" "$TRIAL_SESSION/interchange/session/audiofiles"
