#include "desktop/DesktopPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

SDesktopPrompts SDesktopPrompts::Interactive() {
    SDesktopPrompts p;
    p.message = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::warning(parent, title, text);
    };
    p.file = [](QWidget* parent, const QString& title, const QStringList& filters, bool forSaving,
                const QString& suggested) -> std::optional<QString> {
        const QString filter = filters.join(";;");
        const QString path = forSaving ? QFileDialog::getSaveFileName(parent, title, suggested, filter)
                                       : QFileDialog::getOpenFileName(parent, title, suggested, filter);
        if (path.isEmpty()) return std::nullopt;
        return path;
    };
    p.unsaved = [](QWidget* parent, const QString& documentName) {
        const auto answer = QMessageBox::question(
            parent, QObject::tr("Unsaved changes"),
            QObject::tr("%1 has changes that are not saved. Save them?").arg(documentName),
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Save) return EUnsavedAnswer::Save;
        if (answer == QMessageBox::Discard) return EUnsavedAnswer::Discard;
        return EUnsavedAnswer::Cancel;
    };
    return p;
}
