-- Finds the strongest echo in the A-scan of every snapshot and prints its time.
-- Run: orvex run examples/viewer.json --script examples/find-echo.lua
--
-- GetAscan hands out the whole A-scan from time 0: element i of the table (counted from 1, as
-- Lua tables are) belongs to time (i - 1) x resolution. The samples of the file start at
-- element 1 + trunc(DataStart / resolution); the elements before them are zeros.

local viewer = OrvexViewer1
for k = 0, viewer.NumberOfSnapShots - 1 do   -- snapshots are numbered from 0
  viewer.CurrentSnapShot = k
  local ok, dataStart, resolution, samples = viewer:GetAscan()
  if ok then
    local best, at = 0, nil
    for i, amplitude in ipairs(samples) do
      if math.abs(amplitude) > best then best, at = math.abs(amplitude), i end
    end
    if at then
      print(string.format("snapshot %d: echo at %.3f us, amplitude %.3f", k, (at - 1) * resolution, samples[at]))
    else
      print(string.format("snapshot %d: no echo", k))
    end
  end
end
viewer.CurrentSnapShot = 0
