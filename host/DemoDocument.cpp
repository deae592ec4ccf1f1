// The demo document, built in so that `orvex demo` needs no file beside the program.
// examples/demo.json is the same text; a test keeps the two equal.
#include "host/DemoJob.h"

const char* DemoDocumentText() {
    return R"json({
  "page": {"width": 1100, "height": 420},
  "controls": [
    {
      "progid": "ORVEXVIEWER.OrvexViewerCtrl.1",
      "name": "OrvexViewer1",
      "rect": [10, 10, 500, 400],
      "properties": {
        "FileName": "demo.orvex",
        "RayPlotType": 0,
        "RayEndTime": 10.0,
        "RayEndTimeIncrement": 0.5,
        "XAxisX": 1.0, "XAxisY": 0.0, "XAxisZ": 0.0,
        "YAxisX": 0.0, "YAxisY": 1.0, "YAxisZ": 0.0,
        "WndTop": 40.826954, "WndBottom": -47.173046, "WndLeft": -5.0, "WndRight": 105.0
      }
    },
    {
      "progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1",
      "name": "OrvexAscanViewer1",
      "rect": [520, 10, 570, 400],
      "properties": {"OrvexViewerName": "OrvexViewer1"}
    }
  ],
  "macros": {
    "Animate": "-- Starts the travelling pulse, or stops it when it runs.\nOrvexViewer1:AnimatePulse()\n",
    "ZoomAscan": "-- Three steps closer in time and one in amplitude, about the middle of the window.\nfor _ = 1, 3 do OrvexAscanViewer1:ZoomInX() end\nOrvexAscanViewer1:ZoomInY()\n",
    "ResetAscan": "-- Builds the plot again in the range properties' window.\nOrvexAscanViewer1:UpdateAscanData()\n",
    "NextSnapShot": "-- The A-scan of the next probe position (after the last, the first again). The viewer keeps\n-- drawing the rays of the first snapshot: only the A-scan follows the current snapshot.\nlocal n = OrvexViewer1.NumberOfSnapShots\nif n > 0 then\n  OrvexViewer1.CurrentSnapShot = (OrvexViewer1.CurrentSnapShot + 1) % n\n  OrvexAscanViewer1:UpdateAscanData()\nend\nprint(string.format(\"snapshot %d (snapshots 0 to %d)\", OrvexViewer1.CurrentSnapShot, n - 1))\n",
    "Tour": "-- The whole demo in one run: the pulse for three seconds, the A-scan zoomed, then every\n-- snapshot's A-scan, a picture of the page at each step (in the document's folder).\nOrvexViewer1:AnimatePulse()\nfor i = 1, 3 do\n  host.pump(1000)\n  host.render(string.format(\"tour_pulse_%d.png\", i))\nend\nOrvexViewer1:AnimatePulse()\nfor _ = 1, 3 do OrvexAscanViewer1:ZoomInX() end\nhost.render(\"tour_zoomed.png\")\nfor k = 0, OrvexViewer1.NumberOfSnapShots - 1 do\n  OrvexViewer1.CurrentSnapShot = k\n  OrvexAscanViewer1:UpdateAscanData()\n  host.render(string.format(\"tour_snapshot_%02d.png\", k))\nend\n"
  }
}
)json";
}
