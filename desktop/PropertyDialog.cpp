#include "desktop/PropertyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "host/PropertyFrame.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CFileDialog.h"

namespace {

// The closed drop-down's height; the template's includes the list that drops down.
constexpr int kComboEditHeight = 21;
// The screen resolution the templates' dialog units are worked out for.
constexpr int kScreenDpi = 96;

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string ToUtf8(const QString& s) { return s.toUtf8().toStdString(); }

// The platform's dialog faces, shown in the metric-compatible face the page picture uses, so the
// texts fit the template's rectangles as they were laid out for.
QString DialogFamily(const std::string& face) {
    const QString name = FromUtf8(face).toLower();
    for (const char* classic : {"ms sans serif", "microsoft sans serif", "ms shell dlg", "ms shell dlg 2", "tahoma",
                                "arial", "helvetica", "system"})
        if (name == classic) return "Liberation Sans";
    return FromUtf8(face);
}

QFont TemplateFont(const CDialogTemplate& t) {
    QFont font(DialogFamily(t.fontFace));
    // The template's size is in points at the screen's resolution, as the page picture draws it.
    font.setPixelSize(std::max(1, (t.pointSize * kScreenDpi + 36) / 72));
    return font;
}

QRect ToQRect(const CRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

// The largest page, which every tab gets so switching tabs does not resize the dialog.
QSize PageArea(const CPropertyFrame& frame) {
    QSize size(0, 0);
    for (int i = 0; i < frame.GetPageCount(); ++i)
        if (const CDialogTemplate* t = frame.GetPage(i)->GetTemplate()) {
            const CSize s = t->GetPixelSize();
            size = size.expandedTo(QSize(s.cx, s.cy));
        }
    return size;
}

QStringList QtFilters(const CFileDialog& dialog) {
    QStringList filters;
    for (const auto& [description, pattern] : dialog.GetFilterEntries()) {
        QString patterns = FromUtf8(pattern);
        patterns.replace(';', ' ');
        QString text = FromUtf8(description);
        if (!text.endsWith(')')) text += " (" + patterns + ")";
        filters << text;
    }
    return filters;
}

}  // namespace

CPropertyDialog::CPropertyDialog(CPropertyFrame& frame, const SDesktopPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_pFrame(&frame), m_prompts(prompts) {
    setObjectName("propertyDialog");
    setWindowTitle(FromUtf8(frame.GetCaption()));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    layout->addWidget(m_tabs);
    const QSize area = PageArea(frame);
    for (int i = 0; i < frame.GetPageCount(); ++i) {
        SPageWidgets pw;
        pw.page = new QWidget;
        pw.page->setFixedSize(area);
        m_tabs->addTab(pw.page, FromUtf8(frame.GetPage(i)->GetCaption()));
        m_pages.push_back(pw);
    }
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_apply = buttons->addButton(QDialogButtonBox::Apply);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_ok, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(m_apply, &QPushButton::clicked, this, [this] { OnApply(); });

    InstallPagePrompts();
    m_tabs->setCurrentIndex(frame.GetActiveIndex());
    BuildPage(frame.GetActiveIndex());
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
    Refresh();
}

CPropertyDialog::~CPropertyDialog() {
    // The page prompts point at this dialog; the frame's own (recording) answers come back when
    // the frame closes, which this dialog's end makes sure of.
    if (Frame() != nullptr) ClosePropertyFrame();
}

CPropertyFrame* CPropertyDialog::Frame() const {
    // The host may have closed the frame (its document closed); this dialog then shows nothing.
    return GetOpenPropertyFrame() == m_pFrame ? m_pFrame : nullptr;
}

void CPropertyDialog::InstallPagePrompts() {
    AfxSetMessageBoxHandler([this](const std::string& text, UINT) {
        if (m_prompts.message) m_prompts.message(this, windowTitle(), FromUtf8(text));
        return IDOK;
    });
    CFileDialog::SetAnswerProvider([this](const CFileDialog& dialog) -> std::optional<std::string> {
        if (!m_prompts.file) return std::nullopt;
        const auto path = m_prompts.file(this, dialog.IsOpenFileDialog() ? tr("Open") : tr("Save As"),
                                         QtFilters(dialog), !dialog.IsOpenFileDialog(),
                                         FromUtf8(dialog.GetInitialFileName()));
        if (!path) return std::nullopt;
        return ToUtf8(*path);
    });
}

void CPropertyDialog::BuildPage(int index) {
    CPropertyFrame* frame = Frame();
    if (frame == nullptr || index < 0 || index >= static_cast<int>(m_pages.size())) return;
    SPageWidgets& pw = m_pages[static_cast<size_t>(index)];
    if (pw.built) return;
    COlePropertyPage* page = frame->GetPage(index);
    const CDialogTemplate* tmpl = page ? page->GetTemplate() : nullptr;
    if (tmpl == nullptr) return;
    pw.built = true;
    pw.page->setFont(TemplateFont(*tmpl));

    // Group boxes first, so the controls inside them lie above them.
    std::vector<const CDialogControl*> order;
    for (const CDialogControl& c : page->GetControls())
        if (c.GetKind() == EDialogItemKind::GroupBox) order.push_back(&c);
    for (const CDialogControl& c : page->GetControls())
        if (c.GetKind() != EDialogItemKind::GroupBox) order.push_back(&c);

    for (const CDialogControl* pc : order) {
        const CDialogControl& c = *pc;
        const int id = c.GetId();
        QRect r = ToQRect(tmpl->MapDialogRect(c.GetItem()));
        QWidget* w = nullptr;
        switch (c.GetKind()) {
        case EDialogItemKind::PushButton: {
            auto* b = new QPushButton(FromUtf8(c.GetWindowText()), pw.page);
            connect(b, &QPushButton::clicked, this, [this, index, id] {
                if (CPropertyFrame* f = Frame()) f->GetPage(index)->UserClick(id);
                AfterUserAction();
            });
            w = b;
            break;
        }
        case EDialogItemKind::Edit: {
            auto* e = new QLineEdit(pw.page);
            connect(e, &QLineEdit::textEdited, this, [this, index, id](const QString& text) {
                if (CPropertyFrame* f = Frame()) f->GetPage(index)->UserSetText(id, ToUtf8(text));
                AfterUserAction();
            });
            w = e;
            break;
        }
        case EDialogItemKind::CheckBox: {
            auto* b = new QCheckBox(FromUtf8(c.GetWindowText()), pw.page);
            connect(b, &QCheckBox::clicked, this, [this, index, id](bool checked) {
                if (CPropertyFrame* f = Frame()) f->GetPage(index)->UserCheck(id, checked ? TRUE : FALSE);
                AfterUserAction();
            });
            w = b;
            break;
        }
        case EDialogItemKind::RadioButton: {
            auto* b = new QRadioButton(FromUtf8(c.GetWindowText()), pw.page);
            // The page keeps its groups (CheckRadioButton); Qt's own grouping would join them all.
            b->setAutoExclusive(false);
            connect(b, &QRadioButton::clicked, this, [this, index, id] {
                if (CPropertyFrame* f = Frame()) f->GetPage(index)->UserClick(id);
                AfterUserAction();
            });
            w = b;
            break;
        }
        case EDialogItemKind::GroupBox:
            w = new QGroupBox(FromUtf8(c.GetWindowText()), pw.page);
            break;
        case EDialogItemKind::Label: {
            auto* l = new QLabel(FromUtf8(c.GetWindowText()), pw.page);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            // A label of one line's height would wrap its last word out of sight where Qt's text
            // is a pixel wider than the page picture's: it keeps one line and the room it needs.
            if (r.height() >= 2 * l->fontMetrics().height()) l->setWordWrap(true);
            else r.setWidth(std::max(r.width(), l->sizeHint().width()));
            w = l;
            break;
        }
        case EDialogItemKind::ComboBox: {
            auto* box = new QComboBox(pw.page);
            const bool editable = (c.GetItem().style & 0x3) == CBS_DROPDOWN;
            box->setEditable(editable);
            r.setHeight(std::min(r.height(), kComboEditHeight));
            connect(box, &QComboBox::activated, this, [this, index, id](int entry) {
                if (CPropertyFrame* f = Frame()) f->GetPage(index)->UserSelect(id, entry);
                AfterUserAction();
            });
            if (editable)
                connect(box->lineEdit(), &QLineEdit::textEdited, this, [this, index, id](const QString& text) {
                    if (CPropertyFrame* f = Frame()) f->GetPage(index)->UserSetText(id, ToUtf8(text));
                    AfterUserAction();
                });
            w = box;
            break;
        }
        }
        w->setGeometry(r);
        w->show();  // a page built when its tab is first shown is already visible
        if (c.GetKind() == EDialogItemKind::GroupBox) w->lower();
        if (id != IDC_STATIC) pw.controls[id] = w;
        if (id != IDC_STATIC) w->setObjectName(QString("control%1").arg(id));
    }
}

void CPropertyDialog::OnTabChanged(int index) {
    CPropertyFrame* frame = Frame();
    if (frame == nullptr || m_bRefreshing) return;
    frame->SetActivePage(index);
    BuildPage(index);
    Refresh();
}

void CPropertyDialog::AfterUserAction() {
    if (Frame() == nullptr) {
        reject();
        return;
    }
    Refresh();
}

void CPropertyDialog::Refresh() {
    CPropertyFrame* frame = Frame();
    if (frame == nullptr) return;
    m_bRefreshing = true;
    for (size_t i = 0; i < m_pages.size(); ++i) {
        SPageWidgets& pw = m_pages[i];
        if (!pw.built) continue;
        COlePropertyPage* page = frame->GetPage(static_cast<int>(i));
        for (const CDialogControl& c : page->GetControls()) {
            auto it = pw.controls.find(c.GetId());
            if (it == pw.controls.end()) continue;
            QWidget* w = it->second;
            const QSignalBlocker block(w);
            const QString text = FromUtf8(c.GetWindowText());
            switch (c.GetKind()) {
            case EDialogItemKind::Edit:
                if (auto* e = static_cast<QLineEdit*>(w); e->text() != text) e->setText(text);
                break;
            case EDialogItemKind::CheckBox:
            case EDialogItemKind::RadioButton:
                static_cast<QAbstractButton*>(w)->setChecked(c.GetCheck() != FALSE);
                break;
            case EDialogItemKind::PushButton:
            case EDialogItemKind::GroupBox:
            case EDialogItemKind::Label:
                if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(text);
                else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(text);
                else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(text);
                break;
            case EDialogItemKind::ComboBox: {
                auto* box = static_cast<QComboBox*>(w);
                QStringList entries;
                for (const std::string& s : c.GetList()) entries << FromUtf8(s);
                QStringList shown;
                for (int k = 0; k < box->count(); ++k) shown << box->itemText(k);
                if (shown != entries) {
                    box->clear();
                    box->addItems(entries);
                }
                box->setCurrentIndex(c.GetCurSel());
                if (box->isEditable() && box->currentText() != text) box->setEditText(text);
                break;
            }
            }
        }
    }
    if (m_tabs->currentIndex() != frame->GetActiveIndex()) m_tabs->setCurrentIndex(frame->GetActiveIndex());
    m_bRefreshing = false;
    m_apply->setEnabled(frame->IsApplyEnabled() != FALSE);
}

void CPropertyDialog::OnOk() {
    if (Frame() == nullptr) {
        reject();
        return;
    }
    // A refused value leaves the frame open on the page that refused it (its message was shown).
    if (PropertyFrameOK()) {
        accept();
        return;
    }
    Refresh();
}

void CPropertyDialog::OnApply() {
    CPropertyFrame* frame = Frame();
    if (frame == nullptr) return;
    frame->Apply();
    Refresh();
}

QWidget* CPropertyDialog::GetControlWidget(int pageIndex, int controlId) const {
    if (pageIndex < 0 || pageIndex >= static_cast<int>(m_pages.size())) return nullptr;
    const auto& controls = m_pages[static_cast<size_t>(pageIndex)].controls;
    auto it = controls.find(controlId);
    return it == controls.end() ? nullptr : it->second;
}

void CPropertyDialog::done(int result) {
    // Cancel, Escape and the window's close button all end the frame without writing.
    if (Frame() != nullptr) ClosePropertyFrame();
    QDialog::done(result);
}
