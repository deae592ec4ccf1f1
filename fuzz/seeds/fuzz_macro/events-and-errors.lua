function OrvexViewer1_OnPulseTimeChanged(t)
  if t > 1 then error("stop at " .. t) end
end
OrvexViewer1:AnimatePulse()
host.pump(1000)
OrvexViewer1.IsAnimated = false
local ok, err = pcall(function() return OrvexViewer1.NoSuchMember end)
print(ok, err)
pcall(function() OrvexViewer1.MaximumRayTime = 5 end)
local t = {}
for i = 1, 100 do t[i] = string.rep("x", i) end
print(#table.concat(t), math.maxinteger // -1, utf8.char(72, 228))
