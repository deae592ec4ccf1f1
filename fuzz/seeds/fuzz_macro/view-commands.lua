OrvexViewer1:Rotate(30)
OrvexViewer1:Spin(-15.5)
OrvexViewer1:Tilt(1e300)
OrvexViewer1.RayPlotType = 1
OrvexViewer1.RayEndTime = 2.5
OrvexViewer1:ZoomIn()
OrvexViewer1:FitToWindow()
host.pump(400)
print(OrvexViewer1.FileName, host.pixel(10, 10))
