-- Run by check-ardour-lv2.sh through ardour7-lua: a session on Ardour's dummy
-- backend, a MIDI track with Brume7.lv2 as its instrument, a note sent to the
-- plug-in, and the track's output meters read before and after.
-- Prints "instrument: yes|no", "before: DB DB" and "after: DB DB".
local folder = os.getenv("BRUME7_ARDOUR_SESSION")
AudioEngine:set_backend("None (Dummy)", "", "")
create_session(folder, "brume7", 48000)

local tracks = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
                                      ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, ARDOUR.PluginInfo(),
                                      nil, nil, 1, "Brume7", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true, false)
local track = tracks:front()
local plugin = ARDOUR.LuaAPI.new_plugin(Session, "urn:pellarine:brume7", ARDOUR.PluginType.LV2, "")
if plugin:isnil() then
  print("instrument: not found")
  close_session()
  return
end
track:add_processor_by_index(plugin, 0, nil, true)
local insert = plugin:to_plugininsert()
print("instrument: " .. (insert:is_instrument() and "yes" or "no"))

-- The meter's first channel counts MIDI; the next two are the plug-in's outputs.
local function levels()
  local meter = track:peak_meter()
  return string.format("%.1f %.1f", meter:meter_level(1, ARDOUR.MeterType.MeterPeak),
                       meter:meter_level(2, ARDOUR.MeterType.MeterPeak))
end

sleep(1)
print("before: " .. levels())
local parser = ARDOUR.RawMidiParser()
for _, byte in ipairs({0x90, 57, 110}) do
  if parser:process_byte(byte) then
    insert:write_immediate_event(Evoral.EventType.MIDI_EVENT, parser:buffer_size(), parser:midi_buffer())
  end
end
sleep(1)
print("after: " .. levels())
close_session()
