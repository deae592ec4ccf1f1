#include "desktop/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <fstream>
#include <iterator>

#include "desktop/DesktopDisplay.h"
#include "desktop/PagePump.h"
#include "desktop/PageView.h"
#include "desktop/PropertyDialog.h"
#include "desktop/SimulationDocument.h"
#include "host/BscanPicture.h"
#include "host/DispatchCalls.h"
#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "host/PropertyFrame.h"
#include "platform/afx/COleControl.h"
#include "platform/com/OleInterfaces.h"
#include "platform/gdi/CBitmap.h"

namespace {

constexpr const char* kAppName = "OrvexViewer";
constexpr int kZoomSteps[] = {50, 75, 100, 125, 150, 200};
constexpr const char* kDocumentFilter = "Documents (*.json)";
constexpr const char* kSimulationFilter = "Simulation files (*.orvex)";
constexpr const char* kLuaFilter = "Lua scripts (*.lua)";
constexpr const char* kPngFilter = "PNG pictures (*.png)";

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string ToUtf8(const QString& s) { return s.toUtf8().toStdString(); }

// Where the documentation is: installed beside the tool, else the source tree it was built from.
QString DocsFolder() {
    const QString installed = QCoreApplication::applicationDirPath() + "/../share/doc/OrvexViewer";
    if (QFileInfo(installed + "/desktop.md").exists()) return QDir(installed).canonicalPath();
#ifdef ORVEX_SOURCE_DOCS
    return QString(ORVEX_SOURCE_DOCS);
#else
    return installed;
#endif
}

}  // namespace

CMainWindow::CMainWindow(const CClock& clock, bool startPump, QWidget* parent)
    : QMainWindow(parent), m_clock(clock), m_prompts(SDesktopPrompts::Interactive()),
      m_pDocument(std::make_unique<CHostDocument>()) {
    m_pump = std::make_unique<CPagePump>(m_clock, [this] { AfterStep(); });

    m_pageView = new CPageView;
    m_pageView->setObjectName("page");
    m_pageView->SetMouseSink([this](CWindowManager::MouseAction action, CPoint pt) { OnMouse(action, pt); });
    m_scroll = new QScrollArea;
    m_scroll->setWidget(m_pageView);
    m_scroll->setWidgetResizable(false);
    m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    setCentralWidget(m_scroll);

    m_messages = new QPlainTextEdit;
    m_messages->setObjectName("messages");
    m_messages->setReadOnly(true);
    m_messages->setMaximumBlockCount(5000);
    auto* dock = new QDockWidget(tr("Messages"), this);
    dock->setObjectName("messagesDock");
    dock->setWidget(m_messages);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    m_messages->setMinimumHeight(60);
    resizeDocks({dock}, {90}, Qt::Vertical);

    m_status = new QLabel;
    statusBar()->addWidget(m_status);
    BuildMenus();
    UpdateTitle();
    if (startPump) m_pump->Start();
}

CMainWindow::~CMainWindow() {
    m_pump->Stop();
    delete m_dialog;
    m_pump->SetDocument(nullptr);
    m_pMacros.reset();
    m_pDocument->Close();
}

void CMainWindow::BuildMenus() {
    // The shortcuts are spelled out: the standard keys depend on the platform theme, and some
    // themes have no Quit or Close key at all.
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open document..."), QKeySequence(Qt::CTRL | Qt::Key_O), this, [this] {
        if (auto path = m_prompts.file(this, tr("Open document"), {kDocumentFilter}, false, {})) OpenDocument(*path);
    });
    file->addAction(tr("Open &simulation..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), this, [this] {
        if (auto path = m_prompts.file(this, tr("Open simulation"), {kSimulationFilter}, false, {}))
            OpenSimulation(*path);
    });
    file->addSeparator();
    file->addAction(tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S), this, [this] { Save(); });
    file->addAction(tr("Save &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this, [this] {
        if (!HasDocument()) return;
        if (auto path = m_prompts.file(this, tr("Save document as"), {kDocumentFilter}, true, m_path)) SaveAs(*path);
    });
    file->addAction(tr("&Export page as PNG..."), this, [this] {
        if (!HasDocument()) return;
        if (auto path = m_prompts.file(this, tr("Export page"), {kPngFilter}, true, {})) ExportPng(*path);
    });
    file->addAction(tr("&Print to PDF or SVG..."), QKeySequence(Qt::CTRL | Qt::Key_P), this, [this] { PrintWithDialog(); });
    file->addSeparator();
    file->addAction(tr("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W), this, [this] { CloseDocument(); });
    file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, [this] { close(); });

    m_macrosMenu = menuBar()->addMenu(tr("&Macros"));
    RebuildMacrosMenu();

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->addAction(tr("&Properties of the selected control..."), QKeySequence(Qt::ALT | Qt::Key_Return), this,
                    [this] { ShowSelectedProperties(); });
    view->addAction(tr("Start or stop the &animation"), QKeySequence(Qt::Key_F5), this, [this] { ToggleAnimation(); });
    view->addAction(tr("&B-scan of the viewer"), QKeySequence(Qt::CTRL | Qt::Key_B), this, [this] { ShowBscan(); });
    QMenu* zoom = view->addMenu(tr("&Zoom"));
    m_zoomGroup = new QActionGroup(this);
    for (int percent : kZoomSteps) {
        QAction* a = zoom->addAction(QString("%1 %").arg(percent), this, [this, percent] { SetZoomPercent(percent); });
        a->setCheckable(true);
        a->setChecked(percent == 100);
        a->setData(percent);
        m_zoomGroup->addAction(a);
    }
    zoom->addSeparator();
    zoom->addAction(tr("Zoom &in"), QKeySequence::ZoomIn, this, [this] {
        for (int p : kZoomSteps)
            if (p > m_pageView->GetZoomPercent()) return SetZoomPercent(p);
    });
    zoom->addAction(tr("Zoom &out"), QKeySequence::ZoomOut, this, [this] {
        for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
            if (*it < m_pageView->GetZoomPercent()) return SetZoomPercent(*it);
    });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About OrvexViewer"), this, [this] {
        QMessageBox::about(this, tr("About OrvexViewer"),
                           tr("<p><b>orvex %1</b> (OrvexViewer for Linux)</p><p>Documentation: %2</p>")
                               .arg(ORVEX_DESKTOP_VERSION, DocsFolder().toHtmlEscaped()));
    });
}

void CMainWindow::RebuildMacrosMenu() {
    m_macrosMenu->clear();
    if (HasDocument())
        for (const auto& [name, source] : m_pDocument->GetMacros()) {
            const QString macro = FromUtf8(name);
            QAction* a = m_macrosMenu->addAction(macro, this, [this, macro] { RunMacro(macro); });
            a->setObjectName("macro:" + macro);
        }
    if (!m_macrosMenu->isEmpty()) m_macrosMenu->addSeparator();
    QAction* script = m_macrosMenu->addAction(tr("&Run script..."), this, [this] {
        if (auto path = m_prompts.file(this, tr("Run script"), {kLuaFilter}, false, {})) RunScriptFile(*path);
    });
    script->setEnabled(HasDocument());
}

CPropertyDialog* CMainWindow::GetPropertyDialog() const { return m_dialog; }

bool CMainWindow::HasDocument() const { return m_pDocument->IsOpen(); }

bool CMainWindow::Reopen(const std::function<bool(std::string& error)>& open, const QString& path) {
    if (!CloseDocument()) return false;
    std::string error;
    if (!open(error)) {
        Report(tr("Cannot open: %1").arg(FromUtf8(error)));
        m_pDocument->Close();
        return false;
    }
    m_path = path;
    for (const std::string& problem : m_pDocument->GetMessages()) Report(FromUtf8(problem));
    AttachDocument();
    return true;
}

bool CMainWindow::OpenDocument(const QString& path) {
    // The document works in its own folder while open, so its name is made absolute first.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    return Reopen([&](std::string& error) { return m_pDocument->Open(ToUtf8(absolute), error); }, absolute);
}

bool CMainWindow::OpenSimulation(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo(absolute).isFile()) {
        Report(tr("Cannot open: %1: no such file").arg(absolute));
        return false;
    }
    return Reopen(
        [&](std::string& error) { return m_pDocument->OpenModel(SimulationDocumentModel(ToUtf8(absolute)), error); },
        QString());
}

void CMainWindow::AttachDocument() {
    // The document opened headless: from now on its page is shown here.
    const HWND hPage = m_pDocument->GetPageWindow();
    CWindowManager& manager = CWindowManager::Current();
    if (manager.IsWindow(hPage)) manager.SetDisplay(std::make_unique<CDesktopDisplay>(m_pageView, hPage));

    m_pMacros = std::make_unique<CMacroHost>(*m_pDocument);
    m_pMacros->SetPrintSink([this](std::string_view text) {
        QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        if (line.endsWith('\n')) line.chop(1);
        Report(line);
    });
    m_pMacros->SetReportSink([this](const std::string& error) { Report(tr("Error: %1").arg(FromUtf8(error))); });

    m_savedText = FormatDocumentJson(m_pDocument->GetModel());
    const auto names = m_pDocument->GetControlNames();
    m_selected = names.empty() ? QString() : FromUtf8(names.front());
    m_pump->SetDocument(m_pDocument.get());
    RebuildMacrosMenu();
    UpdateTitle();
    m_pump->Step();
}

bool CMainWindow::CloseDocument() {
    if (!HasDocument()) return true;
    if (IsModified()) {
        const QString name = m_path.isEmpty() ? tr("Untitled") : QFileInfo(m_path).fileName();
        switch (m_prompts.unsaved(this, name)) {
        case EUnsavedAnswer::Cancel:
            return false;
        case EUnsavedAnswer::Save:
            if (!Save()) return false;
            break;
        case EUnsavedAnswer::Discard:
            break;
        }
    }
    delete m_dialog;
    m_pump->SetDocument(nullptr);
    m_pMacros.reset();
    m_pDocument->Close();
    m_pageView->SetSurface(nullptr);
    m_path.clear();
    m_selected.clear();
    m_savedText.clear();
    RebuildMacrosMenu();
    UpdateTitle();
    return true;
}

bool CMainWindow::IsModified() {
    return HasDocument() && FormatDocumentJson(m_pDocument->GetModel()) != m_savedText;
}

bool CMainWindow::Save() {
    if (!HasDocument()) return false;
    if (m_path.isEmpty()) {
        auto path = m_prompts.file(this, tr("Save document as"), {kDocumentFilter}, true, {});
        return path && SaveAs(*path);
    }
    return SaveAs(m_path);
}

bool CMainWindow::SaveAs(const QString& path) {
    if (!HasDocument()) return false;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    std::string error;
    if (!m_pDocument->Save(ToUtf8(absolute), error)) {
        Report(tr("Cannot save: %1").arg(FromUtf8(error)));
        return false;
    }
    m_path = absolute;
    m_savedText = FormatDocumentJson(m_pDocument->GetModel());
    Report(tr("Saved %1").arg(absolute));
    UpdateTitle();
    return true;
}

bool CMainWindow::SelectControl(const QString& name) {
    if (!HasDocument() || m_pDocument->GetControl(ToUtf8(name)) == nullptr) return false;
    m_selected = name;
    UpdateTitle();
    return true;
}

bool CMainWindow::ShowSelectedProperties() {
    COleControl* control = HasDocument() ? m_pDocument->GetControl(ToUtf8(m_selected)) : nullptr;
    if (control == nullptr) return false;
    // The verb opens the host's frame (through the document's hook); the dialog shows it.
    if (FAILED(control->DoVerb(OLEIVERB_PROPERTIES)) || GetOpenPropertyFrame() == nullptr) {
        Report(tr("%1 has no property pages").arg(m_selected));
        return false;
    }
    ShowPendingPropertyFrame();
    return m_dialog != nullptr;
}

bool CMainWindow::ToggleAnimation() {
    CComPtr<IDispatch> control = HasDocument() ? m_pDocument->GetExtendedControl(ToUtf8(m_selected)) : nullptr;
    if (!control) return false;
    std::string error;
    if (!CallMethodByName(control.get(), "AnimatePulse", {}, error)) {
        Report(tr("%1 cannot animate (%2)").arg(m_selected, FromUtf8(error)));
        return false;
    }
    m_pump->Step();
    return true;
}

bool CMainWindow::ShowBscan() {
    if (!HasDocument()) return false;
    // The selected control when it hands out A-scans (a viewer), else the page's first viewer.
    const auto isViewer = [](IDispatch* control) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[1] = {const_cast<LPOLESTR>("GetAscan")};
        return control != nullptr && SUCCEEDED(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    };
    std::string name = ToUtf8(m_selected);
    CComPtr<IDispatch> viewer = m_pDocument->GetExtendedControl(name);
    if (!isViewer(viewer.get())) {
        viewer.Release();
        for (const std::string& candidate : m_pDocument->GetControlNames()) {
            CComPtr<IDispatch> control = m_pDocument->GetExtendedControl(candidate);
            if (isViewer(control.get())) {
                viewer = control;
                name = candidate;
                break;
            }
        }
    }
    if (!viewer) {
        Report(tr("The page has no viewer to show a B-scan of"));
        return false;
    }
    CBitmap bitmap;
    std::string error;
    if (!RenderBscanBitmap(viewer.get(), SBscanOptions(), bitmap, error)) {
        Report(tr("No B-scan of %1 (%2)").arg(FromUtf8(name), FromUtf8(error)));
        return false;
    }
    // 0x00BBGGRR pixels, row by row.
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    QImage image(w, h, QImage::Format_RGB32);
    const uint32_t* pixels = bitmap.GetPixels();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint32_t c = pixels[static_cast<size_t>(y) * w + x];
            line[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        }
    }
    const QPixmap picture = QPixmap::fromImage(image);
    if (!m_bscan) {
        m_bscan = new QDialog(this);
        m_bscan->setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(m_bscan);
        auto* label = new QLabel(m_bscan);
        label->setObjectName("bscan");
        layout->addWidget(label);
    }
    m_bscan->setWindowTitle(tr("B-scan of %1").arg(FromUtf8(name)));
    m_bscan->findChild<QLabel*>("bscan")->setPixmap(picture);
    m_bscan->show();
    return true;
}

QDialog* CMainWindow::GetBscanWindow() const { return m_bscan; }

bool CMainWindow::RunMacro(const QString& name) {
    if (!m_pMacros) return false;
    std::string error;
    const bool ok = m_pMacros->RunMacro(ToUtf8(name), error);
    if (!ok) Report(tr("Error: %1").arg(FromUtf8(error)));
    m_pump->Step();
    return ok;
}

bool CMainWindow::RunScriptFile(const QString& path) {
    if (!m_pMacros) return false;
    std::ifstream in(ToUtf8(QFileInfo(path).absoluteFilePath()), std::ios::binary);
    if (!in) {
        Report(tr("Error: cannot read %1").arg(path));
        return false;
    }
    const std::string source((std::istreambuf_iterator<char>(in)), {});
    std::string error;
    const bool ok = m_pMacros->RunSource(source, "script " + ToUtf8(QFileInfo(path).fileName()), error);
    if (!ok) Report(tr("Error: %1").arg(FromUtf8(error)));
    m_pump->Step();
    return ok;
}

bool CMainWindow::ExportPng(const QString& path) {
    std::string error;
    if (!HasDocument() || !m_pDocument->Render(ToUtf8(QFileInfo(path).absoluteFilePath()), error)) {
        Report(tr("Cannot export: %1").arg(FromUtf8(error)));
        return false;
    }
    Report(tr("Wrote %1").arg(path));
    return true;
}

bool CMainWindow::PrintTo(const QString& path, const SPrintOptions& options) {
    std::string error;
    if (!HasDocument() || !PrintDocument(*m_pDocument, ToUtf8(QFileInfo(path).absoluteFilePath()), options, error)) {
        Report(tr("Cannot print: %1").arg(FromUtf8(error)));
        return false;
    }
    Report(tr("Printed to %1").arg(path));
    return true;
}

void CMainWindow::PrintWithDialog() {
    if (!HasDocument()) return;
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Print"));
    auto* form = new QFormLayout(&dialog);
    auto* paper = new QComboBox;
    paper->addItems({"A4", "Letter"});
    auto* orientation = new QComboBox;
    orientation->addItems({tr("Portrait"), tr("Landscape")});
    auto* format = new QComboBox;
    format->addItems({"PDF", "SVG"});
    form->addRow(tr("Paper:"), paper);
    form->addRow(tr("Orientation:"), orientation);
    form->addRow(tr("Format:"), format);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    SPrintOptions options;
    options.paper = paper->currentIndex() == 1 ? EPaperSize::Letter : EPaperSize::A4;
    options.orientation = orientation->currentIndex() == 1 ? EPaperOrientation::Landscape : EPaperOrientation::Portrait;
    const bool svg = format->currentIndex() == 1;
    const QString filter = svg ? "SVG files (*.svg)" : "PDF files (*.pdf)";
    auto path = m_prompts.file(this, tr("Print to"), {filter}, true, {});
    if (!path) return;
    QString target = *path;
    const QString ext = svg ? ".svg" : ".pdf";
    if (!target.endsWith(ext, Qt::CaseInsensitive)) target += ext;
    PrintTo(target, options);
}

void CMainWindow::SetZoomPercent(int percent) {
    m_pageView->SetZoomPercent(percent);
    for (QAction* a : m_zoomGroup->actions()) a->setChecked(a->data().toInt() == m_pageView->GetZoomPercent());
}

void CMainWindow::OnMouse(CWindowManager::MouseAction action, CPoint pt) {
    if (!HasDocument()) return;
    const HWND hPage = m_pDocument->GetPageWindow();
    CWindowManager& manager = CWindowManager::Current();
    if (!manager.IsWindow(hPage)) return;
    if (action == CWindowManager::MouseAction::LeftDown || action == CWindowManager::MouseAction::RightDown) {
        // The control under the pointer becomes the selected one.
        for (HWND h = manager.WindowFromSurfacePoint(hPage, pt); h != nullptr && h != hPage; h = manager.GetParent(h))
            for (const std::string& name : m_pDocument->GetControlNames())
                if (COleControl* c = m_pDocument->GetControl(name); c && c->GetSafeHwnd() == h) {
                    m_selected = FromUtf8(name);
                    UpdateTitle();
                }
    }
    manager.QueueMouseInput(hPage, action, pt);
    m_pump->Step();
}

void CMainWindow::AfterStep() {
    // A macro opened another frame, which closed the one the dialog shows: that dialog goes.
    if (m_dialog && !m_dialog->ShowsOpenFrame()) delete m_dialog;
    // A control's properties verb (a right-button release) opened the host's frame while the
    // pump ran; the dialog is shown once the pump is done.
    if (GetOpenPropertyFrame() != nullptr && !m_dialog && !m_bFramePending) {
        m_bFramePending = true;
        QTimer::singleShot(0, this, [this] { ShowPendingPropertyFrame(); });
    }
}

void CMainWindow::ShowPendingPropertyFrame() {
    m_bFramePending = false;
    CPropertyFrame* frame = GetOpenPropertyFrame();
    if (frame == nullptr || m_dialog) return;
    auto* dialog = new CPropertyDialog(*frame, m_prompts, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog = dialog;
    dialog->open();
}

void CMainWindow::UpdateTitle() {
    const QString name = !HasDocument() ? QString() : m_path.isEmpty() ? tr("Untitled") : QFileInfo(m_path).fileName();
    setWindowTitle(name.isEmpty() ? QString(kAppName) : name + " - " + kAppName);
    m_status->setText(m_selected.isEmpty() ? QString() : tr("Selected: %1").arg(m_selected));
}

void CMainWindow::Report(const QString& line) { m_messages->appendPlainText(line); }

void CMainWindow::closeEvent(QCloseEvent* event) {
    if (CloseDocument()) event->accept();
    else event->ignore();
}
