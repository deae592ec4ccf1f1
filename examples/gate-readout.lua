-- Gate readouts of every snapshot, as an instrument shows them, and the B-scan of the snapshots.
-- Run: orvex run examples/viewer.json --script examples/gate-readout.lua
--
-- host.measure reads the A-scan the A-scan control shows (its viewer's current snapshot); the
-- definitions of peak, peak time and flank time are in docs/measurements.md.

local gates = {{15, 30, 0.1, name = "echo gate"}, {30, 50, 0.05, name = "late gate"}}
for k = 0, OrvexViewer1.NumberOfSnapShots - 1 do   -- snapshots are numbered from 0
  OrvexViewer1.CurrentSnapShot = k
  for _, r in ipairs(host.measure(OrvexAscanViewer1, gates)) do
    if r.peak then
      print(string.format("snapshot %2d  %-9s  peak %.3f at %.3f us  flank %s", k, r.name, r.peak, r.peakTime,
                          r.flankTime and string.format("%.3f us", r.flankTime) or "-"))
    end
  end
end
OrvexViewer1.CurrentSnapShot = 0
host.bscan(OrvexViewer1, "bscan.png", {envelope = true})
