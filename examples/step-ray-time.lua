-- Grows the rays from their start to their end in eight equal time steps.
-- Run: orvex run examples/viewer.json --script examples/step-ray-time.lua
-- Pictures are written next to the document: rays-1.png ... rays-8.png.

local viewer = OrvexViewer1
viewer:FitToWindow()          -- the whole scene in view
viewer.RayPlotType = 1        -- 1: rays cut at RayEndTime
local first, last = viewer.MinimumRayTime, viewer.MaximumRayTime
local steps = 8

for i = 1, steps do
  viewer.RayEndTime = first + (last - first) * i / steps
  host.render(string.format("rays-%d.png", i))
  print(string.format("rays-%d.png: RayEndTime %.2f us", i, viewer.RayEndTime))
end
