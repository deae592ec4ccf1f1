local ok, start, resolution, samples = OrvexViewer1:GetAscan()
if ok then print(start, resolution, #samples) end
OrvexAscanViewer1.OrvexViewer = OrvexViewer1
OrvexAscanViewer1:RefreshAscan()
OrvexAscanViewer1.AscanXMin = -1
OrvexAscanViewer1.AscanXMax = 1e38
host.mouse("down", 100, 30)
host.mouse("move", 140, 60)
host.mouse("up", 140, 60)
host.pump(0)
for i, line in ipairs(host.trace()) do print(i, line) end
