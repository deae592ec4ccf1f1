// The property dialog: opened by the right-button release on a control and from the menu, its
// widgets at the template's places, edits going through the page's exchange and validation, and
// OK, Cancel, Apply and Browse... doing what the headless frame does.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "DesktopTestSupport.h"
#include "desktop/MainWindow.h"
#include "desktop/PageView.h"
#include "desktop/PropertyDialog.h"
#include "host/HostDocument.h"
#include "host/PropertyFrame.h"
#include "pages/PageResourceIds.h"
#include "platform/afx/COlePropertyPage.h"

namespace {

constexpr QPoint kOnViewer(250, 200);
constexpr QPoint kOnAscan(800, 200);

class PropertyDialogTest : public DesktopTest {
protected:
    CPropertyDialog* RightClick(QPoint where) {
        CPageView* view = m_window->GetPageView();
        QTest::mouseMove(view, where);
        QTest::mousePress(view, Qt::RightButton, {}, where);
        QTest::mouseRelease(view, Qt::RightButton, {}, where);
        Step();
        return m_window->GetPropertyDialog();
    }
    // The stored value of a viewer property as the document would save it.
    std::string Stored(const std::string& control, const std::string& name) {
        for (const SDocumentControl& c : m_window->GetDocument().GetModel().controls)
            if (c.name == control)
                for (const SStoredProperty& p : c.properties)
                    if (p.name == name) {
                        if (auto* d = std::get_if<double>(&p.value)) return std::to_string(*d);
                        if (auto* i = std::get_if<int32_t>(&p.value)) return std::to_string(*i);
                        if (auto* b = std::get_if<bool>(&p.value)) return *b ? "true" : "false";
                        return std::get<std::string>(p.value);
                    }
        return "?";
    }
    void TypeInto(QWidget* w, const QString& text) {
        auto* edit = qobject_cast<QLineEdit*>(w);
        ASSERT_NE(edit, nullptr);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
};

TEST_F(PropertyDialogTest, RightButtonReleaseOpensTheViewersPagesAsAModalDialog) {
    CPropertyDialog* dialog = RightClick(kOnViewer);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->windowTitle(), "OrvexViewer1 Properties");
    CPropertyFrame* frame = GetOpenPropertyFrame();
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(dialog->GetTabs()->count(), frame->GetPageCount());
    // Every control of the shown page is a widget at the place its template maps to.
    COlePropertyPage* page = frame->GetPage(0);
    const CDialogTemplate& tmpl = *page->GetTemplate();
    int checked = 0;
    for (const CDialogControl& c : page->GetControls()) {
        if (c.GetId() == IDC_STATIC || c.GetKind() == EDialogItemKind::ComboBox) continue;
        QWidget* w = dialog->GetControlWidget(0, c.GetId());
        ASSERT_NE(w, nullptr) << c.GetId();
        const CRect r = tmpl.MapDialogRect(c.GetItem());
        EXPECT_EQ(w->geometry(), QRect(r.left, r.top, r.Width(), r.Height())) << c.GetId();
        ++checked;
    }
    EXPECT_GT(checked, 5);
    // The edits show what the page's exchange loaded.
    auto* fileName = qobject_cast<QLineEdit*>(dialog->GetControlWidget(0, IDC_FILENAME));
    ASSERT_NE(fileName, nullptr);
    EXPECT_EQ(fileName->text().toStdString(), page->GetDlgItemText(IDC_FILENAME));
    EXPECT_EQ(fileName->text(), "demo.orvex");
    EXPECT_FALSE(dialog->GetApplyButton()->isEnabled());
}

TEST_F(PropertyDialogTest, AnEditedFieldIsWrittenOnOk) {
    CPropertyDialog* dialog = RightClick(kOnViewer);
    ASSERT_NE(dialog, nullptr);
    TypeInto(dialog->GetControlWidget(0, IDC_RAYENDTIME), "7.5");
    EXPECT_TRUE(dialog->GetApplyButton()->isEnabled());
    EXPECT_EQ(Stored("OrvexViewer1", "RayEndTime"), "10.000000");  // nothing written before OK
    QTest::mouseClick(dialog->GetOkButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
    EXPECT_EQ(m_window->GetPropertyDialog(), nullptr);
    EXPECT_EQ(Stored("OrvexViewer1", "RayEndTime"), "7.500000");
    EXPECT_TRUE(m_window->IsModified());
    EXPECT_TRUE(m_messagesShown.empty());
}

TEST_F(PropertyDialogTest, ARefusedValueShowsThePagesMessageAndKeepsTheDialogOpen) {
    CPropertyDialog* dialog = RightClick(kOnViewer);
    ASSERT_NE(dialog, nullptr);
    TypeInto(dialog->GetControlWidget(0, IDC_RAYENDTIME), "soon");
    QTest::mouseClick(dialog->GetOkButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_EQ(m_messagesShown.size(), 1u);
    EXPECT_FALSE(m_messagesShown[0].isEmpty());
    EXPECT_NE(GetOpenPropertyFrame(), nullptr);
    EXPECT_TRUE(dialog->isVisible());
    // Cancel closes without writing.
    QTest::mouseClick(dialog->GetCancelButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
    EXPECT_EQ(Stored("OrvexViewer1", "RayEndTime"), "10.000000");
    EXPECT_FALSE(m_window->IsModified());
}

TEST_F(PropertyDialogTest, ApplyWritesAndTheDialogStaysAndBrowseFillsTheFileName) {
    CPropertyDialog* dialog = RightClick(kOnViewer);
    ASSERT_NE(dialog, nullptr);
    TypeInto(dialog->GetControlWidget(0, IDC_RAYENDTIME), "3");
    QTest::mouseClick(dialog->GetApplyButton(), Qt::LeftButton);
    EXPECT_EQ(Stored("OrvexViewer1", "RayEndTime"), "3.000000");
    EXPECT_FALSE(dialog->GetApplyButton()->isEnabled());
    EXPECT_TRUE(dialog->isVisible());

    // Browse... asks for a file through the page's file dialog; the answer lands in the edit.
    m_fileAnswers.push_back(QString::fromStdString(PathOf("demo.orvex")));
    QTest::mouseClick(qobject_cast<QPushButton*>(dialog->GetControlWidget(0, IDC_BROWSE)), Qt::LeftButton);
    ASSERT_EQ(m_fileTitles.size(), 1u);
    // The page's filter, in Qt's form: a description with its patterns in brackets.
    ASSERT_FALSE(m_fileFilters[0].isEmpty());
    EXPECT_TRUE(m_fileFilters[0].front().contains("(*.orvex")) << m_fileFilters[0].join(";;").toStdString();
    auto* fileName = qobject_cast<QLineEdit*>(dialog->GetControlWidget(0, IDC_FILENAME));
    EXPECT_EQ(fileName->text().toStdString(), PathOf("demo.orvex"));
    EXPECT_TRUE(dialog->GetApplyButton()->isEnabled());
    dialog->reject();
    QCoreApplication::processEvents();
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
}

TEST_F(PropertyDialogTest, EveryTabBuildsAndTheAscanPageComesFromTheMenu) {
    CPropertyDialog* dialog = RightClick(kOnViewer);
    ASSERT_NE(dialog, nullptr);
    for (int i = 1; i < dialog->GetTabs()->count(); ++i) {
        dialog->GetTabs()->setCurrentIndex(i);
        EXPECT_EQ(GetOpenPropertyFrame()->GetActiveIndex(), i);
        int widgets = 0;
        for (const CDialogControl& c : GetOpenPropertyFrame()->GetPage(i)->GetControls())
            widgets += c.GetId() != IDC_STATIC && dialog->GetControlWidget(i, c.GetId()) != nullptr;
        EXPECT_GT(widgets, 0) << "tab " << i;
    }
    dialog->reject();
    QCoreApplication::processEvents();

    ASSERT_TRUE(m_window->SelectControl("OrvexAscanViewer1"));
    ASSERT_TRUE(m_window->ShowSelectedProperties());
    dialog = m_window->GetPropertyDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "OrvexAscanViewer1 Properties");
    auto* xmin = qobject_cast<QLineEdit*>(dialog->GetControlWidget(0, IDC_ASCANXMIN));
    ASSERT_NE(xmin, nullptr);
    dialog->reject();
    QCoreApplication::processEvents();

    // The A-scan's own right-button release opens its pages too.
    dialog = RightClick(kOnAscan);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "OrvexAscanViewer1 Properties");
}

TEST_F(PropertyDialogTest, AFrameClosedBehindTheDialogsBackTakesTheDialogWithIt) {
    ASSERT_NE(RightClick(kOnViewer), nullptr);
    // A macro (an event handler, say) reaches the same frame and cancels it.
    ASSERT_TRUE(m_window->RunScriptFile(QString::fromStdString(WriteFile("cancel.lua", "host.frame():cancel()\n"))));
    QCoreApplication::processEvents();
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
    EXPECT_EQ(m_window->GetPropertyDialog(), nullptr);
}

TEST_F(PropertyDialogTest, ClosingTheDocumentClosesTheDialog) {
    ASSERT_NE(RightClick(kOnViewer), nullptr);
    ASSERT_TRUE(m_window->CloseDocument());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_window->GetPropertyDialog(), nullptr);
    EXPECT_EQ(GetOpenPropertyFrame(), nullptr);
}

}  // namespace
