#!/bin/sh
# Fails when a product folder includes a header from a folder that its layer may not use, and
# names each such include as file:line. The layers, lowest first:
#   platform                    the operating system's services
#   framework, raster           each on platform only
#   engine                      the signal path: framework
#   graphics                    the editor core: framework, raster (never a window back end)
#   graphics/x11, /win32, /headless   the window back ends: the core (never one another)
#   vst3/abi                    the host's binary interface, standing alone
#   vst3                        the binding: framework, the editor core, its binary interface. It
#                               adapts the editor to a host; the editor knows no plug-in format.
#   plugin                      the plug-in: everything above
# Tools, tests, benchmarks, fuzz targets and the artwork program may include anything.
# Usage: check_layers.sh SOURCE_DIR
set -eu
cd "$1"

# Sets `unit` to the unit a source path belongs to: a window back end, the binary interface, or
# its top folder. Only shell built-ins: this runs twice for every include.
unit_of() {
  case "$1" in
    graphics/x11/* | graphics/win32/* | graphics/headless/* | vst3/abi/*)
      rest="${1#*/}"
      unit="${1%%/*}/${rest%%/*}" ;;
    *) unit="${1%%/*}" ;;
  esac
}

# Sets `allowed` to the units a unit may include besides its own.
allowed_for() {
  case "$1" in
    platform | vst3/abi) allowed="" ;;
    framework | raster) allowed="platform" ;;
    engine) allowed="platform framework" ;;
    graphics) allowed="platform framework raster" ;;
    graphics/*) allowed="platform framework raster graphics" ;;
    vst3) allowed="platform framework graphics vst3/abi" ;;
    plugin) allowed="platform framework raster engine graphics graphics/x11 graphics/win32 graphics/headless vst3 vst3/abi" ;;
  esac
}

layers="platform framework raster engine graphics vst3 plugin"
breaches="$(
  for layer in $layers; do
    [ -d "$layer" ] || continue
    grep -rnIE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]+/' "$layer" || true
  done | sed -E 's/^([^:]*):([0-9]+):[^"<]*["<]([^">]+)[">].*/\1 \2 \3/' | while read -r file line target; do
    # Only the tree's own folders count; anything else is a system or library header.
    [ -d "${target%%/*}" ] || continue
    unit_of "$file"
    from="$unit"
    unit_of "$target"
    [ "$unit" = "$from" ] && continue
    allowed_for "$from"
    case " $allowed " in
      *" $unit "*) continue ;;
    esac
    echo "$file:$line: $from may not include $unit ($target)"
  done
)"
if [ -n "$breaches" ]; then
  echo "$breaches" >&2
  exit 1
fi
echo "every include keeps to its layer"
