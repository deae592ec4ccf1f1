-- Animates the travelling pulse and captures one frame per animation tick.
-- Run: orvex run viewer.json --script animate-pulse.lua
-- Frames are written next to the document: pulse-01.png ... pulse-10.png.

local viewer = OrvexViewer1
viewer:FitToWindow()                        -- the whole scene in view
viewer.RayPlotType = 2                      -- 2: show the pulse, not whole rays
viewer.RayEndTime = viewer.MinimumRayTime   -- start where the first ray starts
viewer.RayEndTimeIncrement = (viewer.MaximumRayTime - viewer.MinimumRayTime) / 10

local frame = 0
-- Called at every tick of the viewer's 200 ms animation timer.
function OrvexViewer1_OnPulseTimeChanged(time)
  frame = frame + 1
  host.render(string.format("pulse-%02d.png", frame))
  print(string.format("pulse-%02d.png: pulse at %.2f us", frame, time))
end

viewer:AnimatePulse()   -- starts the timer
host.pump(10 * 200)     -- ten ticks of the virtual clock
viewer:AnimatePulse()   -- a second call stops it
