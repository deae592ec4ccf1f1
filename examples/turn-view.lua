-- Turns the view about the vertical screen axis in 30-degree steps, one picture per step.
-- Run: orvex run examples/viewer.json --script examples/turn-view.lua
-- Pictures are written next to the document: turn-000.png, turn-030.png, ... turn-330.png.

local viewer = OrvexViewer1
viewer.RayPlotType = 0        -- 0: whole rays
viewer:ViewFromFront()        -- a known starting view
viewer:Tilt(20)               -- look slightly from above
viewer:FitToWindow()          -- the whole scene in view

for angle = 0, 330, 30 do
  host.render(string.format("turn-%03d.png", angle))
  print(string.format("turn-%03d.png: spun %d degrees", angle, angle))
  viewer:Spin(30)             -- degrees about the screen's vertical axis
  viewer:FitToWindow()
end
