-- Animates the travelling pulse and captures one frame per animation tick.
-- Run: orvex run examples/viewer.json --script examples/animate-pulse.lua
-- Frames are written next to the document: pulse-00.png ... pulse-09.png, frame k with the
-- pulse at PulseAnimateStartLimit + k x RayEndTimeIncrement.

local viewer = OrvexViewer1
viewer.RayPlotType = 2                      -- 2: show the pulse, not whole rays
local first, last = viewer.PulseAnimateStartLimit, viewer.PulseAnimateEndLimit
viewer.RayEndTime = first                   -- start where the animation starts
viewer.RayEndTimeIncrement = (last - first) / 10

-- Called at every tick of the viewer's 200 ms animation timer, with the new time. The control
-- redraws after the event, so pictures are taken after the pump, not in here.
function OrvexViewer1_OnPulseTimeChanged(time)
  pulse_time = time
end

local function capture(frame)
  local name = string.format("pulse-%02d.png", frame)
  host.render(name)
  print(string.format("%s: pulse at %.2f us", name, viewer.RayEndTime))
end

capture(0)
viewer:AnimatePulse()   -- starts the timer
for frame = 1, 9 do
  host.pump(200)        -- one tick: the time steps, the event fires, the page repaints
  assert(pulse_time == viewer.RayEndTime)
  capture(frame)
end
viewer:AnimatePulse()   -- a second call stops it
