-- Plays the session while switching what the plug-in plays, as host automation would, and logs the
-- transport position of each switch: "SWITCH <before> <after> <what>".
local dir, name = os.getenv ("TRIAL_SESSION"), "ab"
local s = load_session (dir, name)
assert (s)
local t1 = Session:route_by_name ("Mic"):to_track ()
local t2 = Session:route_by_name ("Rec"):to_track ()
local p = t1:nth_plugin (1)
assert (not p:isnil ())
print ("plugin", p:display_name ())
t2:input ():disconnect_all (nil)
t2:input ():audio (0):connect (t1:output ():audio (0):name ())
t2:input ():audio (1):connect (t1:output ():audio (1):name ())
t2:rec_enable_control ():set_value (1, PBD.GroupControlDisposition.NoGroup)
Session:maybe_enable_record (false)
ARDOUR.LuaAPI.usleep (500000)
Session:request_roll (ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep (2000000)
-- Parameters: 0 Bypass, 1 Inputs, 2 Outputs (0 reference, 0.5 target, 1 corrected), 3 Resolution, 4 Gain
local plan = {
  {2, 1.0, "Target -> Corrected"},
  {2, 0.0, "Corrected -> Reference"},
  {2, 0.5, "Reference -> Target"},
  {2, 0.0, "Target -> Reference"},
  {2, 1.0, "Reference -> Corrected"},
  {2, 0.5, "Corrected -> Target"},
  {2, 1.0, "Target -> Corrected"},
  {3, 1.0, "Normal -> High"},
  {3, 0.0, "High -> Normal"},
  {3, 1.0, "Normal -> High"},
  {3, 0.0, "High -> Normal"},
  {2, 0.0, "Corrected -> Reference"},
  {2, 0.5, "Reference -> Target"},
  {2, 0.0, "Target -> Reference"},
  {2, 0.5, "Reference -> Target"},
  {2, 1.0, "Target -> Corrected"},
  {2, 0.5, "Corrected -> Target"},
  {2, 1.0, "Target -> Corrected"},
  {2, 0.5, "Corrected -> Target"},
  {4, 0.75, "Gain 0.5 -> 0.75"},
  {4, 0.5, "Gain 0.75 -> 0.5"},
  {2, 1.0, "Target -> Corrected"},
  {1, 1.0, "Inputs swapped"},
  {1, 0.0, "Inputs back"},
  {0, 1.0, "Bypass on"},
  {0, 0.0, "Bypass off"},
}
for _, step in ipairs (plan) do
  local before = Session:transport_sample ()
  ARDOUR.LuaAPI.set_processor_param (p, step[1], step[2])
  local after = Session:transport_sample ()
  print (string.format ("SWITCH %d %d %s", before, after, step[3]))
  ARDOUR.LuaAPI.usleep (1500000)
end
Session:request_stop (false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep (1500000)
Session:save_state ("", false, false, false, false, false)
close_session ()
