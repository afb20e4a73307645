ardour { ["type"] = "dsp", name = "TV Test Source", category = "Utility", license = "MIT", author = "test",
         description = [[A sustained vowel on the first output, a 440 Hz tone on the second.]] }

function dsp_ioconfig () return { { audio_in = 2, audio_out = 2 } } end

local sr = 48000
local phase, vib, tone = 0, 0, 0
local last = 0
local res = {}

local function resonator (f, bw)
  local r = math.exp (-math.pi * bw / sr)
  local c = 2 * r * math.cos (2 * math.pi * f / sr)
  return { c = c, d = -r * r, g = (1 - r) * 2, y1 = 0, y2 = 0 }
end

function dsp_init (rate)
  sr = rate
  res = { resonator (700, 110), resonator (1220, 120), resonator (2600, 160) }
end

function dsp_run (ins, outs, n_samples)
  local a = outs[1]:array ()
  local b = outs[2]:array ()
  for s = 1, n_samples do
    vib = vib + 5 / sr; if vib >= 1 then vib = vib - 1 end
    local f0 = 130 * (1 + 0.01 * math.sin (2 * math.pi * vib))
    phase = phase + f0 / sr; if phase >= 1 then phase = phase - 1 end
    local g = 0
    if phase < 0.6 then g = 0.5 * (1 - math.cos (math.pi * phase / 0.6)) end
    if phase >= 0.6 and phase < 0.75 then g = math.cos (0.5 * math.pi * (phase - 0.6) / 0.15) end
    local x = g - last; last = g
    for k = 1, 3 do
      local r = res[k]
      local y = r.g * x + r.c * r.y1 + r.d * r.y2
      r.y2 = r.y1; r.y1 = y; x = y
    end
    a[s] = 28 * x
    tone = tone + 440 / sr; if tone >= 1 then tone = tone - 1 end
    b[s] = 0.25 * math.sin (2 * math.pi * tone)
  end
end
