// The main window with the demo document: the live page, mouse input reaching the controls as a
// headless run's injected input does, the animation on the clock, macros from the menu, saving,
// printing, the unsaved-changes question and the untitled document of a simulation file.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSet>
#include <QTest>

#include "DesktopTestSupport.h"
#include "ascan/OrvexAscanViewerCtrl.h"
#include "desktop/MainWindow.h"
#include "desktop/PagePump.h"
#include "desktop/PageView.h"
#include "desktop/SimulationDocument.h"
#include "host/DispatchCalls.h"
#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"

namespace {

// Points of the demo page: inside the A-scan control's plot, and on the viewer.
constexpr QPoint kDragFrom(700, 150);
constexpr QPoint kDragTo(900, 260);
constexpr QPoint kOnViewer(250, 200);

bool SamePixels(const CBitmap& a, const CBitmap& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    return std::equal(a.GetPixels(), a.GetPixels() + a.GetWidth() * a.GetHeight(), b.GetPixels());
}

// The surface the window shows, copied.
void CopyShown(CMainWindow& window, CBitmap& out) { ASSERT_TRUE(window.GetDocument().CopyPage(out)); }

// A drag with the plot set to zoom x (mode 1), run headless through the runner's mouse; the x
// range the plot ends with.
std::pair<float, float> HeadlessZoomDrag(const std::string& path) {
    CHostDocument doc;
    std::string error;
    EXPECT_TRUE(doc.Open(path, error)) << error;
    auto* ascan = dynamic_cast<COrvexAscanViewerCtrl*>(doc.GetControl("OrvexAscanViewer1"));
    EXPECT_NE(ascan, nullptr);
    if (ascan == nullptr || ascan->GetPlot() == nullptr) return {0, 0};
    ascan->GetPlot()->MouseMode = 1;
    doc.Mouse("move", kDragFrom.x(), kDragFrom.y());
    doc.Pump(0);
    doc.Mouse("down", kDragFrom.x(), kDragFrom.y());
    doc.Pump(0);
    doc.Mouse("move", (kDragFrom.x() + kDragTo.x()) / 2, (kDragFrom.y() + kDragTo.y()) / 2);
    doc.Pump(0);
    doc.Mouse("move", kDragTo.x(), kDragTo.y());
    doc.Pump(0);
    doc.Mouse("up", kDragTo.x(), kDragTo.y());
    doc.Pump(0);
    float low = 0, high = 0;
    ascan->GetPlot()->GetXRange(&low, &high);
    doc.Close();
    return {low, high};
}

TEST_F(DesktopTest, ThePageShowsTheDocumentsSurfaceAtItsOwnPixels) {
    CPageView* view = m_window->GetPageView();
    EXPECT_EQ(view->size(), QSize(1100, 420));
    CBitmap shown;
    CopyShown(*m_window, shown);
    const QImage painted = view->grab().toImage().convertToFormat(QImage::Format_RGBX8888);
    ASSERT_EQ(painted.size(), QSize(1100, 420));
    // Byte for byte, the widget shows the surface (the image's fourth byte is the unused one).
    int differing = 0;
    for (int y = 0; y < 420; ++y)
        for (int x = 0; x < 1100; ++x) {
            const uint32_t s = shown.GetPixels()[y * 1100 + x];
            const QRgb p = painted.pixel(x, y);
            differing += RGB(qRed(p), qGreen(p), qBlue(p)) != (s & 0xFFFFFF);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_TRUE(m_window->windowTitle().startsWith("demo.json"));
    EXPECT_EQ(m_window->GetSelectedControl(), "OrvexViewer1");
}

TEST_F(DesktopTest, ADragOnThePlotZoomsAsTheSameHeadlessDragDoes) {
    const auto expected = HeadlessZoomDrag(PathOf("demo.json"));
    ASSERT_NE(Ascan(), nullptr);
    ASSERT_NE(Ascan()->GetPlot(), nullptr);
    float low0 = 0, high0 = 0;
    Ascan()->GetPlot()->GetXRange(&low0, &high0);
    ASSERT_TRUE(expected.first != low0 || expected.second != high0) << "the headless drag changed nothing";

    Ascan()->GetPlot()->MouseMode = 1;
    CPageView* view = m_window->GetPageView();
    QTest::mouseMove(view, kDragFrom);
    QTest::mousePress(view, Qt::LeftButton, {}, kDragFrom);
    QTest::mouseMove(view, (kDragFrom + kDragTo) / 2);
    QTest::mouseMove(view, kDragTo);
    QTest::mouseRelease(view, Qt::LeftButton, {}, kDragTo);
    Step();
    float low = 0, high = 0;
    Ascan()->GetPlot()->GetXRange(&low, &high);
    EXPECT_FLOAT_EQ(low, expected.first);
    EXPECT_FLOAT_EQ(high, expected.second);
    EXPECT_EQ(m_window->GetSelectedControl(), "OrvexAscanViewer1");  // the press selected it
}

TEST_F(DesktopTest, TheMeasuringBoxLeavesThePageAsItWasAndTheCursorFollowsThePlot) {
    // The demo's plot measures on a drag (its MouseMode is 0): the box is drawn by inversion and
    // taken off again on release.
    CBitmap before;
    CPageView* view = m_window->GetPageView();
    QTest::mouseMove(view, QPoint(2, 2));  // Qt sends no move to where the pointer already is
    QTest::mouseMove(view, kDragFrom);
    Step();
    CopyShown(*m_window, before);
    const HCURSOR plotCursor = CWindowManager::Current().GetCursor();
    ASSERT_NE(plotCursor, nullptr);
    EXPECT_EQ(view->cursor().shape(), CursorFromPlatform(plotCursor).shape());

    QTest::mousePress(view, Qt::LeftButton, {}, kDragFrom);
    QTest::mouseMove(view, kDragTo);
    CBitmap during;
    CopyShown(*m_window, during);
    EXPECT_FALSE(SamePixels(before, during));
    QTest::mouseRelease(view, Qt::LeftButton, {}, kDragTo);
    QTest::mouseMove(view, kDragFrom);
    CBitmap after;
    CopyShown(*m_window, after);
    // The readout follows the pointer, so only compare outside the plot's readout: the box's
    // corners are back as they were.
    EXPECT_EQ(after.GetPixels()[kDragTo.y() * 1100 + kDragTo.x()], before.GetPixels()[kDragTo.y() * 1100 + kDragTo.x()]);
    EXPECT_EQ(after.GetPixels()[kDragFrom.y() * 1100 + kDragTo.x()],
              before.GetPixels()[kDragFrom.y() * 1100 + kDragTo.x()]);

    // Off the controls the page's own cursor is the arrow.
    QTest::mouseMove(view, QPoint(515, 415));
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

// View > B-scan: the viewer's snapshots side by side in a window of its own, whichever control is
// selected (an A-scan control has no A-scans of its own to show).
TEST_F(DesktopTest, TheBscanOfTheViewerOpensInAWindow) {
    ASSERT_TRUE(m_window->SelectControl("OrvexAscanViewer1"));
    ASSERT_TRUE(m_window->ShowBscan());
    QDialog* window = m_window->GetBscanWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "B-scan of OrvexViewer1");
    const QLabel* picture = window->findChild<QLabel*>("bscan");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixmap().size(), QSize(800, 500));
    // A picture, not a blank: the axes' black, the page's white and the B-scan's greys.
    const QImage image = picture->pixmap().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 5)
        for (int x = 0; x < image.width(); x += 5) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
}

TEST_F(DesktopTest, TheAnimationRunsOnTheClockAsAHeadlessRunDoes) {
    ASSERT_TRUE(m_window->SelectControl("OrvexViewer1"));
    ASSERT_TRUE(m_window->ToggleAnimation());
    CBitmap start;
    CopyShown(*m_window, start);
    const int presents = m_window->GetPageView()->GetPresentCount();
    for (int i = 0; i < 10; ++i) Step(100);  // five ticks of 200 ms
    CBitmap live;
    CopyShown(*m_window, live);
    EXPECT_FALSE(SamePixels(start, live));
    EXPECT_GE(m_window->GetPageView()->GetPresentCount(), presents + 5);
    EXPECT_EQ(m_window->GetDocument().GetTime(), 1000u);

    CHostDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(PathOf("demo.json"), error)) << error;
    ASSERT_TRUE(CallMethodByName(doc.GetExtendedControl("OrvexViewer1").get(), "AnimatePulse", {}, error)) << error;
    doc.Pump(1000);
    CBitmap headless;
    ASSERT_TRUE(doc.CopyPage(headless));
    doc.Close();
    EXPECT_TRUE(SamePixels(live, headless));

    // Stopping it is a change of a stored property: the document has unsaved changes now.
    EXPECT_TRUE(m_window->IsModified());
}

TEST_F(DesktopTest, MacrosRunFromTheMenuIntoTheMessagePanel) {
    QAction* next = m_window->GetMacrosMenu()->findChild<QAction*>("macro:NextSnapShot");
    ASSERT_NE(next, nullptr);
    std::vector<QString> names;
    for (QAction* a : m_window->GetMacrosMenu()->actions())
        if (!a->isSeparator()) names.push_back(a->text());
    EXPECT_EQ(names, (std::vector<QString>{"Animate", "ZoomAscan", "ResetAscan", "NextSnapShot", "Tour", "&Run script..."}));
    next->trigger();
    EXPECT_TRUE(m_window->GetMessagePanel()->toPlainText().contains("snapshot 1 (snapshots 0 to"));

    // A script with an error: one line naming it, and the document stays usable.
    const std::string script = WriteFile("bad.lua", "print('before')\nlocal x = nil + 1\n");
    m_fileAnswers.push_back(QString::fromStdString(script));
    for (QAction* a : m_window->GetMacrosMenu()->actions())
        if (a->text() == "&Run script...") a->trigger();
    const QString panel = m_window->GetMessagePanel()->toPlainText();
    EXPECT_TRUE(panel.contains("before"));
    EXPECT_TRUE(panel.contains("Error: script bad.lua")) << panel.toStdString();
    next->trigger();
    EXPECT_TRUE(m_window->GetMessagePanel()->toPlainText().contains("snapshot 2"));
}

TEST_F(DesktopTest, SavingWritesWhatTheHeadlessSaveWrites) {
    CComPtr<IDispatch> viewer = m_window->GetDocument().GetExtendedControl("OrvexViewer1");
    VARIANT v{};
    v.vt = VT_R8;
    v.dblVal = 7.25;
    std::string error;
    ASSERT_TRUE(PutPropertyByName(viewer.get(), "RayEndTime", v, error)) << error;
    EXPECT_TRUE(m_window->IsModified());
    ASSERT_TRUE(m_window->SaveAs(QString::fromStdString(PathOf("desktop.json"))));
    EXPECT_FALSE(m_window->IsModified());
    EXPECT_TRUE(m_window->windowTitle().startsWith("desktop.json"));

    CHostDocument doc;
    ASSERT_TRUE(doc.Open(PathOf("demo.json"), error)) << error;
    ASSERT_TRUE(PutPropertyByName(doc.GetExtendedControl("OrvexViewer1").get(), "RayEndTime", v, error)) << error;
    ASSERT_TRUE(doc.Save(PathOf("headless.json"), error)) << error;
    doc.Close();
    const std::string saved = ReadFile(PathOf("desktop.json"));
    EXPECT_FALSE(saved.empty());
    EXPECT_EQ(saved, ReadFile(PathOf("headless.json")));
}

TEST_F(DesktopTest, UnknownControlsAndKeysSurviveOpeningAndSaving) {
    const std::string doc = R"({"page": {"width": 400, "height": 300}, "controls": [
        {"progid": "SOMEONE.ElsesCtrl.1", "name": "Other", "rect": [0, 0, 50, 50], "properties": {"Colour": 3}},
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V", "rect": [60, 0, 300, 240],
         "properties": {"FileName": "demo.orvex", "NotAViewerKey": "kept"}}]})";
    ASSERT_TRUE(m_window->OpenDocument(QString::fromStdString(WriteFile("odd.json", doc))));
    EXPECT_TRUE(m_window->GetMessagePanel()->toPlainText().contains("unknown ProgID"));
    EXPECT_FALSE(m_window->IsModified());
    ASSERT_TRUE(m_window->SaveAs(QString::fromStdString(PathOf("odd-saved.json"))));
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ParseDocumentJson(ReadFile(PathOf("odd-saved.json")), model, error, warnings)) << error;
    ASSERT_EQ(model.controls.size(), 2u);
    EXPECT_EQ(model.controls[0].progId, "SOMEONE.ElsesCtrl.1");
    bool kept = false;
    for (const SStoredProperty& p : model.controls[1].properties)
        kept = kept || (p.name == "NotAViewerKey" && p.value == CStoredValue(std::string("kept")));
    EXPECT_TRUE(kept);
}

TEST_F(DesktopTest, ClosingWithUnsavedChangesAsksFirst) {
    ASSERT_TRUE(m_window->ToggleAnimation());
    ASSERT_TRUE(m_window->IsModified());
    m_unsavedAnswer = 2;  // Cancel: the document stays open
    EXPECT_FALSE(m_window->CloseDocument());
    EXPECT_EQ(m_unsavedAsked, 1);
    EXPECT_TRUE(m_window->HasDocument());
    // Quitting is closing the window: refused the same way.
    EXPECT_FALSE(m_window->close());
    EXPECT_EQ(m_unsavedAsked, 2);

    m_unsavedAnswer = 0;  // Save: written under its own name, then closed
    EXPECT_TRUE(m_window->CloseDocument());
    EXPECT_FALSE(m_window->HasDocument());
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ParseDocumentJson(ReadFile(PathOf("demo.json")), model, error, warnings));
    bool animated = false;
    for (const SStoredProperty& p : model.controls[0].properties)
        animated = animated || (p.name == "IsAnimated" && p.value == CStoredValue(true));
    EXPECT_TRUE(animated);
    EXPECT_EQ(m_window->GetPageView()->GetImage().isNull(), true);
}

TEST_F(DesktopTest, ASimulationOpensInAnUntitledDocumentWithALinkedAscan) {
    ASSERT_TRUE(m_window->OpenSimulation(QString::fromStdString(PathOf("demo.orvex"))));
    Step();
    EXPECT_TRUE(m_window->windowTitle().startsWith("Untitled"));
    EXPECT_EQ(m_window->GetDocument().GetControlNames(),
              (std::vector<std::string>{kSimulationViewerName, kSimulationAscanName}));
    ASSERT_NE(Ascan(), nullptr);
    ASSERT_NE(Ascan()->GetPlot(), nullptr);
    EXPECT_FALSE(Ascan()->GetPlot()->m_lines.empty());  // linked: the viewer's A-scan is plotted
    EXPECT_EQ(m_window->GetPageView()->size(), QSize(1100, 420));

    // Saving an untitled document asks for a name.
    m_fileAnswers.push_back(QString::fromStdString(PathOf("untitled.json")));
    EXPECT_TRUE(m_window->Save());
    EXPECT_EQ(m_fileTitles.size(), 1u);
    EXPECT_FALSE(ReadFile(PathOf("untitled.json")).empty());

    EXPECT_FALSE(m_window->OpenSimulation(QString::fromStdString(PathOf("missing.orvex"))));
    EXPECT_TRUE(m_window->GetMessagePanel()->toPlainText().contains("missing.orvex"));
}

TEST_F(DesktopTest, ExportAndPrintWriteTheirFiles) {
    ASSERT_TRUE(m_window->ExportPng(QString::fromStdString(PathOf("page.png"))));
    CBitmap png, shown;
    ASSERT_TRUE(LoadBitmapPng(PathOf("page.png"), png));
    CopyShown(*m_window, shown);
    EXPECT_TRUE(SamePixels(png, shown));

    SPrintOptions options;
    options.orientation = EPaperOrientation::Landscape;
    ASSERT_TRUE(m_window->PrintTo(QString::fromStdString(PathOf("page.pdf")), options));
    EXPECT_EQ(ReadFile(PathOf("page.pdf")).substr(0, 5), "%PDF-");
    ASSERT_TRUE(m_window->PrintTo(QString::fromStdString(PathOf("page.svg")), {}));
    EXPECT_NE(ReadFile(PathOf("page.svg")).find("<svg"), std::string::npos);
    EXPECT_FALSE(m_window->PrintTo(QString::fromStdString(PathOf("page.txt")), {}));
}

TEST_F(DesktopTest, TheUsualShortcutsReachTheirCommands) {
    QApplication::setActiveWindow(m_window.get());
    // Ctrl+S saves under the document's own name, even without changes.
    std::filesystem::remove(PathOf("demo.json"));
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(ReadFile(PathOf("demo.json")).empty());
    // Ctrl+O and Ctrl+P ask for their files (answered with Cancel here).
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(m_fileFilters.size(), 1u);
    EXPECT_EQ(m_fileFilters[0], QStringList{"Documents (*.json)"});
    EXPECT_TRUE(m_window->HasDocument());
    // Ctrl+Q with changes asks, and Cancel keeps the window.
    ASSERT_TRUE(m_window->ToggleAnimation());
    m_unsavedAnswer = 2;
    QTest::keyClick(m_window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(m_unsavedAsked, 1);
    EXPECT_TRUE(m_window->HasDocument());
}

TEST_F(DesktopTest, ZoomedPageTakesInputAtPagePixels) {
    m_window->SetZoomPercent(200);
    EXPECT_EQ(m_window->GetPageView()->size(), QSize(2200, 840));
    Ascan()->GetPlot()->MouseMode = 1;
    CPageView* view = m_window->GetPageView();
    QTest::mouseMove(view, kDragFrom * 2);
    QTest::mousePress(view, Qt::LeftButton, {}, kDragFrom * 2);
    QTest::mouseMove(view, (kDragFrom + kDragTo));
    QTest::mouseMove(view, kDragTo * 2);
    QTest::mouseRelease(view, Qt::LeftButton, {}, kDragTo * 2);
    float low = 0, high = 0;
    Ascan()->GetPlot()->GetXRange(&low, &high);
    m_window->SetZoomPercent(100);
    // The same drag at page pixels, headless, ends in the same range.
    m_unsavedAnswer = 1;
    ASSERT_TRUE(m_window->CloseDocument());
    const auto headless = HeadlessZoomDrag(PathOf("demo.json"));
    EXPECT_FLOAT_EQ(low, headless.first);
    EXPECT_FLOAT_EQ(high, headless.second);
}

}  // namespace
