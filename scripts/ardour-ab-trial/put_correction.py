# Puts the correction of a .alg file into the plug-in's state inside an Ardour session file, as if
# it had been measured there: the five band arrays replace the start of the component and the
# controller state, and "Outputs" is set to the given value.
# Usage: put_correction.py SESSION.ardour CORRECTION.alg OUTPUTS
import base64
import re
import struct
import sys

session, alg, outputs = sys.argv[1], sys.argv[2], float(sys.argv[3])
record = bytearray(open(alg, "rb").read())
assert len(record) == 2776, "not a correction file"
# Undo the file's scrambling: in each 8-byte group from byte 64, bytes 4-7 are xor-ed with 0-3.
for group in range(64, 2776, 8):
    for k in range(4):
        record[group + 4 + k] ^= record[group + k]
arrays = bytes(record[64:2776])  # the state record starts with the same five arrays

text = open(session).read()
chunk = re.search(r"<chunk>(.*?)</chunk>", text, re.S)
preset = bytearray(base64.b64decode(chunk.group(1)))
# The host's preset image: "VST3", version, class id, then the offset of its chunk list, whose
# entries name each state's offset and size.
list_at = struct.unpack("<q", preset[40:48])[0]
entries = struct.unpack("<i", preset[list_at + 4:list_at + 8])[0]
for e in range(entries):
    entry = preset[list_at + 8 + 20 * e:list_at + 28 + 20 * e]
    offset, _ = struct.unpack("<qq", entry[4:])
    preset[offset:offset + 2712] = arrays
    preset[offset + 2720:offset + 2728] = struct.pack("<d", outputs)  # "Outputs" follows "Inputs"
text = text[:chunk.start(1)] + base64.b64encode(bytes(preset)).decode() + text[chunk.end(1):]
text = re.sub(r'<Port id="1" value="[^"]*"/>', '<Port id="1" value="%g"/>' % outputs, text)
open(session, "w").write(text)
