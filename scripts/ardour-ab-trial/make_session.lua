-- A session with two tracks: "Mic" plays the test source through the plug-in, "Rec" records what
-- "Mic" puts out.
local dir, name = os.getenv ("TRIAL_SESSION"), "ab"
assert (create_session (dir, name, 48000))
local function new_track (title)
  return Session:new_audio_track (2, 2, nil, 1, title, ARDOUR.PresentationInfo.max_order,
                                  ARDOUR.TrackMode.Normal, true):front ()
end
local mic = new_track ("Mic")
new_track ("Rec")
local source = ARDOUR.LuaAPI.new_luaproc (Session, "TV Test Source")
assert (not source:isnil (), "the test source is not in the scripts folder")
mic:add_processor_by_index (source, 0, nil, true)
local plugin = ARDOUR.LuaAPI.new_plugin (Session, "Tessivane Vorelline", ARDOUR.PluginType.VST3, "")
assert (not plugin:isnil (), "the plug-in is not indexed")
mic:add_processor_by_index (plugin, 1, nil, true)
-- The host-visible parameters, as set_processor_param numbers them.
local p = plugin:to_insert ():plugin (0)
for i = 0, p:parameter_count () - 1 do
  if p:parameter_is_input (i) then print ("parameter", i, p:parameter_label (i)) end
end
Session:save_state ("", false, false, false, false, false)
close_session ()
