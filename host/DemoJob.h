#pragma once
// The demo of the command line: the built-in simulation drawn every way the controls can draw it,
// and the demo document run with its macros, as pictures in one folder.
#include <functional>
#include <string>

struct SDemoOptions {
    // Made when missing; relative to the current folder.
    std::string outputDir = "build/demo";
    // Frames of the pulse animation at most (one animation cycle is usually fewer).
    int maxFrames = 200;
};

// The demo document (examples/demo.json holds the same text): a viewer and an A-scan control side
// by side, with the macros Animate, ZoomAscan, ResetAscan, NextSnapShot and Tour. Its viewer
// shows "demo.orvex" from the document's folder.
const char* DemoDocumentText();
// The name of the simulation file the demo document opens.
constexpr const char* kDemoDataFile = "demo.orvex";

// Writes, under the output folder: demo.orvex (the simulation with the generator's defaults),
// viewer_front/side/top.png, viewer_full/end/pulse.png, ascan_snapshot_NN.png for each snapshot,
// frames/pulse_NNN.png over one animation cycle, bscan.png, gates.txt (two gates over every
// snapshot), pulse.gif (the animation with captions), demo.json, demo_document.png (the document as it
// opens), demo_document.pdf and demo_document.svg (that page printed on A4) and the pictures the
// document's Tour macro renders. `wrote` is told each file as it is
// written (its path under the output folder as given; the frames as one line). False with one
// line in `error` when a step fails; the files written before it stay.
bool RunDemoJob(const SDemoOptions& options, const std::function<void(const std::string&)>& wrote,
                std::string& error);
