local viewer = OrvexViewer1
viewer.RayPlotType = 0
viewer:ViewFromFront()
viewer:FitToWindow()
for angle = 0, 165, 30 do
  viewer:Spin(15)
  viewer:FitToWindow()
end
viewer:Tilt(21)
viewer:Spin(15)
